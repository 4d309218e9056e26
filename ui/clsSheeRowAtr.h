#pragma once
// The per-row attributes that reading a sheet layout collects: for every
// grid row the overlay line it is built from and whether it may be marked in
// multi-selection. The array grows by half again as it fills.
#include <cstdint>
#include <memory>

struct dst_SheetRowAtr {
    static constexpr uint8_t Selectable = 0x01; // selectable in multi-selection
    int Line = 0;
    uint8_t Flags = Selectable;
};

class clsSheeRowAtr {
public:
    clsSheeRowAtr() = default;
    clsSheeRowAtr(const clsSheeRowAtr&) = delete;
    clsSheeRowAtr& operator=(const clsSheeRowAtr&) = delete;

    // The most items there can be: as many as a sheet has rows at most.
    static constexpr int MaxItems = 65536;

    // Makes sure that item index exists: below the capacity nothing happens;
    // otherwise the capacity becomes index + index / 2 + 1 (at most
    // MaxItems), the items kept and every new item at line 0 and selectable.
    // An index below 0 or from MaxItems on is a fault of the sheet's layout
    // ("Illegal Cell assign"), never a block of memory.
    void EnsureIndex(int index);
    int Capacity() const { return m_capacity; }
    // Item i (0 <= i < Capacity()).
    dst_SheetRowAtr& operator[](int i) { return m_items[static_cast<size_t>(i)]; }
    const dst_SheetRowAtr& operator[](int i) const { return m_items[static_cast<size_t>(i)]; }

private:
    int m_capacity = 0;
    std::unique_ptr<dst_SheetRowAtr[]> m_items;
};
