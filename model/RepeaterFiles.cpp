#include "model/RepeaterFiles.h"

#include "cells/CellQueries.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "core/cmcEeprom.h"
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "core/cmcIcfFile.h"
#include "model/ImageBytes.h"
#include "model/ListRows.h"
#include "model/ModelContext.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
#include "model/indEnviron.h"
#include "model/indMain.h"
#include "platform/base/Folders.h"
#include "platform/ui/Application.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/Form.h"
#include "platform/ui/MessageBox.h"

#include <algorithm>
#include <array>

namespace {

using namespace RepeaterFile;

constexpr int kLtrKind = 22;
constexpr int kZephKind = 27;
constexpr int kSiteKind = 31;
constexpr int kMapRev3 = 3;
constexpr int kMapRev4 = 4;
constexpr int kAdrBit = 16;
constexpr int kImageSize = 328550;
constexpr int kBanks = 128;
constexpr int kSites = 48;

// The group attributes in the working image.
constexpr int kLtrBankTable = 204978;   // 8 bytes a bank: byte 0 bit 7 group flag, byte 7 home repeater
constexpr int kLtrBankSize = 8;
constexpr int kZephBankTable = 245636;  // 10 bytes: bytes 6 and 7 the homes, byte 8 bit 7 group flag
constexpr int kZephBankSize = 10;
constexpr int kSiteTable = 162646;      // 8 bytes a site: bytes 4 and 5 the collecting repeaters
constexpr int kSiteSize = 8;
constexpr int kGroupFlagBit = 7;

// Record byte 8: bits 0-2 receive data, transmit data, narrow; bits 3-4 the
// RF power code. Byte 9 bit 0: not a phone repeater.
constexpr int kPowerShift = 3;
constexpr int kDataBits = 0x07;

std::string g_fileName;

// The header and records of one group, whatever the file's revision.
struct GroupFile {
    bool v3 = false;
    int count = 0;
    int flag = 0;
    int mark1 = 0;  // the (first) home repeater, 1-based
    int mark2 = 0;  // the second home repeater of a ZEPH bank
    int site1 = 0;  // the collecting repeaters of a site
    int site2 = 0;
    std::vector<std::array<uint8_t, RecordSize>> records;
};

bool ValidGroup(int group, int kind)
{
    return (kind == kLtrKind || kind == kZephKind) ? group >= 0 && group < kBanks
                                                    : kind == kSiteKind && group >= 0 && group < kSites;
}

void Send(int type, intptr_t p1)
{
    if (g_EvMan) g_EvMan->Send(type, p1, 0);
}

std::string Title() { return g_GTex.GetText("GI_Sys_AppTitle", 0); }

// Reads the header and the records the file covers; a revision-4 file that
// does not hold every byte of its header and records is refused.
int ReadGroupFile(const cmcEeprom& scratch, const cmcIcfFile* file, int mapRev, int kind, GroupFile& out)
{
    const ImageBytes bytes(scratch);
    const int perGroup = ItemsPerGroup(kind);
    int first = 0;
    if (mapRev == kMapRev3) {
        out.v3 = true;
        out.flag = bytes.U8(0) & 1;
        out.mark1 = bytes.U8(1);
        out.count = std::min(bytes.U8(4), V3RecordCount);
        first = V3Records;
    } else {
        first = bytes.U8(0);
        out.count = bytes.U8(1);
        out.flag = bytes.U8(2) & 1;
        out.mark1 = bytes.U8(3);
        out.mark2 = bytes.U8(4);
        out.site1 = bytes.U8(5);
        out.site2 = bytes.U8(6);
    }
    // More repeaters than a group takes are cut; a mark past the cut goes.
    out.count = std::min(out.count, perGroup);
    if (out.mark1 > perGroup) out.mark1 = 0;
    if (out.mark2 > perGroup) out.mark2 = 0;
    if (mapRev == kMapRev4 && file != nullptr) {
        // Every byte of the header and of the records read must be in the file.
        const std::vector<uint8_t>& loaded = file->LoadedBitmap();
        const int last = std::max(HeaderSize - 1, first + RecordSize * out.count - 1);
        for (int a = 0; a <= last; ++a)
            if (size_t(a / 8) >= loaded.size() || !((loaded[size_t(a / 8)] >> (a % 8)) & 1)) return kIcfCoverage;
    }
    for (int i = 0; i < out.count; ++i) {
        std::array<uint8_t, RecordSize> r{};
        bytes.Read(first + RecordSize * i, r.data(), RecordSize);
        out.records.push_back(r);
    }
    return kIcfOk;
}

// Room for more repeaters in the list (and the clone memory).
int Room(int group, int kind)
{
    int room = 0;
    if (kind == kLtrKind)
        room = MaxItemsThatFit(CT_Rpt, ItemsPerGroup(kind) * kBanks - ListItemTotal(kind), group);
    else if (kind == kZephKind)
        room = MaxItemsThatFit(CT_ZEPH_Rpt, ItemsPerGroup(kind) * kBanks - ListItemTotal(kind), group);
    else
        room = ItemsPerGroup(kind) * kSites - ListItemTotal(kind);
    return std::max(room, 0);
}

void StoreGroupAttributes(cmcEeprom& image, const GroupFile& f, int group, int kind)
{
    ImageBytes bytes(&image);
    if (kind == kLtrKind) {
        bytes.SetU8(kLtrBankTable + kLtrBankSize * group + 7, f.mark1);
        bytes.SetBit(kLtrBankTable + kLtrBankSize * group, kGroupFlagBit, f.flag);
    } else if (kind == kZephKind) {
        const int at = kZephBankTable + kZephBankSize * group;
        bytes.SetU8(at + 6, f.mark1);
        bytes.SetU8(at + 7, f.v3 ? 0 : f.mark2);
        bytes.SetBit(at + 8, kGroupFlagBit, f.flag);
    } else {
        const int at = kSiteTable + kSiteSize * group;
        bytes.SetU8(at + 4, f.v3 ? 0 : f.site1);
        bytes.SetU8(at + 5, f.v3 ? 0 : f.site2);
    }
}

uint32_t U32(const std::array<uint8_t, RecordSize>& r, int at)
{
    return uint32_t(r[size_t(at)]) << 24 | uint32_t(r[size_t(at) + 1]) << 16 | uint32_t(r[size_t(at) + 2]) << 8 |
           uint32_t(r[size_t(at) + 3]);
}

void StoreGroup(const GroupFile& f, int group, int kind)
{
    cmcEeprom& image = g_Main->CurrentImage();
    cmcEeprom& initial = g_Main->InitialImage();
    const int length = ItemsPerGroup(kind) * (kind == kSiteKind ? kSites : kBanks);
    const int c = GroupItemCount(group, kind);
    const int n = f.count;
    const int first = GroupFirstItem(group, kind);

    SetGroupItemCount(group, n, kind);
    StoreGroupAttributes(image, f, group, kind);
    if (n < c) {
        if (kind == kSiteKind) SetGroupItemCount(group, c, kind);
        for (int k = 0; k < c - n; ++k) RenumberAfterDeleteInGroup(image, initial, length, kind, first + n, group + 1);
        SetGroupItemCount(group, n, kind);
    } else {
        for (int k = 0; k < n - c; ++k) RenumberAfterInsertInGroup(image, initial, length, kind, first + c, group + 1);
    }

    for (int i = 0; i < n; ++i) {
        const int item = first + i;
        CopyItemFromImage(image, initial, kind, item, nullptr);
        const auto& r = f.records[size_t(i)];
        const uint32_t rx = U32(r, 0);
        if (rx == 0) continue;
        datCh rpt(&image);
        rpt.Unpack(kind, item);
        rpt.RptRxFreq = int32_t(rx);
        rpt.RptTxFreq = int32_t(U32(r, 4));
        rpt.RptRfPo = uint8_t(ReadRfPower((r[8] >> kPowerShift) & 3));
        rpt.RptFlags.SetValue(uint8_t((rpt.RptFlags.Value() & ~kDataBits) | (r[8] & kDataBits)));
        rpt.RptPhoneBankType.Phone = !(r[9] & 1);
        const int position = i + 1;
        if (f.v3) {
            if (f.mark1 != 0)
                rpt.Attr.HomeRpt = position == f.mark1;
            else
                rpt.Attr.ClearHome = 1;
            rpt.Attr.HomeRpt2 = 0;
            rpt.Attr.SiteHome1 = 0;
            rpt.Attr.SiteHome2 = 0;
        } else if (f.mark1 != 0) {
            rpt.Attr.HomeRpt = position == f.mark1;
            rpt.Attr.HomeRpt2 = position == f.mark2;
        } else if (f.site1 != 0) {
            rpt.Attr.SiteHome1 = position == f.site1;
            rpt.Attr.SiteHome2 = position == f.site2;
        } else {
            rpt.Attr.ClearHome = 1;
        }
        rpt.Commit();
    }
}

}  // namespace

bool AcceptRepeaterMapRev(int mapRev) { return mapRev == kMapRev3 || mapRev == kMapRev4; }

std::vector<uint8_t> BuildRepeaterExport(int group, int kind)
{
    const cmcEeprom& image = g_Main->CurrentImage();
    const ImageBytes bytes(image);
    const int n = ValidGroup(group, kind) ? std::min(GroupItemCount(group, kind), ItemsPerGroup(kind)) : 0;
    std::vector<uint8_t> out(size_t(HeaderSize + RecordSize * n), 0);
    out[0] = HeaderSize;
    out[1] = uint8_t(n);
    if (kind == kLtrKind) {
        out[2] = uint8_t(bytes.Bit(kLtrBankTable + kLtrBankSize * group, kGroupFlagBit));
        out[3] = uint8_t(bytes.U8(kLtrBankTable + kLtrBankSize * group + 7));
    } else if (kind == kZephKind) {
        const int at = kZephBankTable + kZephBankSize * group;
        out[2] = uint8_t(bytes.Bit(at + 8, kGroupFlagBit));
        out[3] = uint8_t(bytes.U8(at + 6));
        out[4] = uint8_t(bytes.U8(at + 7));
    } else if (kind == kSiteKind) {
        out[5] = uint8_t(bytes.U8(kSiteTable + kSiteSize * group + 4));
        out[6] = uint8_t(bytes.U8(kSiteTable + kSiteSize * group + 5));
    }
    const int first = n > 0 ? GroupFirstItem(group, kind) : 0;
    for (int i = 0; i < n; ++i) {
        datCh rpt(const_cast<cmcEeprom*>(&image));
        rpt.Unpack(kind, first + i);
        if (rpt.RptRxFreq == 0) continue;  // ten zero bytes
        uint8_t* r = &out[size_t(HeaderSize + RecordSize * i)];
        const auto put32 = [](uint8_t* at, uint32_t v) {
            for (int k = 0; k < 4; ++k) at[k] = uint8_t(v >> (24 - 8 * k));
        };
        put32(r, uint32_t(rpt.RptRxFreq));
        put32(r + 4, uint32_t(rpt.RptTxFreq));
        const int data = kind == kSiteKind ? 0 : rpt.RptFlags.Value() & kDataBits;
        r[8] = uint8_t(data | WriteRfPower(rpt.RptRfPo) << kPowerShift);
        r[9] = uint8_t(kind == kSiteKind ? 0 : !rpt.RptPhoneBankType.Phone);
    }
    return out;
}

int MergeRepeaterFile(const cmcEeprom& scratch, int mapRev, int group, int kind)
{
    if (!g_Main || !ValidGroup(group, kind)) return kIcfData;
    GroupFile f;
    ReadGroupFile(scratch, nullptr, mapRev, kind, f);
    const int c = GroupItemCount(group, kind);
    if (c + Room(group, kind) < f.count) {
        plat::MessageBox(g_GTex.GetText("GI_AppMess_ChErr_Overflow", 0), Title(), plat::MB_OK | plat::MB_ICONERROR);
        return -1;
    }
    {
        // The group loaded into is the one named here, not the one some open
        // sheet shows: its home marks are the ones the records set.
        const ScopedListGroup named(group);
        StoreGroup(f, group, kind);
        g_Main->Pack(g_Main->CurrentImage());
    }
    if (f.count < c) Send(ev::RowsRemoved, c - f.count);
    if (f.count > c) Send(ev::RowsAdded, f.count - c);
    g_Main->MarkModified();
    Send(ev::RepaintLabelled, 0);
    Send(ev::RefreshSheetTitles, 0);
    return 0;
}

int LoadRepeaterFile(const std::string& path, int group, int kind)
{
    if (!g_Main || !ValidGroup(group, kind)) return kIcfData;
    cmcEeprom scratch;
    scratch.Resize(kImageSize);
    plat::ScopedHourglass hourglass;
    cmcIcfFile file;
    file.SetImage(&scratch);
    file.SetModelCode(g_Main->ModelCode());
    file.SetSubCode(g_Main->SubCode());
    file.SetHeaderCheck(
        {[](void*, int model, int sub, int* error) { return g_Main->CheckModelCode(model, sub, error); }, nullptr});
    file.SetMapRevCheck({[](void*, int mapRev) { return AcceptRepeaterMapRev(mapRev); }, nullptr});
    if (const int read = file.Load(path, nullptr); read != kIcfOk) return read;

    const int mapRev = file.GetMapRev();
    if (mapRev == kMapRev3) {
        const dst_AdrRange ranges[] = {{0, V3Last}, {1, 0}};
        if (const int coverage = file.CheckCoverage(ranges); coverage != kIcfOk) {
            ShowFileError(coverage);
            return coverage;
        }
    }
    // A revision-4 file must hold its whole header and every record it counts.
    GroupFile f;
    if (const int read = ReadGroupFile(scratch, &file, mapRev, kind, f); read != kIcfOk) {
        ShowFileError(read);
        return read;
    }
    const int merged = MergeRepeaterFile(scratch, mapRev, group, kind);
    if (merged == 0 && mapRev == kMapRev3) {
        g_Main->SetFolder(plat::FolderOf(path));
        SetRepeaterFileName(path);
    }
    return merged;
}

int SaveRepeaterFile(const std::string& path, int group, int kind)
{
    if (!g_Main || !ValidGroup(group, kind)) return kIcfData;
    // The file is written from a copy: its bytes after the records are the
    // working image's, and the working image itself never changes.
    cmcEeprom copy;
    copy.Assign(g_Main->CurrentImage());
    const std::vector<uint8_t> data = BuildRepeaterExport(group, kind);
    for (size_t k = 0; k < data.size(); ++k) copy.SetByte(int(k), data[k]);
    const int n = data[1];

    cmcIcfFile file;
    file.SetImage(&copy);
    file.SetModelCode(g_Main->ModelCode());
    file.SetSubCode(g_Main->SubCode());
    file.SetMapRev(kMapRev4);
    file.SetComment(Comment);
    file.SetAdrBit(kAdrBit);
    const dst_AdrRange ranges[] = {{0, V4Tail + RecordSize * n}, {1, 0}};
    int result = kIcfOk;
    {
        plat::ScopedHourglass hourglass;
        result = file.Save(path, ranges);
    }
    if (result == kIcfOk) {
        g_Main->SetFolder(plat::FolderOf(path));
        SetRepeaterFileName(path);
    }
    return result;
}

namespace {

plat::FileDialog RepeaterDialog(const std::string& fileName)
{
    plat::FileDialog dialog;
    dialog.defaultExt = g_GTex.GetText("GI_Sys_Dialog_FOpenRpt", 0);
    dialog.filter = g_GTex.GetText("GI_Sys_Dialog_FOpenRpt", 1);
    dialog.initialDir = g_Main ? g_Main->Folder() : std::string();
    dialog.fileName = fileName;
    return dialog;
}

}  // namespace

int ImportRepeaterList(int group, int kind, plat::Form* owner)
{
    plat::FileDialog dialog = RepeaterDialog("");
    if (!plat::ExecuteOpenDialog(dialog, owner)) return 1;
    LoadRepeaterFile(dialog.fileName, group, kind);
    return 0;
}

int ExportRepeaterList(int group, int kind, plat::Form* owner)
{
    plat::FileDialog dialog = RepeaterDialog(plat::FileNameOf(RepeaterFileName()));
    if (!plat::ExecuteSaveDialog(dialog, owner)) return 1;
    SaveRepeaterFile(dialog.fileName, group, kind);
    return 0;
}

void SetRepeaterFileName(const std::string& path) { g_fileName = path; }

std::string RepeaterFileName()
{
    if (!g_fileName.empty()) return g_fileName;
    const std::string folder = g_Main ? g_Main->Folder() : std::string();
    return folder.empty() || folder.back() == '/' ? folder + "Untitled" : folder + "/Untitled";
}
