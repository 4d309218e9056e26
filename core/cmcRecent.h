#pragma once
// The most-recently-used file list behind the File menu: full paths, the
// most recent first, at most a given number of them.
//
// Paths are compared byte for byte: Linux file names are case-sensitive, so
// two paths that differ in letter case name two files.
#include <string>
#include <vector>

class cmcRecent {
public:
    explicit cmcRecent(int capacity);
    ~cmcRecent();

    void Clear();
    // Removes every entry equal to the path, puts the path first, then trims.
    void AddFront(const std::string& path);
    // Removes every entry equal to the path, appends it, then trims (loading
    // a stored list in its order).
    void AddBack(const std::string& path);
    // Removes every entry equal to the path.
    void Remove(const std::string& path);
    // Drops entries from the end while there are more than the capacity.
    void Trim();
    // Trims, then the number of entries.
    int Count();
    int Capacity() const { return m_capacity; }

    // The full path of entry i; "" when i is not below the count.
    std::string Path(int i);
    // What the menu shows for entry i: the file name alone when the entry's
    // folder is the given folder (trailing '/' aside), else the full path;
    // "" when i is not below the count.
    std::string DisplayName(int i, const std::string& folder);

private:
    int m_capacity;
    std::vector<std::string> m_entries;
};
