#include "ui/clsSheeRowAtr.h"

#include "platform/base/Fatal.h"

#include <algorithm>
#include <cstdint>

void clsSheeRowAtr::EnsureIndex(int index)
{
    if (index < 0 || index >= MaxItems) plat::Fatal("Illegal Cell assign");
    if (index < m_capacity) return;
    const int capacity = static_cast<int>(std::min<int64_t>(int64_t{index} + index / 2 + 1, MaxItems));
    auto items = std::make_unique<dst_SheetRowAtr[]>(static_cast<size_t>(capacity));
    std::copy(m_items.get(), m_items.get() + m_capacity, items.get());
    m_items = std::move(items);
    m_capacity = capacity;
}
