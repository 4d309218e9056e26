#include "tests/cells/CellWorld.h"

#include "cells/ValueHandlers.h"
#include "core/EventIds.h"
#include "core/cmcGTex.h"
#include "model/EepromMap.h"
#include "model/ImageBytes.h"
#include "model/ListRows.h"
#include "model/TableAccess.h"

#include <cstdlib>
#include <filesystem>

namespace celltest {

namespace {

std::optional<std::string> SetEnv(const char* name, const std::string& value)
{
    std::optional<std::string> old;
    if (const char* v = std::getenv(name)) old = v;
    setenv(name, value.c_str(), 1);
    return old;
}

void RestoreEnv(const char* name, const std::optional<std::string>& old)
{
    if (old) setenv(name, old->c_str(), 1);
    else unsetenv(name);
}

}  // namespace

std::vector<std::string> BaseOverlay()
{
    return {
        "#GI_AppUnitIdMax", "65519",
        "#GI_Sys_AppTitle", "Radio Programmer",
        "#GI_Sys_MyHelpFile", "QM7148H.HLP",
        "#GI_AppInd_TimerOff", "Off",
        "#GI_AddCH", "",
        // The row commands' status texts (the main object owns a clipboard).
        "#GI_AppMess_S_Copy", "Copied",
        "#GI_AppMess_S_Paste", "Pasted",
        "#GI_AppMess_S_Clear", "Cleared",
        "#GI_AppMess_S_Delete", "Deleted",
        "#GI_AppMess_S_Insert", "Inserted",
    };
}

std::vector<std::string> ListSection(const std::string& key, const std::string& labelName,
                                     std::initializer_list<std::pair<int, std::string>> entries)
{
    std::string line;
    for (const auto& [index, text] : entries) {
        if (!line.empty()) line += "|";
        line += "{(%" + labelName + "[" + std::to_string(index) + "])}" + text;
    }
    return {"#" + key + "_Cells", line};
}

// ---- Pop-ups ----

bool RecordingPopups::OpenChoiceList(const cmcCellCapsule&, int label, int focus, const std::string& key)
{
    PopupCall c{"choice"};
    c.label = label;
    c.focus = focus;
    c.key = key;
    calls.push_back(c);
    return true;
}

bool RecordingPopups::OpenPicker(const cmcCellCapsule&, int label, int focus, const std::string& key,
                                 const std::string& code)
{
    PopupCall c{"picker"};
    c.label = label;
    c.focus = focus;
    c.key = key;
    c.code = code;
    calls.push_back(c);
    return true;
}

bool RecordingPopups::OpenBitEditor(const cmcCellCapsule&, uint32_t mask, int first, int last, int kind,
                                    int markStyle, const std::string& key)
{
    PopupCall c{"bits"};
    c.mask = mask;
    c.first = first;
    c.last = last;
    c.style = kind;
    c.size = markStyle;
    c.key = key;
    calls.push_back(c);
    return true;
}

bool RecordingPopups::OpenTextEditor(const cmcCellCapsule&, const cmcBuff& text, bool selectAll, int maxLength)
{
    PopupCall c{"text"};
    c.bytes.assign(reinterpret_cast<const char*>(text.Data()), size_t(text.Length()));
    c.selectAll = selectAll;
    c.size = maxLength;
    calls.push_back(c);
    return true;
}

bool RecordingPopups::OpenCharEditor(const cmcCellCapsule&, int dotSize, int across, int down, const cmcBuff& dots)
{
    PopupCall c{"char"};
    c.size = dotSize;
    c.across = across;
    c.down = down;
    for (int i = 0; i < dots.Length(); ++i) c.bytes.push_back(char('0' + dots.At(i)));
    calls.push_back(c);
    return true;
}

bool RecordingPopups::AskReadWritePassword(const std::string& initial, std::array<uint8_t, 16>& result)
{
    PopupCall c{"password"};
    c.bytes = initial;
    calls.push_back(c);
    if (!password) return false;
    result.fill(0);
    for (size_t i = 0; i < password->size() && i < result.size(); ++i) result[i] = uint8_t((*password)[i]);
    return true;
}

bool RecordingPopups::OpenRepeaterSetWindow(const cmcCellCapsule& origin, int kind)
{
    PopupCall c{"repeaters"};
    c.focus = kind;
    c.first = origin.Cell ? origin.Cell->Index : -1;
    calls.push_back(c);
    return true;
}

int RecordingPopups::MainMenuSubItemCount(int label) const
{
    auto it = menuSubItems.find(label);
    return it == menuSubItems.end() ? -1 : it->second;
}

// ---- The world ----

CellWorld::CellWorld(const std::vector<std::string>& overlay, int modelType)
{
    m_oldConfig = SetEnv("XDG_CONFIG_HOME", (m_dir.Path() / "config").string());
    // The program's lock file goes into this world's own runtime folder; a
    // missing folder would send it to the system's temporary folder.
    std::filesystem::create_directories(m_dir.Path() / "run");
    m_oldRuntime = SetEnv("XDG_RUNTIME_DIR", (m_dir.Path() / "run").string());
    std::vector<std::string> lines = BaseOverlay();
    lines.insert(lines.end(), overlay.begin(), overlay.end());
    lines.push_back("#End_Of_Ovl");
    g_GTex.InitState();
    g_GTex.OpenOverlayLines(lines);

    m_environ = std::make_unique<indEnviron>("cells test " + m_dir.Path().filename().string(), "Software\\Test\\Cells",
                                             1024, 768);
    m_environ->ModelType = modelType;
    m_environ->ViewType = 0;
    m_environ->FontSizePercentage = 100;
    m_previousEnviron = g_Environ;
    g_Environ = m_environ.get();
    m_main = std::make_unique<indMainHolder>();
    Main().MarkSaved();
    m_subscription = cmcEvSubscription(MemberEventHandler<&CellWorld::OnEvent>(this));
}

CellWorld::~CellWorld()
{
    m_subscription.Reset();
    m_main.reset();
    g_Environ = m_previousEnviron;
    m_environ.reset();
    g_GTex.InitState();
    RestoreEnv("XDG_CONFIG_HOME", m_oldConfig);
    RestoreEnv("XDG_RUNTIME_DIR", m_oldRuntime);
}

void CellWorld::OnEvent(const dst_Event* event)
{
    if (event->mode == dst_Event::Queried) {
        if (event->type == ev::QueryCurrentBank && currentBank)
            g_EvMan->Reply(*currentBank, BankFirstChannel(*currentBank));
        if (event->type == ev::QueryListGroup && listGroup) g_EvMan->Reply(*listGroup, 0);
        return;
    }
    if (event->mode == dst_Event::Posted) posted.push_back({event->type, event->p1, event->p2, event->Text()});
    if (event->mode != dst_Event::Sent) return;
    sent.push_back({event->type, event->p1, event->p2, event->Text()});
}

std::vector<PostedEvent> CellWorld::SentOf(int type) const
{
    std::vector<PostedEvent> found;
    for (const PostedEvent& e : sent)
        if (e.type == type) found.push_back(e);
    return found;
}

std::vector<int> CellWorld::PostedOf(int type) const
{
    std::vector<int> p2;
    for (const PostedEvent& e : posted)
        if (e.type == type) p2.push_back(int(e.p2));
    return p2;
}

std::unique_ptr<cmcCellObj> MakeCell(int category, int label, int index)
{
    auto cell = std::make_unique<cmcCellObj>();
    cell->Category = category;
    cell->Label = label;
    cell->Index = index;
    return cell;
}

// A grid the capsule can point at; handlers only test it for null.
static int g_gridStandIn;

Capsule::Capsule(cmcCellObj* cell, bool onGrid)
{
    cap.Cell = cell;
    if (onGrid) cap.Grid = reinterpret_cast<cuiGrid*>(&g_gridStandIn);
}

void Capsule::Pick(int label, int index)
{
    parentCell.Label = label;
    parentCell.Index = index;
    parent.Cell = &parentCell;
    cap.Parent = &parent;
    cap.Phase = cpPicked;
}

void Capsule::Edit(const std::string& text)
{
    cap.Phase = cpEditText;
    cap.EditText = text;
    cap.Key = 0;
}

// ---- Images ----

TestImage& TestImage::BankCounts(std::initializer_list<int> counts)
{
    int b = 0;
    for (int n : counts) BankCount(b++, n);
    return *this;
}

TestImage& TestImage::BankCount(int bank, int count) { return U16(WorkTables::BankCounts + 2 * bank, count); }

TestImage& TestImage::Type(int bank, BankType type)
{
    static const int tables[] = {0, WorkTables::LtrBanks, WorkTables::ZephBanks, WorkTables::MultisiteBanks,
                                 WorkTables::SmarTrunkBanks, WorkTables::VoteZoneBanks};
    for (int t = Ltr; t <= VoteZone; ++t) {
        ImageBytes bytes(&m_image);
        bytes.SetBit(tables[t] + bank / 8, 7 - bank % 8, t == type);
    }
    return *this;
}

TestImage& TestImage::GroupCount(int kind, int group, int count)
{
    const int table = kind == 22   ? WorkTables::LtrGroupCounts
                      : kind == 27 ? WorkTables::ZephGroupCounts
                                   : WorkTables::MultisiteGroupCounts;
    return Byte(table + group, count);
}

TestImage& TestImage::ToneListCount(int n) { return U16(EepromMap::CountToneList, n); }
TestImage& TestImage::NacListCount(int n) { return U16(EepromMap::CountNacList, n); }

TestImage& TestImage::IdListCount(int kind, int n)
{
    return U16(kind == 18 ? EepromMap::CountIndKind18 : kind == 28 ? EepromMap::CountIndKind28 : EepromMap::CountIndKind32, n);
}

TestImage& TestImage::TalkGroupCount(int kind, int n)
{
    return U16(kind == 19 ? EepromMap::CountTgKind19 : kind == 29 ? EepromMap::CountTgKind29 : EepromMap::CountTgKind33, n);
}

TestImage& TestImage::SiteCount(int n) { return Byte(WorkTables::MultisiteSiteCount, n); }

TestImage& TestImage::Item(int kind, int index, const std::function<void(datCh&)>& fill)
{
    datCh record(&m_image);
    record.Unpack(kind, index);
    fill(record);
    record.Pack(kind, index);
    return *this;
}

TestImage& TestImage::Channel(int n, int rxHz, int txHz)
{
    return Item(MchRecordKind(), n, [&](datCh& ch) {
        ch.RxFreq = rxHz;
        ch.TxFreq = txHz < 0 ? rxHz : txHz;
    });
}

TestImage& TestImage::Byte(int offset, int value)
{
    ImageBytes(&m_image).SetU8(offset, value);
    return *this;
}

TestImage& TestImage::U16(int offset, int value)
{
    ImageBytes(&m_image).SetU16(offset, uint32_t(value));
    return *this;
}

TestImage& TestImage::U32(int offset, uint32_t value)
{
    ImageBytes(&m_image).SetU32(offset, value);
    return *this;
}

datCh TestImage::Read(int kind, int index) const
{
    datCh record(&m_image);
    record.Unpack(kind, index);
    return record;
}

int TestImage::ReadU8(int offset) const { return ImageBytes(m_image).U8(offset); }
int TestImage::ReadU16(int offset) const { return ImageBytes(m_image).U16(offset); }

}  // namespace celltest
