#pragma once
// A chained string-to-set hash table: the buckets and the hash rule of
// cmcHash, mapping a key to a value-label set of the cache (cmcFCache).
#include <string>

struct dst_FCacheSet;

class cmcHash2 {
public:
    // A bucket count of 0 gives 1031 buckets.
    explicit cmcHash2(unsigned bucketCount = 0);
    ~cmcHash2();
    cmcHash2(const cmcHash2&) = delete;
    cmcHash2& operator=(const cmcHash2&) = delete;

    // Puts the key at the front of its bucket; a key that is already present
    // is a fatal fault ("Overlapped Hash2 table."). The table does not own
    // the set.
    void Insert(const std::string& key, dst_FCacheSet* set);
    // The set stored under exactly this key (byte-exact), or nullptr.
    dst_FCacheSet* Find(const std::string& key) const;
    // The bucket index of the key.
    unsigned HashOf(const std::string& key) const;
    unsigned BucketCount() const { return m_bucketCount; }

private:
    struct Node {
        std::string key;
        dst_FCacheSet* set;
        Node* next;
    };
    const Node* FindNode(const std::string& key) const;

    unsigned m_bucketCount;
    Node** m_buckets;
};
