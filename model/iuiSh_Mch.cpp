#include "model/iuiSh_Mch.h"

#include "cells/CellQueries.h"
#include "cells/RadioHandlers.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "core/cmcGTex.h"
#include "core/cmcScrBlock.h"
#include "model/ModelContext.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
#include "platform/base/Color.h"
#include "platform/ui/StdControls.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheetHost.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Item kinds of the lists.
constexpr int KindTones = 7;
constexpr int KindDigitalIds = 18;
constexpr int KindDigitalTalkGroups = 19;
constexpr int KindNacChannels = 20;
constexpr int KindLtrRepeaters = 22;
constexpr int KindZephRepeaters = 27;
constexpr int KindZephIds = 28;
constexpr int KindZephTalkGroups = 29;
constexpr int KindSites = 30;
constexpr int KindSiteRepeaters = 31;
constexpr int KindMultisiteIds = 32;
constexpr int KindMultisiteTalkGroups = 33;

// The letters of the lists whose rows are inserted and deleted (events 55
// and 57); the site list has its own events (56 and 58).
constexpr const char* RowEventLetters = "KMQRXkqrxy";
constexpr char SiteListLetter = 'm';
// The letters of the lists that show an empty row for a new item.
constexpr const char* ListLetters = "RMKkXQxqyrm";

// The languages are the lines of the system table's language list before
// its first '#' line, at most this many.
constexpr const char* LanguageListKey = "GI_Sys_Language";
constexpr int MaxLanguages = 255;

constexpr const char* RepeaterSheetKeys[] = {"GI_Sheet_RptSetWin", "GI_Sheet_RptSetWin_ZEPH",
                                             "GI_Sheet_RptSetWin_Multisite"};
constexpr const char* TitledListKeys[] = {"GI_Sheet_Digital_Ind_Id",   "GI_Sheet_Digital_Grp_Id",
                                          "GI_Sheet_ZEPH_Ind_Id",      "GI_Sheet_ZEPH_Grp_Id",
                                          "GI_Sheet_Multisite_Ind_Id", "GI_Sheet_Multisite_Grp_Id",
                                          "GI_Sheet_Multisite_SiteList"};

bool Contains(const char* letters, char c) { return c != 0 && std::strchr(letters, c) != nullptr; }

template <size_t N>
bool IsOneOf(const char* const (&keys)[N], const std::string& key)
{
    return std::any_of(std::begin(keys), std::end(keys), [&key](const char* k) { return key == k; });
}

// A decimal number as the C library reads it (blanks, a sign, digits); 0
// without digits; kept within the range of an int.
int DecimalOf(const std::string& text)
{
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, -0x7FFFFFFF, 0x7FFFFFFF));
}

int LanguageCount()
{
    int count = 0;
    while (count < MaxLanguages) {
        const std::string line = g_GTexSys.GetText(LanguageListKey, count);
        if (!line.empty() && line[0] == '#') break;
        ++count;
    }
    return count;
}

// The multisite site of the list has an ID.
bool SiteHasId(int site)
{
    cmcEeprom* image = CurrentModelContext().CurrentImage;
    if (image == nullptr || site < 0 || site >= WorkTables::Sites) return false;
    datCh record(image);
    record.Unpack(KindSites, site);
    return record.SiteId != 0;
}

std::string Line0(const char* key) { return g_GTex.GetText(key, 0); }

} // namespace

iuiSh_Mch::iuiSh_Mch(plat::Container* parent, const cmcCellCapsule* origin, int focusLabel, int focusIndex,
                     cmcGTex* texts, const std::string& key, plat::ImageList* images)
    : iuiSh_ListRows(parent, origin, focusLabel, focusIndex, texts, key, images)
{
    if (origin != nullptr && origin->Cell != nullptr && !sheethost::ListPrinting()) m_group = origin->Cell->Index;
    m_events = cmcEvSubscription(MemberEventHandler<&iuiSh_Mch::OnEvent>(this));
}

iuiSh_Mch::~iuiSh_Mch() { m_events.Reset(); }

const std::string& iuiSh_Mch::SetCode(const std::string& code)
{
    cuiSheet::SetCode(code);
    const cmcScrBlock line(code);
    m_letter = line.GetWord().empty() ? 0 : line.GetWord()[0];
    if (const std::string group = line.GetArg(1); !group.empty()) m_group = DecimalOf(group);
    m_kind = 0;
    m_listLength = 0;
    m_firstItem = 0;
    switch (m_letter) {
    case 'R':
        if (IsBankIndex(m_group)) {
            if (IsLtrBank(m_group)) m_kind = KindLtrRepeaters;
            else if (IsZephBank(m_group)) m_kind = KindZephRepeaters;
        }
        break;
    case 'M': m_kind = KindSiteRepeaters; break;
    case 'K': m_kind = KindTones; m_listLength = CToneListCount(); break;
    case 'k': m_kind = KindNacChannels; m_listLength = NacChListCount(); break;
    case 'X': m_kind = KindDigitalIds; m_listLength = IndListCount(m_kind); break;
    case 'Q': m_kind = KindDigitalTalkGroups; m_listLength = TgListCount(m_kind); break;
    case 'x': m_kind = KindZephIds; m_listLength = IndListCount(m_kind); break;
    case 'q': m_kind = KindZephTalkGroups; m_listLength = TgListCount(m_kind); break;
    case 'y': m_kind = KindMultisiteIds; m_listLength = IndListCount(m_kind); break;
    case 'r': m_kind = KindMultisiteTalkGroups; m_listLength = TgListCount(m_kind); break;
    case 'm': m_kind = KindSites; m_listLength = MultisiteSiteCount(); break;
    default: break;
    }
    const bool grouped = m_kind == KindLtrRepeaters || m_kind == KindZephRepeaters ||
                         (m_kind == KindSiteRepeaters && SiteHasId(m_group));
    if (grouped) {
        m_listLength = CountGroupItems(m_group, 0, m_kind);
        m_firstItem = GroupFirstItem(m_group, m_kind);
    }
    return m_code;
}

std::optional<int> iuiSh_Mch::PickListCount() const
{
    switch (m_letter) {
    case 'C': return BankChannelCount(g_PickerBank);
    case 'B': return NonVoteBankCount();
    case 'G': return CountBanksOfGroup(1);
    case 'g': return CountBanksOfGroup(0);
    case 'T': return NonEmptyBankCount();
    case 'Y': return LanguageCount();
    case 'Z': return IndListCount(KindDigitalIds);
    case 'W': return TgListCount(KindDigitalTalkGroups);
    default: return std::nullopt;
    }
}

void iuiSh_Mch::ApplyDirective(std::string_view item)
{
    if (item.substr(0, 10) == "Only_Print") {
        // Rows for paper only.
        if (auto n = NumberAfterBlank(item); n && !sheethost::ListPrinting()) m_skip = *n;
        return;
    }
    if (!IsBareLoopFrom(item)) {
        cuiSheet::ApplyDirective(item);
        return;
    }
    if (IsPrinting()) {
        OpenListLoop(m_listLength, false);
    } else if (Contains(ListLetters, m_letter)) {
        OpenListLoop(m_listLength + 1, true);
    } else if (const std::optional<int> count = PickListCount()) {
        OpenListLoop(*count, true);
        // An empty pick list leaves its row line out.
        if (*count == 0) ++m_skip;
    } else {
        OpenListLoop(std::nullopt, false);
    }
}

void iuiSh_Mch::BuildCells(const std::string& cellsKey)
{
    cuiSheet::BuildCells(cellsKey);
    DeselectHiddenColumns();
}

std::string iuiSh_Mch::Title() const
{
    if (IsOneOf(RepeaterSheetKeys, m_key)) {
        char text[256];
        std::snprintf(text, sizeof text, "%s (%s:%3d)", Line0("GI_AppInd_RptSheet_Printer_Head").c_str(),
                      GroupWord().c_str(), m_group + 1);
        return text;
    }
    if (IsOneOf(TitledListKeys, m_key)) return cuiSheet::Title();
    return std::string();
}

std::string iuiSh_Mch::GroupWord() const
{
    return Line0(m_letter == 'R' ? "GI_AppInd_Sheet_Title_Bank" : "GI_AppInd_Sheet_Title_Site");
}

bool iuiSh_Mch::IsPrintable() const { return cuiSheet::IsPrintable(); }

void iuiSh_Mch::RefreshTitle()
{
    if (m_titleLabel == nullptr) return;
    char text[512];
    if (m_letter == 'R') {
        const bool ltr = IsLtrBank(m_group);
        const int kind = ltr ? KindLtrRepeaters : KindZephRepeaters;
        const int room = MaxItemsThatFit(ltr ? CT_Rpt : CT_ZEPH_Rpt,
                                         ItemsPerGroup(kind) * WorkTables::Banks - ListItemTotal(kind), m_group);
        std::snprintf(text, sizeof text, " %s - %s:%3d  (%s - %4d)", m_title.c_str(), GroupWord().c_str(),
                      m_group + 1,
                      Line0("GI_AppInd_Sheet_Title_LeftCH").c_str(), std::max(room, 0));
    } else if (m_letter == 'M') {
        std::snprintf(text, sizeof text, " %s - %s:%3d", m_title.c_str(), Line0("GI_AppInd_Sheet_Title_Site").c_str(),
                      m_group + 1);
    } else {
        return;
    }
    plat::Font font = m_titleLabel->GetFont();
    font.color = plat::clYellow;
    m_titleLabel->SetFont(font);
    m_titleLabel->SetCaption(text);
    m_titlePanel->Repaint();
}

void iuiSh_Mch::AddRows(intptr_t p1)
{
    const int n = static_cast<int>(std::clamp<intptr_t>(p1, 1, PreparedRows));
    for (int i = 0; i < n; ++i)
        if (!AddRow()) break;
}

void iuiSh_Mch::RemoveRows(intptr_t p1)
{
    const int n = static_cast<int>(std::clamp<intptr_t>(p1, 1, PreparedRows));
    // A single row (p1 0 or 1) takes the cursor one row up with it. The
    // event itself stays as it is for the handlers after this one.
    const bool followUp = p1 <= 1;
    const cmcCellObj& start = CellAt(m_grid->Col(), m_grid->Row());
    const int category = start.Category;
    const int label = start.Label;
    const int index = start.Index;
    if (n > 1) {
        // The cursor first leaves the rows that go.
        const int d = std::max(0, n + m_grid->Row() - (m_grid->RowCount() - 1));
        FocusCell(category, label, index - d);
    }
    for (int i = 0; i < n; ++i) {
        if (followUp) {
            const cmcCellObj& current = CellAt(m_grid->Col(), m_grid->Row());
            FocusCell(current.Category, current.Label, current.Index - 1);
        }
        if (!RemoveRow()) break;
    }
    if (n > 1) FocusCell(category, label, index);
}

void iuiSh_Mch::OnEvent(const dst_Event* event)
{
    switch (event->type) {
    case ev::QueryCurrentBank:
        if (event->mode == dst_Event::Queried) g_EvMan->Reply(m_bankAnswer, m_firstItem);
        break;
    case ev::QueryListGroup:
        if (event->mode == dst_Event::Queried) g_EvMan->Reply(m_group, 0);
        break;
    case ev::RefreshSheetTitles: RefreshTitle(); break;
    case ev::RowsAdded:
        if (HasSlots() && Contains(RowEventLetters, m_letter)) AddRows(event->p1);
        break;
    case ev::SiteRowsAdded:
        if (HasSlots() && m_letter == SiteListLetter) AddRows(event->p1);
        break;
    case ev::RowsRemoved:
        if (HasSlots() && Contains(RowEventLetters, m_letter)) RemoveRows(event->p1);
        break;
    case ev::SiteRowsRemoved:
        if (HasSlots() && m_letter == SiteListLetter) RemoveRows(event->p1);
        break;
    default: break;
    }
}
