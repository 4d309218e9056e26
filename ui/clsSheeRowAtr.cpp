#include "ui/clsSheeRowAtr.h"

#include <algorithm>

void clsSheeRowAtr::EnsureIndex(int index)
{
    if (index < m_capacity) return;
    const int capacity = index + index / 2 + 1;
    auto items = std::make_unique<dst_SheetRowAtr[]>(static_cast<size_t>(capacity));
    std::copy(m_items.get(), m_items.get() + m_capacity, items.get());
    m_items = std::move(items);
    m_capacity = capacity;
}
