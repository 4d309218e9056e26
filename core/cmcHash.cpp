#include "core/cmcHash.h"

#include "platform/base/Fatal.h"

#include <cstdint>

cmcHash::cmcHash(unsigned bucketCount)
    : m_bucketCount(bucketCount == 0 ? DefaultBucketCount : bucketCount),
      m_buckets(new Node*[m_bucketCount]())
{
}

cmcHash::~cmcHash()
{
    for (unsigned i = 0; i < m_bucketCount; ++i) {
        Node* node = m_buckets[i];
        while (node) {
            Node* next = node->next;
            delete node;
            node = next;
        }
    }
    delete[] m_buckets;
}

unsigned cmcHash::HashKey(const std::string& key, unsigned bucketCount)
{
    // Characters count as signed bytes; the arithmetic wraps at 32 bits. The
    // step d halves whenever the next character (the terminating zero counts,
    // and is even) is odd, and starts again at half the bucket count when it
    // reaches 0.
    const uint32_t half = bucketCount / 2;
    uint32_t d = half;
    uint32_t h = 0;
    for (size_t i = 0; i < key.size(); ++i) {
        const auto c = static_cast<int32_t>(static_cast<signed char>(key[i]));
        h = 2 * h + d + static_cast<uint32_t>(c);
        const unsigned char next = i + 1 < key.size() ? static_cast<unsigned char>(key[i + 1]) : 0;
        if (next & 1) {
            d /= 2;
            if (d == 0) d = half;
        }
    }
    return h % bucketCount;
}

unsigned cmcHash::HashOf(const std::string& key) const { return HashKey(key, m_bucketCount); }

void cmcHash::Insert(const std::string& key, int value)
{
    if (Find(key)) plat::Fatal("Overlapped Hash table.");
    Node*& head = m_buckets[HashOf(key)];
    head = new Node{key, value, head};
}

const cmcHash::Node* cmcHash::Find(const std::string& key) const
{
    for (const Node* node = m_buckets[HashOf(key)]; node; node = node->next) {
        if (node->key == key) return node;
    }
    return nullptr;
}
