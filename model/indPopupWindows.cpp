#include "model/indPopupWindows.h"

#include "core/cmcGTex.h"
#include "model/indFlector.h"
#include "model/indMain.h"
#include "ui/cuiCEdit.h"
#include "ui/cuiFBitsR.h"
#include "ui/cuiFText.h"
#include "model/iuiRptSetWin.h"
#include "platform/ui/Menus.h"
#include "ui/cuiFlector.h"
#include "ui/cuiMenu.h"

#include <algorithm>

indPopupWindows::indPopupWindows() : m_previous(SetCellPopups(this)) {}

indPopupWindows::~indPopupWindows()
{
    if (CellPopups() == this) SetCellPopups(m_previous);
}

bool indPopupWindows::OpenChoiceList(const cmcCellCapsule& origin, int label, int focusIndex,
                                     const std::string& sheetKey)
{
    // The pick list frees itself when it closes.
    new cuiFlector(origin, label, focusIndex, &g_GTex, sheetKey);
    return true;
}

bool indPopupWindows::OpenPicker(const cmcCellCapsule& origin, int label, int focusIndex, const std::string& sheetKey,
                                 const std::string& sheetCode)
{
    new indFlector(origin, label, focusIndex, &g_GTex, sheetKey, sheetCode);
    return true;
}

bool indPopupWindows::OpenBitEditor(const cmcCellCapsule& origin, uint32_t mask, int firstItem, int lastItem,
                                    int itemKind, int markStyle, const std::string& sheetKey)
{
    new cuiFBitsR(origin, &g_GTex, mask, firstItem, lastItem, itemKind, markStyle, sheetKey);
    return true;
}

bool indPopupWindows::OpenTextEditor(const cmcCellCapsule& origin, const cmcBuff& text, bool selectAll,
                                     int maxLength)
{
    // The editor frees itself when it closes.
    new cuiFText(origin, &g_GTex, text, selectAll, maxLength);
    return true;
}

bool indPopupWindows::OpenCharEditor(const cmcCellCapsule& origin, int dotSize, int across, int down,
                                     const cmcBuff& dots)
{
    const std::vector<uint8_t> bytes(dots.Data(), dots.Data() + dots.Length());
    new cuiCEdit(origin, dotSize, across, down, bytes);
    return true;
}

bool indPopupWindows::AskReadWritePassword(const std::string& initial, std::array<uint8_t, 16>& result)
{
    if (g_Main == nullptr) return false;
    g_Main->ShowReadWritePasswordDialog(initial);
    if (!g_Main->ReadWritePasswordResult()) return false;
    const auto& password = g_Main->ReadWritePassword();
    std::copy_n(password.begin(), result.size(), result.begin());
    return true;
}

bool indPopupWindows::OpenRepeaterSetWindow(const cmcCellCapsule& origin, int kind)
{
    if (g_Main == nullptr || g_Main->MainForm() == nullptr || iuiRptSetWin::Current() != nullptr) return false;
    const char* key = kind == 22 ? "GI_Sheet_RptSetWin" : kind == 27 ? "GI_Sheet_RptSetWin_ZEPH" : "GI_Sheet_RptSetWin_Multisite";
    // The window frees itself when it closes.
    new iuiRptSetWin(g_Main->MainForm(), g_GTex.GetText("GI_Sys_AppTitle", 0), &g_GTex, key, origin.Images, origin,
                     kind);
    return true;
}

int indPopupWindows::MainMenuSubItemCount(int label) const
{
    cuiMenu* menu = g_Main ? g_Main->Menu() : nullptr;
    if (menu == nullptr) return -1;
    const plat::MenuItem* item = menu->FindItem(nullptr, label);
    return item ? item->Count() : -1;
}
