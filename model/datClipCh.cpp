#include "model/datClipCh.h"

datClipCh* g_ClipCh = nullptr;

namespace {
// Attribute bits of byte 17 that belong to the position: RefCOff,
// SmarTrunkBank and LtrBank.
constexpr uint16_t kPositionBits = 0x0038;
} // namespace

datClipCh::datClipCh() = default;

datClipCh::~datClipCh() = default;

void datClipCh::PasteKeepingLinks(cmcEeprom* image, int kind, int first, int count)
{
    m_keepLinks = true;
    Paste(image, kind, first, count);
    m_keepLinks = false;
}

void datClipCh::WriteItem(cmcEeprom* image, int kind, int index, datCh& record)
{
    m_target.SetImage(image);
    m_target.Unpack(kind, index);
    const uint16_t target = m_target.Attr.Value();
    if (m_keepLinks)
        record.Attr.SetValue(target);
    else
        record.Attr.SetValue(uint16_t((record.Attr.Value() & ~kPositionBits) | (target & kPositionBits)));
    cmcClipCh::WriteItem(image, kind, index, record);
}
