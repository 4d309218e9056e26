#include "model/cmcClipCh.h"

cmcClipCh::cmcClipCh() { cmcClipCh::Clear(); }

cmcClipCh::~cmcClipCh() { cmcClipCh::Clear(); }

void cmcClipCh::Clear()
{
    m_records.clear();
    m_kind = 0;
    m_first = 0;
    m_count = 0;
}

void cmcClipCh::Copy(cmcEeprom* image, int kind, int first, int count)
{
    Clear();
    if (count < 1) return;
    m_kind = kind;
    m_first = first;
    m_count = count;
    m_records.resize(size_t(count));
    for (int i = 0; i < count; ++i) ReadItem(image, kind, first + i, m_records[size_t(i)]);
}

void cmcClipCh::ReadItem(cmcEeprom* image, int kind, int index, datCh& record)
{
    record.SetImage(image);
    record.Unpack(kind, index);
}

bool cmcClipCh::HoldsKind(int kind) const { return m_kind != 0 && m_kind == kind; }

void cmcClipCh::Paste(cmcEeprom* image, int kind, int first, int count)
{
    if (!HoldsKind(kind)) return;
    for (int i = 0; i < m_count && i < count; ++i) WriteItem(image, kind, first + i, m_records[size_t(i)]);
}

void cmcClipCh::WriteItem(cmcEeprom* image, int kind, int index, datCh& record)
{
    record.SetImage(image);
    record.Pack(kind, index);
}
