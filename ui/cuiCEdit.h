#pragma once
// The user character editor: the dialog in which one of the radio's
// user-defined display characters is drawn dot by dot. An enlarged dot
// matrix to draw in with the mouse, a preview at 4 pixels per dot, a tool
// bar with three drawing tools (pen, rectangle, shift) and a clear command,
// and OK and Cancel. While it is open the main window is disabled.
//
// The left button sets dots, the right button clears them: the pen dot by
// dot, the rectangle every dot between the dot where the drag began and
// the one under the pointer; the shift tool moves the whole pattern with
// the pointer, wrapping round at the edges. Dots the radio's display does
// not show are grey while clear.
//
// OK hands the dots back to the cell that opened the editor (phase 2): one
// digit per dot, "1" set and "0" clear, row by row from the top.
//
// The object frees itself when its window is destroyed; whoever opens the
// editor does not keep it.
#include "cells/indActiveCell.h"
#include "core/cmcCellCapsule.h"
#include "core/cmcEvMan.h"
#include "platform/base/Rect.h"
#include "platform/base/ShiftState.h"
#include "platform/ui/Control.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class cuiToolBar;
namespace plat {
class Button;
class Canvas;
class Form;
class ImageList;
class PaintBox;
class Panel;
class ToolButton;
} // namespace plat

class cuiCEdit {
public:
    // Drawing tools and the tool-bar pictures that choose them; the
    // picture of the clear command.
    enum Tool { ToolPen = 0, ToolRectangle = 1, ToolShift = 2 };
    static constexpr int ImagePen = 10;
    static constexpr int ImageRectangle = 11;
    static constexpr int ImageShift = 12;
    static constexpr int ImageClear = 0;
    // Pixels per dot of the preview.
    static constexpr int PreviewDot = 4;

    // Builds and shows the dialog for the originating capsule (copied) with
    // the dot size in pixels, the dots across and down, and the dots (one
    // byte per dot, row by row, non-zero set).
    cuiCEdit(const cmcCellCapsule& origin, int dotSize, int across, int down, const std::vector<uint8_t>& dots);
    ~cuiCEdit();
    cuiCEdit(const cuiCEdit&) = delete;
    cuiCEdit& operator=(const cuiCEdit&) = delete;

    // The dot's square in the matrix.
    plat::Rect DotRect(int column, int row) const;
    plat::Rect PreviewDotRect(int column, int row) const;
    // The dot under a point of the matrix; true when the point lies
    // outside the pattern (left of or above it included).
    bool DotAtPoint(int x, int y, int& column, int& row) const;
    // Whether the radio's display leaves the dot out.
    bool OutsideDisplay(int column, int row) const;

    void UpdateDisplay(bool repaintAll);
    void SetDot(int column, int row, bool on);
    void MergeLayer();

    void OnFormClose();
    void OnFormDestroy();
    void OnMatrixPaint(plat::Canvas& canvas);
    void OnMatrixMouseDown(plat::MouseButton button, plat::ShiftState shift, int x, int y);
    void OnMatrixMouseUp(plat::MouseButton button, plat::ShiftState shift, int x, int y);
    void OnMatrixMouseMove(plat::ShiftState shift, int x, int y);
    void OnPreviewPaint(plat::Canvas& canvas);
    void OnToolClick(plat::ToolButton& sender);
    void OnOkClick();
    void OnCancelClick();
    void OnEvent(const dst_Event* event);

    plat::Form* Window() const { return m_window; }
    plat::PaintBox* Matrix() const { return m_matrix; }
    plat::PaintBox* PreviewBox() const { return m_preview; }
    cuiToolBar* Tools() const { return m_toolBar.get(); }
    plat::Button* OkButton() const { return m_ok; }
    plat::Button* CancelButton() const { return m_cancel; }
    int CurrentTool() const { return m_tool; }
    // The dots as shown, one byte (0 or 1) per dot, row by row.
    const std::vector<uint8_t>& ShownDots() const { return m_shown; }

    // The editor opened last that is still open; null when none is.
    static cuiCEdit* Newest();

private:
    void Build(const cmcCellCapsule& origin);
    size_t At(int column, int row) const { return size_t(column + row * m_across); }
    bool Inside(int column, int row) const { return column >= 0 && column < m_across && row >= 0 && row < m_down; }
    void TakeButtons(plat::ShiftState shift);
    void Close();

    plat::Control* m_owner;
    plat::Control* m_mainWindow = nullptr;
    std::unique_ptr<cmcCellCapsule> m_origin;
    int m_dotSize;
    int m_across;
    int m_down;
    bool m_wideSet;
    bool m_layoutFlag;
    plat::Form* m_window = nullptr;
    plat::Panel* m_matrixPanel = nullptr;
    plat::PaintBox* m_matrix = nullptr;
    plat::Panel* m_rightPanel = nullptr;
    plat::PaintBox* m_preview = nullptr;
    plat::Button* m_ok = nullptr;
    plat::Button* m_cancel = nullptr;
    std::unique_ptr<plat::ImageList> m_ownImages;
    std::unique_ptr<cuiToolBar> m_toolBar;
    std::vector<uint8_t> m_shown;
    std::vector<uint8_t> m_pattern;
    std::vector<uint8_t> m_layer;
    // Bit 0 the left button is held (dots set), bit 1 the right (cleared).
    uint8_t m_buttons = 0;
    // 0 pattern or layer, 1 pattern and not layer, 2 the layer alone.
    int m_dragMode = 0;
    int m_tool = ToolPen;
    int m_startColumn = 0;
    int m_startRow = 0;
    bool m_closing = false;
    indActiveCell m_engine;
    cmcEvSubscription m_events;
};
