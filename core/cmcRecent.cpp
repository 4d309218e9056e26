#include "core/cmcRecent.h"

#include <algorithm>

namespace {

// A folder without its trailing separators; the root folder stays "/".
std::string WithoutTrailingSlash(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

} // namespace

cmcRecent::cmcRecent(int capacity) : m_capacity(capacity < 0 ? 0 : capacity) {}

cmcRecent::~cmcRecent() = default;

void cmcRecent::Clear() { m_entries.clear(); }

void cmcRecent::AddFront(const std::string& path)
{
    Remove(path);
    m_entries.insert(m_entries.begin(), path);
    Trim();
}

void cmcRecent::AddBack(const std::string& path)
{
    Remove(path);
    m_entries.push_back(path);
    Trim();
}

void cmcRecent::Remove(const std::string& path)
{
    m_entries.erase(std::remove(m_entries.begin(), m_entries.end(), path), m_entries.end());
}

void cmcRecent::Trim()
{
    if (m_entries.size() > static_cast<size_t>(m_capacity)) m_entries.resize(static_cast<size_t>(m_capacity));
}

int cmcRecent::Count()
{
    Trim();
    return static_cast<int>(m_entries.size());
}

std::string cmcRecent::Path(int i)
{
    if (i < 0 || i >= Count()) return {};
    return m_entries[static_cast<size_t>(i)];
}

std::string cmcRecent::DisplayName(int i, const std::string& folder)
{
    if (i < 0 || i >= Count()) return {};
    const std::string& path = m_entries[static_cast<size_t>(i)];
    size_t slash = path.find_last_of('/');
    std::string entryFolder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    if (WithoutTrailingSlash(entryFolder) == WithoutTrailingSlash(folder))
        return slash == std::string::npos ? path : path.substr(slash + 1);
    return path;
}
