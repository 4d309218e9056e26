#include "core/cmcHash2.h"

#include "core/cmcHash.h"
#include "platform/base/Fatal.h"

cmcHash2::cmcHash2(unsigned bucketCount)
    : m_bucketCount(bucketCount == 0 ? cmcHash::DefaultBucketCount : bucketCount),
      m_buckets(new Node*[m_bucketCount]())
{
}

cmcHash2::~cmcHash2()
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

unsigned cmcHash2::HashOf(const std::string& key) const { return cmcHash::HashKey(key, m_bucketCount); }

void cmcHash2::Insert(const std::string& key, dst_FCacheSet* set)
{
    if (FindNode(key)) plat::Fatal("Overlapped Hash2 table.");
    Node*& head = m_buckets[HashOf(key)];
    head = new Node{key, set, head};
}

const cmcHash2::Node* cmcHash2::FindNode(const std::string& key) const
{
    for (const Node* node = m_buckets[HashOf(key)]; node; node = node->next)
        if (node->key == key) return node;
    return nullptr;
}

dst_FCacheSet* cmcHash2::Find(const std::string& key) const
{
    const Node* node = FindNode(key);
    return node ? node->set : nullptr;
}
