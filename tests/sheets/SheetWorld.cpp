#include "tests/sheets/SheetWorld.h"

#include "cells/ValueHandlers.h"
#include "cells/indActiveCell.h"
#include "core/EventIds.h"
#include "core/cmcIcfFile.h"
#include "model/EepromMap.h"
#include "model/Unpacking.h"
#include "model/TableAccess.h"
#include "model/iuiSh_ChBank.h"
#include "model/iuiSh_Mch.h"
#include "tests/support/TestSupport.h"
#include "ui/cuiGrid.h"

namespace sheets {

namespace {

// The pictures of the tree's image list, in its order (the marks are 12 and
// 13).
const char* const TreeImageNames[] = {
    "imgIcon_Tree_Rig",   "imgIcon_Tree_Folder01", "imgIcon_Tree_Note01", "imgIcon_Tree_Note02",
    "imgIcon_Tree_Bank0", "imgIcon_Tree_Bank1",    "imgIcon_Tree_Bank2",  "imgIcon_Tree_Bank3",
    "imgIcon_Tree_Bank4", "imgIcon_Tree_Bank5",    "imgIcon_Tree_Bank6",  "imgIcon_Tree_Bank7",
    "imgIcon_Tree_WarnW_RB", "imgIcon_Tree_WarnE_RB",
};

std::vector<std::string> Overlay(const std::vector<std::string>& more)
{
    std::vector<std::string> lines = more;
    const std::vector<std::string> file = LanguageFileLines();
    lines.insert(lines.end(), file.begin(), file.end());
    return lines;
}

} // namespace

std::vector<std::string> LanguageFileLines()
{
    const std::string bytes = qmtest::ReadFile(std::string(QM_OVERLAY_DIR) + "/QM7148HE.OVL");
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "#End_Of_Ovl") break;
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

SheetWorld::SheetWorld(int modelType, const std::vector<std::string>& more)
    : world(Overlay(more), modelType)
{
    form.SetClientSize(900, 420);
    for (const char* name : TreeImageNames) images.AddArtwork(name);
    m_subscription = cmcEvSubscription(MemberEventHandler<&SheetWorld::OnEvent>(this));
}

SheetWorld::~SheetWorld()
{
    sheet.reset();
    m_subscription.Reset();
}

void SheetWorld::LoadInitialImage()
{
    const dst_AdrRange ranges[] = {{0, EepromMap::CloneLast}, {1, 0}};
    cmcIcfFile file;
    file.SetImage(&world.Main().InitialImage());
    file.SetModelCode(0x7143);
    file.SetMapRevCheck({[](void*, int mapRev) { return mapRev < 2; }, nullptr});
    file.SetHeaderCheck({[](void*, int model, int, int*) { return model == 0x7143 || model == 0x7148; }, nullptr});
    file.SetCompareSize(0xFF80);
    const std::string name = MchRecordKind() == 2 ? "InitialPMR.icf" : "InitialLMR.icf";
    ASSERT_EQ(file.Load(std::string(QM_OVERLAY_DIR) + "/" + name, ranges), kIcfOk);
    UnpackDefaults(world.Main().InitialImage());
    world.Image().Assign(world.Main().InitialImage());
    Pack();
}

iuiSh_ChBank& SheetWorld::OpenBank(int bank)
{
    const std::string key = MchRecordKind() == 2 ? "GI_Sheet_Mch_Pmr" : "GI_Sheet_Mch_Lmr";
    return Open<iuiSh_ChBank>(key, "Bank " + std::to_string(bank));
}

iuiSh_Mch& SheetWorld::OpenList(const std::string& key, const std::string& code, const cmcCellCapsule* origin)
{
    sheet.reset();
    auto made = std::make_unique<iuiSh_Mch>(&form, origin, 0, 0, &g_GTex, key, &images);
    iuiSh_Mch& shown = *made;
    sheet = std::move(made);
    shown.SetCode(code);
    shown.Show();
    return shown;
}

cuiGrid& SheetWorld::Grid() const { return *sheet->Grid(); }

void SheetWorld::Focus()
{
    form.Show();
    Grid().SetFocus();
}

std::string SheetWorld::Text(int col, int row)
{
    cmcCellCapsule capsule;
    sheet->FillCapsule(col, row, capsule);
    indActiveCell().Exec(&capsule, 0);
    return capsule.Text;
}

int SheetWorld::ColumnOf(int label) const
{
    const auto* rows = dynamic_cast<const iuiSh_ListRows*>(sheet.get());
    const int row = rows != nullptr && rows->LoopRow() >= 0 ? rows->LoopRow() : Grid().RowCount() - 1;
    for (int col = 0; col < Grid().ColCount(); ++col)
        if (sheet->CellAt(col, row).Label == label) return col;
    return -1;
}

std::string SheetWorld::Cursor() const { return std::to_string(Grid().Col()) + "," + std::to_string(Grid().Row()); }

void SheetWorld::OnEvent(const dst_Event* event)
{
    if (event->mode == dst_Event::Sent && (event->type == ev::RowsAdded || event->type == ev::RowsRemoved))
        rowEvents.emplace_back(event->type, event->p1);
}

} // namespace sheets
