#pragma once
// A chained string-to-integer hash table with a fixed number of buckets.
#include <string>

class cmcHash {
public:
    // A bucket count of 0 gives 1031 buckets.
    explicit cmcHash(unsigned bucketCount = 0);
    ~cmcHash();
    cmcHash(const cmcHash&) = delete;
    cmcHash& operator=(const cmcHash&) = delete;

    struct Node {
        std::string key;
        int value;
        Node* next;
    };

    // Puts the key at the front of its bucket; a key that is already present
    // is a fatal fault ("Overlapped Hash table.").
    void Insert(const std::string& key, int value);
    // The node with exactly this key (byte-exact, case-sensitive), or nullptr.
    const Node* Find(const std::string& key) const;
    // The bucket index of the key.
    unsigned HashOf(const std::string& key) const;
    unsigned BucketCount() const { return m_bucketCount; }

    // The bucket index of a key in a table of bucketCount buckets (at least 1):
    // the rule shared with the other chained tables.
    static unsigned HashKey(const std::string& key, unsigned bucketCount);

    static constexpr unsigned DefaultBucketCount = 1031;

private:
    unsigned m_bucketCount;
    Node** m_buckets;
};
