#pragma once
// The print preview: the pages that printing laid out, one at a time, as a
// picture at screen resolution, before anything is printed.
//
// Printing records one dst_Preview per page. A page is rendered by building
// its sheet again in printing mode on the page bitmap, drawing the page frame
// and the block, after stretching the block's columns and rows so that it
// covers the same share of the page as it will on paper. The user pages
// through (tool buttons, the page edit, PgUp and PgDn), zooms to the
// bitmap's own size, changes the printer font size in the Setting dialog
// (which lays the pages out again) and presses Print or closes the window.
// With no page at all it shows a blank page with the page buttons and Print
// disabled.
#include "platform/base/Rect.h"

#include <memory>
#include <string>
#include <vector>

class cuiPrinter;
class cuiSheet;
namespace plat {
class Bitmap;
class Button;
class ComboBox;
class Edit;
class Form;
class ImageList;
class ImageView;
class Label;
class Panel;
class Printer;
class StatusBar;
class ToolBar;
class ToolButton;
} // namespace plat

struct dst_Preview {
    std::string Spec;
    plat::Rect Page;  // the printable area, page-bitmap pixels
    plat::Rect Block; // the block as measured on the printer, page-bitmap pixels
    int FirstCol = 0;
    int FirstRow = 0;
    int ColCount = 0;
    int RowCount = 0;
};

class cuiPreview {
public:
    // Images of the tool bar's list.
    static constexpr int TopPageImage = 13;
    static constexpr int PreviousPageImage = 14;
    static constexpr int NextPageImage = 15;
    static constexpr int LastPageImage = 16;
    static constexpr int ZoomImage = 17;
    static constexpr int TopPanelHeight = 25;
    static constexpr int CaptionButtonWidth = 70;
    static constexpr int PageEditWidth = 30;
    static constexpr int PageEditLength = 3;
    static constexpr int StatusPanelWidth = 80;
    // Room around the page in the window.
    static constexpr int WindowMargin = 50;
    // The Setting dialog's sizes run from this many points.
    static constexpr int SmallestFontSize = 8;
    static constexpr int FontSizeCount = 5;
    static constexpr int DialogSpacing = 10;

    // Builds the window (not shown) over the owner, with the caption and
    // the main tool bar's images.
    cuiPreview(cuiPrinter& printer, plat::Form* owner, const std::string& caption, plat::ImageList* images);
    ~cuiPreview();
    cuiPreview(const cuiPreview&) = delete;
    cuiPreview& operator=(const cuiPreview&) = delete;

    // Room for n pages; the page bitmap takes the printable area's size at
    // screen resolution and the window the bitmap's size and a margin.
    void Prepare(plat::Printer& printer, int pages);
    // Rectangles in printer pixels.
    void AddPage(plat::Printer& printer, const std::string& spec, const plat::Rect& page, int firstCol, int firstRow,
                 int colCount, int rowCount, const plat::Rect& block);
    void IncPageCount() { ++m_pageCount; }
    // Shows the window modally from the first page; true when Print was
    // pressed.
    bool Execute();

    void ShowPage();
    void ClearPage();
    void RenderPage(int page);
    // Stretches or shrinks the block's columns and rows of the sheet so that
    // the measured block becomes as wide and high as the page's recorded
    // block. Never below one pixel, and it always ends.
    void FitBlockToPage(cuiSheet& sheet, const dst_Preview& page, const plat::Rect& measured);
    plat::Rect ToBitmapRect(plat::Printer& printer, const plat::Rect& rect) const;
    void Repaginate();
    void StepPage(bool forward);
    void GoToPage(int index);
    void ClampPage();
    void UpdateButtons();
    void ShowSettingDialog();

    void OnSettingOkClick();
    void OnSettingCancelClick();
    void OnPrintClick();
    void OnSettingClick();
    void OnToolClick(plat::ToolButton& button);
    void OnFormKeyPress(char32_t& ch);
    void OnFormKeyDown(int& key);

    plat::Form& Window() const { return *m_window; }
    plat::Bitmap& PageBitmap() const { return *m_bitmap; }
    const std::vector<dst_Preview>& Pages() const { return m_pages; }
    int PageCount() const { return m_pageCount; }
    int CurrentPage() const { return m_current; }
    int LastPage() const { return m_last; }
    bool PrintPressed() const { return m_print; }
    plat::ToolButton* TopPageButton() const { return m_top; }
    plat::ToolButton* PreviousPageButton() const { return m_previous; }
    plat::ToolButton* NextPageButton() const { return m_next; }
    plat::ToolButton* LastPageButton() const { return m_lastButton; }
    plat::ToolButton* ZoomButton() const { return m_zoom; }
    plat::Button* PrintButton() const { return m_printButton; }
    plat::Button* SettingButton() const { return m_settingButton; }
    plat::Edit* PageEdit() const { return m_pageEdit; }
    plat::Label* PageCountLabel() const { return m_pageLabel; }
    plat::StatusBar* Status() const { return m_status; }
    plat::ImageView* Image() const { return m_image; }
    plat::ComboBox* FontSizeList() const { return m_fontSizes; }

private:
    plat::ToolButton* AddToolButton(int image, const std::string& hint);
    void AddSeparator();

    cuiPrinter& m_printer;
    plat::Form* m_owner;
    std::unique_ptr<plat::Form> m_window;
    plat::Panel* m_topPanel = nullptr;
    plat::ToolBar* m_toolBar = nullptr;
    plat::StatusBar* m_status = nullptr;
    plat::Panel* m_client = nullptr;
    plat::ImageView* m_image = nullptr;
    plat::ToolButton* m_top = nullptr;
    plat::ToolButton* m_previous = nullptr;
    plat::ToolButton* m_next = nullptr;
    plat::ToolButton* m_lastButton = nullptr;
    plat::ToolButton* m_zoom = nullptr;
    plat::Edit* m_pageEdit = nullptr;
    plat::Label* m_pageLabel = nullptr;
    plat::Button* m_settingButton = nullptr;
    plat::Button* m_printButton = nullptr;
    plat::Form* m_settingDialog = nullptr;
    plat::ComboBox* m_fontSizes = nullptr;
    std::unique_ptr<plat::Bitmap> m_bitmap;
    std::vector<dst_Preview> m_pages;
    plat::Printer* m_device = nullptr;
    bool m_print = false;
    int m_current = 0;
    int m_pageCount = 0;
    int m_last = -1;
    plat::Rect m_area;
};
