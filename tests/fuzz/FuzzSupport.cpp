#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace qmfuzz {

void InstallThrowingFatal()
{
    plat::SetFatalHandler([](const std::string& message) { throw plat::FatalError(message); });
}

void Finding(const std::string& what)
{
    std::fprintf(stderr, "FINDING: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

std::string_view Input::Bytes(size_t n)
{
    n = std::min(n, Left());
    std::string_view out(reinterpret_cast<const char*>(m_data + m_pos), n);
    m_pos += n;
    return out;
}

std::string_view Input::Until(char end)
{
    const size_t start = m_pos;
    while (m_pos < m_size && m_data[m_pos] != static_cast<uint8_t>(end)) ++m_pos;
    std::string_view out(reinterpret_cast<const char*>(m_data + start), m_pos - start);
    if (m_pos < m_size) ++m_pos;
    return out;
}

} // namespace qmfuzz
