#include "model/TForm1.h"

#include "core/TextFunctions.h"
#include "core/cmcCellObj.h"
#include "core/cmcGTex.h"
#include "model/indEnviron.h"
#include "model/indMain.h"
#include "platform/ui/Application.h"
#include "platform/ui/ImageList.h"

const std::array<const char*, 14> TForm1::TreeImageNames = {
    "imgIcon_Tree_Rig",   "imgIcon_Tree_Folder01", "imgIcon_Tree_Note01", "imgIcon_Tree_Note02",
    "imgIcon_Tree_Bank0", "imgIcon_Tree_Bank1",    "imgIcon_Tree_Bank2",  "imgIcon_Tree_Bank3",
    "imgIcon_Tree_Bank4", "imgIcon_Tree_Bank5",    "imgIcon_Tree_Bank6",  "imgIcon_Tree_Bank7",
    "imgIcon_Tree_WarnW_RB", "imgIcon_Tree_WarnE_RB",
};

const std::array<const char*, 19> TForm1::ToolBarImageNames = {
    "imgIcon_Bar_File_New",      "imgIcon_Bar_File_Open",   "imgIcon_Bar_File_Save",   "imgIcon_Bar_Com1",
    "imgIcon_Bar_Com2",          "imgIcon_Bar_Com3",        "imgIcon_Bar_Com4",        "imgIcon_Bar_Clone_Read",
    "imgIcon_Bar_Clone_Write",   "imgIcon_Bar_Clone_Info",  "imgIcon_Bar_Pcg_Pen",     "imgIcon_Bar_Pcg_Fill",
    "imgIcon_Bar_Pcg_Slider",    "imgIcon_Bar_Page_Top",    "imgIcon_Bar_Page_Previous", "imgIcon_Bar_Page_Next",
    "imgIcon_Bar_Page_Last",     "imgIcon_Bar_Page_Zoom",     "imgIcon_Bar_Print",
};

plat::Rect KeepMainWindowReachable(const plat::Rect& bounds, const plat::Rect& workArea)
{
    int left = bounds.left;
    int top = bounds.top;
    const int width = bounds.Width();
    const int height = bounds.Height();
    const int m = TForm1::ReachableMargin;
    if (left > workArea.right - m) left = workArea.right - m;
    if (top > workArea.bottom - m) top = workArea.bottom - m;
    if (left + width < workArea.left + m) left = workArea.left + m - width;
    if (top < workArea.top) top = workArea.top;
    return {left, top, left + width, top + height};
}

TForm1::TForm1(plat::Component* owner)
    : plat::Form(owner), m_treeImages(new plat::ImageList(this)), m_toolBarImages(new plat::ImageList(this))
{
    SetCaption(g_GTex.GetText("GI_Sys_AppTitle", 0));
    plat::SetApplicationTitle(Caption());

    cmcCellObj cell;
    cmcCellObj::ParseCell(&cell, g_GTex.GetText("GI_Form_Main_BasicCell", 0), nullptr, nullptr, false);
    if (cell.Font) {
        plat::Font font = GetFont();
        AssignFont(&font, cell.Font.get());
        SetFont(font);
    }

    if (g_Environ != nullptr) {
        const plat::Rect stored{g_Environ->Left, g_Environ->Top, g_Environ->Left + g_Environ->Width,
                                g_Environ->Top + g_Environ->Height};
        const plat::Rect placed = KeepMainWindowReachable(stored, plat::DesktopWorkArea());
        SetBounds(placed.left, placed.top, placed.Width(), placed.Height());
    }
    WMGetMinMaxInfo();

    for (const char* name : TreeImageNames) m_treeImages->AddArtwork(name);
    for (const char* name : ToolBarImageNames) m_toolBarImages->AddArtwork(name);

    if (g_Main != nullptr) g_Main->BuildMainWindow(*this, *m_treeImages, *m_toolBarImages);
}

TForm1::~TForm1() = default;

void TForm1::WMGetMinMaxInfo() { SetMinTrackSize(MinTrackWidth, MinTrackHeight); }
