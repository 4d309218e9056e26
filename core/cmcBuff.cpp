#include "core/cmcBuff.h"

#include "platform/base/Fatal.h"

#include <algorithm>
#include <climits>
#include <cstring>

cmcBuff::cmcBuff() { Clear(); }

cmcBuff::cmcBuff(const cmcBuff& other) : cmcBuff() { Assign(other); }

cmcBuff& cmcBuff::operator=(const cmcBuff& other)
{
    if (this != &other) Assign(other);
    return *this;
}

cmcBuff::~cmcBuff() { delete[] m_alloc; }

void cmcBuff::Realloc(int n)
{
    if (n > m_capacity) {
        // In 64 bits: near the int limit the growth would overflow.
        int64_t wanted = static_cast<int64_t>(n) + m_length / 4;
        int size = static_cast<int>(std::clamp<int64_t>(wanted, 1, INT_MAX));
        auto* alloc = new uint8_t[static_cast<size_t>(size)];
        if (m_length > 0) std::memcpy(alloc, m_start, static_cast<size_t>(m_length));
        std::memset(alloc + m_length, m_fill, static_cast<size_t>(size - m_length));
        delete[] m_alloc;
        m_alloc = alloc;
        m_start = alloc;
        m_capacity = size;
    }
    m_length = n;
}

int cmcBuff::SetLength(int n)
{
    Realloc(n < 0 ? 0 : n);
    return m_length;
}

uint8_t& cmcBuff::At(int i)
{
    if (i < 0 || i >= m_length) plat::Fatal("Out of cmcBuff element !");
    return m_start[i];
}

const uint8_t& cmcBuff::At(int i) const
{
    if (i < 0 || i >= m_length) plat::Fatal("Out of cmcBuff element !");
    return m_start[i];
}

void cmcBuff::Assign(const cmcBuff& other)
{
    if (this == &other) return;
    AssignBytes(other.m_start, other.m_length);
}

void cmcBuff::AssignBytes(const void* bytes, int n)
{
    if (n < 0) n = 0;
    SetLength(n);
    if (n > 0) std::memmove(m_start, bytes, static_cast<size_t>(n));
}

void cmcBuff::Append(const cmcBuff& other)
{
    if (this == &other) {
        cmcBuff copy(other);
        AppendBytes(copy.m_start, copy.m_length);
        return;
    }
    AppendBytes(other.m_start, other.m_length);
}

void cmcBuff::AppendBytes(const void* bytes, int n)
{
    n = std::min(n, INT_MAX - m_length);
    if (n <= 0) return;
    int old = m_length;
    // The source may lie inside this buffer; keep its offset over a realloc.
    const auto* src = static_cast<const uint8_t*>(bytes);
    bool inside = src >= m_alloc && src < m_start + m_capacity;
    ptrdiff_t offset = inside ? src - m_start : 0;
    SetLength(old + n);
    if (inside) src = m_start + offset;
    std::memmove(m_start + old, src, static_cast<size_t>(n));
}

void cmcBuff::AppendByte(uint8_t b)
{
    if (m_length == INT_MAX) return;
    int old = m_length;
    SetLength(old + 1);
    m_start[old] = b;
}

void cmcBuff::AppendFill(uint8_t b, int n)
{
    n = std::min(n, INT_MAX - m_length);
    if (n <= 0) return;
    int old = m_length;
    SetLength(old + n);
    std::memset(m_start + old, b, static_cast<size_t>(n));
}

void cmcBuff::FillAll(uint8_t b)
{
    if (m_length > 0) std::memset(m_start, b, static_cast<size_t>(m_length));
}

int cmcBuff::PopFront()
{
    if (m_length <= 0) return -1;
    int b = m_start[0];
    ++m_start;
    --m_capacity;
    --m_length;
    if (m_start - m_alloc > 4096) Compact();
    return b;
}

void cmcBuff::Compact()
{
    int size = m_length > 0 ? m_length : 1;
    auto* alloc = new uint8_t[static_cast<size_t>(size)];
    std::memset(alloc, m_fill, static_cast<size_t>(size));
    if (m_length > 0) std::memcpy(alloc, m_start, static_cast<size_t>(m_length));
    delete[] m_alloc;
    m_alloc = alloc;
    m_start = alloc;
    m_capacity = size;
}

void cmcBuff::Clear()
{
    delete[] m_alloc;
    m_alloc = new uint8_t[1]{0};
    m_start = m_alloc;
    m_length = 0;
    m_capacity = 1;
    m_fill = 0;
}
