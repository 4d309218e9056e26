#include "platform/ui/DrawGrid.h"

#include "platform/base/Timer.h"
#include "platform/ui/Application.h"
#include "platform/ui/Menus.h"
#include "platform/ui/QtAccess.h"
#include "platform/ui/QtCanvas.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace plat {

// A press of the left button that is still held: it moves the current cell
// along, or it drags a column border.
struct DrawGrid::Drag {
    bool sizing = false;
    int column = -1;
    int startX = 0;
    int startWidth = 0;
    Point last;
};

// The grid's widget: a scroll area whose viewport is the client area. It
// hands every event to the grid.
class GridWidget : public QAbstractScrollArea {
public:
    explicit GridWidget(QWidget* parent) : QAbstractScrollArea(parent)
    {
        setFrameShape(QFrame::NoFrame);
        setFocusPolicy(Qt::StrongFocus);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
        viewport()->setAutoFillBackground(false);
        viewport()->setMouseTracking(true);
        connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
            if (grid != nullptr && !syncing) GuardHandler([&] { grid->SetLeftCol(value); });
        });
        connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
            if (grid != nullptr && !syncing) GuardHandler([&] { grid->SetTopRow(value); });
        });
    }

    DrawGrid* grid = nullptr;
    bool syncing = false;
    QPointer<QMenu> popup;
    int wheelRest = 0;
    bool lentToMenuBar = false;
    QMetaObject::Connection loanWatch;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (grid == nullptr) return;
        QPainter painter(viewport());
        QtCanvas& canvas = *grid->m_canvas;
        canvas.BeginPaint(&painter);
        GuardHandler([&] { grid->Paint(FromQRect(event->rect()), hasFocus() || lentToMenuBar); });
        canvas.EndPaint();
    }

    void resizeEvent(QResizeEvent* event) override
    {
        QAbstractScrollArea::resizeEvent(event);
        if (grid != nullptr) GuardHandler([this] { grid->Relayout(); });
    }

    void mousePressEvent(QMouseEvent* event) override { Mouse(event); }
    void mouseMoveEvent(QMouseEvent* event) override { Mouse(event); }
    void mouseReleaseEvent(QMouseEvent* event) override { Mouse(event); }
    void mouseDoubleClickEvent(QMouseEvent* event) override { Mouse(event); }

    void wheelEvent(QWheelEvent* event) override
    {
        if (grid == nullptr) return;
        std::shared_ptr<bool> alive = grid->m_alive;
        bool handled = false;
        GuardHandler([&] { handled = ReportMouseEvent(*grid, event); });
        if (handled || !*alive) return;
        wheelRest += event->angleDelta().y();
        const int notches = wheelRest / 120;
        wheelRest -= notches * 120;
        if (notches != 0)
            GuardHandler([&] { grid->SetTopRow(grid->TopRow() - notches * QApplication::wheelScrollLines()); });
    }

    void contextMenuEvent(QContextMenuEvent* event) override
    {
        if (grid == nullptr) return;
        GuardHandler([&] {
            if (event->reason() == QContextMenuEvent::Keyboard) {
                grid->ShowPopupAtCurrentCell();
            } else if (PopupMenu* menu = grid->GetPopupMenu()) {
                if (menu->AutoPopup()) grid->ShowPopupAt({event->globalPos().x(), event->globalPos().y()});
            }
        });
    }

    // Keys go to the handlers only (through the form); the grid itself
    // neither moves nor scrolls on them.
    void keyPressEvent(QKeyEvent* event) override { event->ignore(); }

    void keyReleaseEvent(QKeyEvent* event) override
    {
        event->ignore();
        if (grid == nullptr || event->isAutoRepeat() || !grid->OnKeyUp) return;
        int key = VirtualKeyOf(event->key());
        if (key == 0) return;
        KeyDownHandler handler = grid->OnKeyUp;
        GuardHandler([&] { handler(key, ShiftOf(event->modifiers())); });
    }

    // The focus that the menu bar borrows while it is worked from the
    // keyboard (Alt with a letter) comes back to the grid when the menu
    // closes: for the program the grid keeps it meanwhile, as it does while
    // a pop-up menu is open. Only when the focus then moves on elsewhere
    // from the menu bar has the grid lost it.
    void focusInEvent(QFocusEvent* event) override
    {
        const bool returned = lentToMenuBar;
        EndLoan();
        if (event->reason() != Qt::PopupFocusReason && !returned) Focus(true);
        QAbstractScrollArea::focusInEvent(event);
    }

    void focusOutEvent(QFocusEvent* event) override
    {
        if (event->reason() == Qt::MenuBarFocusReason && qobject_cast<QMenuBar*>(QApplication::focusWidget()) != nullptr) {
            lentToMenuBar = true;
            loanWatch = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
                if (now == this || qobject_cast<QMenuBar*>(now) != nullptr || qobject_cast<QMenu*>(now) != nullptr) return;
                EndLoan();
                Focus(false);
            });
        } else if (event->reason() != Qt::PopupFocusReason) {
            Focus(false);
        }
        QAbstractScrollArea::focusOutEvent(event);
    }

private:
    void Mouse(QMouseEvent* event)
    {
        if (grid == nullptr) return;
        std::shared_ptr<bool> alive = grid->m_alive;
        const QPoint p = event->position().toPoint();
        GuardHandler([&] {
            switch (event->type()) {
            case QEvent::MouseButtonPress: {
                int button = 0;
                if (event->button() == Qt::RightButton) button = 1;
                if (event->button() == Qt::MiddleButton) button = 2;
                grid->MousePress(button, MouseShiftOf(event->modifiers(), event->buttons()), p.x(), p.y());
                break;
            }
            case QEvent::MouseMove: grid->MouseMove(MouseShiftOf(event->modifiers(), event->buttons()), p.x(), p.y()); break;
            case QEvent::MouseButtonRelease:
                if (event->button() == Qt::LeftButton) grid->MouseRelease(p.x(), p.y());
                break;
            default: break;
            }
        });
        if (!*alive) return;
        GuardHandler([&] { ReportMouseEvent(*grid, event); });
    }

    void EndLoan()
    {
        lentToMenuBar = false;
        disconnect(loanWatch);
    }

    void Focus(bool gained)
    {
        if (grid == nullptr) return;
        std::shared_ptr<bool> alive = grid->m_alive;
        std::function<void()> handler = gained ? grid->OnSetFocus : grid->OnKillFocus;
        if (handler) GuardHandler(handler);
        if (*alive) grid->InvalidateCell(grid->Col(), grid->Row());
    }
};

namespace {

// The furthest the scrolling can go: the first index of the longest run at
// the end of `sizes` (from `first` on) whose sum fits in `room`. When even
// the last one alone does not fit, the last index; when the run that fits
// shows nothing (sizes of 0 only), the index before it, so that the last
// cell with a size can always be scrolled into view.
int FirstOfFittingTail(const std::vector<int>& sizes, int first, int room)
{
    const int last = static_cast<int>(sizes.size()) - 1;
    int start = last + 1;
    int sum = 0;
    while (start - 1 >= first && sum + sizes[static_cast<size_t>(start - 1)] <= room) {
        --start;
        sum += sizes[static_cast<size_t>(start)];
    }
    if (start > last) return std::max(first, last); // even the last one alone is too large
    if (sum > 0 || start == first) return start;
    // The tail that fits shows nothing: the one before it (the last with a
    // size) is as far as scrolling is of any use.
    return start - 1;
}

int SumOf(const std::vector<int>& sizes, int from, int to)
{
    int sum = 0;
    for (int i = from; i < to; ++i) sum += sizes[static_cast<size_t>(i)];
    return sum;
}

} // namespace

DrawGrid::DrawGrid(Container& parent)
    : Control(nullptr, &parent, new GridWidget(parent.ClientWidget())), m_alive(std::make_shared<bool>(true))
{
    GridWidget* view = View();
    view->grid = this;
    m_colWidths.assign(5, m_defaultColWidth);
    m_rowHeights.assign(5, m_defaultRowHeight);
    m_canvas = std::make_unique<QtCanvas>(view->viewport(), GetScreenPixelsPerInch());
    SetColor(clWindow);
    Font font = GetFont();
    font.pixelsPerInch = m_canvas->GetFont().pixelsPerInch;
    m_canvas->GetFont() = font;
    SetBounds(0, 0, 320, 120);
    Relayout();
}

DrawGrid::~DrawGrid()
{
    *m_alive = false;
    View()->grid = nullptr;
    m_scrollTimer.reset();
}

GridWidget* DrawGrid::View() const { return static_cast<GridWidget*>(Widget()); }

Canvas& DrawGrid::GetCanvas() { return *m_canvas; }

// ---- cells ----

void DrawGrid::SetColCount(int count)
{
    count = std::max(1, count);
    if (count == ColCount()) return;
    m_colWidths.resize(static_cast<size_t>(count), m_defaultColWidth);
    if (m_fixedCols > count - 1) m_fixedCols = count - 1;
    m_col = std::clamp(m_col, m_fixedCols, count - 1);
    Relayout();
    View()->viewport()->update();
}

void DrawGrid::SetRowCount(int count)
{
    count = std::max(1, count);
    if (count == RowCount()) return;
    m_rowHeights.resize(static_cast<size_t>(count), m_defaultRowHeight);
    if (m_fixedRows > count - 1) m_fixedRows = count - 1;
    m_row = std::clamp(m_row, m_fixedRows, count - 1);
    Relayout();
    View()->viewport()->update();
}

void DrawGrid::SetFixedCols(int count)
{
    count = std::clamp(count, 0, ColCount() - 1);
    if (count == m_fixedCols) return;
    m_fixedCols = count;
    m_col = std::max(m_col, count);
    m_leftCol = std::max(m_leftCol, count);
    Relayout();
    View()->viewport()->update();
}

void DrawGrid::SetFixedRows(int count)
{
    count = std::clamp(count, 0, RowCount() - 1);
    if (count == m_fixedRows) return;
    m_fixedRows = count;
    m_row = std::max(m_row, count);
    m_topRow = std::max(m_topRow, count);
    Relayout();
    View()->viewport()->update();
}

void DrawGrid::SetDefaultColWidth(int width)
{
    m_defaultColWidth = std::max(0, width);
    std::fill(m_colWidths.begin(), m_colWidths.end(), m_defaultColWidth);
    Relayout();
    View()->viewport()->update();
    if (OnColWidthsChanged) {
        std::function<void()> handler = OnColWidthsChanged;
        handler();
    }
}

void DrawGrid::SetDefaultRowHeight(int height)
{
    m_defaultRowHeight = std::max(0, height);
    std::fill(m_rowHeights.begin(), m_rowHeights.end(), m_defaultRowHeight);
    Relayout();
    View()->viewport()->update();
}

int DrawGrid::ColWidths(int col) const
{
    return col >= 0 && col < ColCount() ? m_colWidths[static_cast<size_t>(col)] : 0;
}

void DrawGrid::SetColWidths(int col, int width)
{
    if (col < 0 || col >= ColCount()) return;
    width = std::max(0, width);
    if (m_colWidths[static_cast<size_t>(col)] == width) return;
    m_colWidths[static_cast<size_t>(col)] = width;
    Relayout();
    View()->viewport()->update();
    if (OnColWidthsChanged) {
        std::function<void()> handler = OnColWidthsChanged;
        handler();
    }
}

int DrawGrid::RowHeights(int row) const
{
    return row >= 0 && row < RowCount() ? m_rowHeights[static_cast<size_t>(row)] : 0;
}

void DrawGrid::SetRowHeights(int row, int height)
{
    if (row < 0 || row >= RowCount()) return;
    height = std::max(0, height);
    if (m_rowHeights[static_cast<size_t>(row)] == height) return;
    m_rowHeights[static_cast<size_t>(row)] = height;
    Relayout();
    View()->viewport()->update();
}

int DrawGrid::GridWidth() const { return SumOf(m_colWidths, 0, ColCount()); }
int DrawGrid::GridHeight() const { return SumOf(m_rowHeights, 0, RowCount()); }
int DrawGrid::FixedWidth() const { return SumOf(m_colWidths, 0, m_fixedCols); }
int DrawGrid::FixedHeight() const { return SumOf(m_rowHeights, 0, m_fixedRows); }

int DrawGrid::ClientWidth() const
{
    const int bar = m_vBarShown ? View()->verticalScrollBar()->sizeHint().width() : 0;
    return std::max(0, View()->width() - bar);
}

int DrawGrid::ClientHeight() const
{
    const int bar = m_hBarShown ? View()->horizontalScrollBar()->sizeHint().height() : 0;
    return std::max(0, View()->height() - bar);
}

// ---- scrolling ----

int DrawGrid::MaxLeftCol(int clientWidth) const
{
    return FirstOfFittingTail(m_colWidths, m_fixedCols, clientWidth - FixedWidth());
}

int DrawGrid::MaxTopRow(int clientHeight) const
{
    return FirstOfFittingTail(m_rowHeights, m_fixedRows, clientHeight - FixedHeight());
}

void DrawGrid::Relayout()
{
    if (m_relayouting) return;
    m_relayouting = true;
    GridWidget* view = View();
    const int width = view->width();
    const int height = view->height();
    const int vExtent = view->verticalScrollBar()->sizeHint().width();
    const int hExtent = view->horizontalScrollBar()->sizeHint().height();
    const bool mayH = m_scrollBars == ssHorizontal || m_scrollBars == ssBoth;
    const bool mayV = m_scrollBars == ssVertical || m_scrollBars == ssBoth;
    // A bar that is shown takes room from the other direction, which may
    // then need its bar too.
    bool h = false;
    bool v = false;
    for (int pass = 0; pass < 3; ++pass) {
        const bool needH = mayH && MaxLeftCol(width - (v ? vExtent : 0)) > m_fixedCols;
        const bool needV = mayV && MaxTopRow(height - (needH ? hExtent : 0)) > m_fixedRows;
        if (needH == h && needV == v) break;
        h = needH;
        v = needV;
    }
    m_hBarShown = h;
    m_vBarShown = v;
    const Qt::ScrollBarPolicy hPolicy = h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    const Qt::ScrollBarPolicy vPolicy = v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (view->horizontalScrollBarPolicy() != hPolicy) view->setHorizontalScrollBarPolicy(hPolicy);
    if (view->verticalScrollBarPolicy() != vPolicy) view->setVerticalScrollBarPolicy(vPolicy);
    ClampTopLeft();
    m_relayouting = false;
}

void DrawGrid::ClampTopLeft()
{
    GridWidget* view = View();
    const int maxLeft = MaxLeftCol(ClientWidth());
    const int maxTop = MaxTopRow(ClientHeight());
    const int left = std::clamp(m_leftCol, m_fixedCols, std::max(m_fixedCols, maxLeft));
    const int top = std::clamp(m_topRow, m_fixedRows, std::max(m_fixedRows, maxTop));
    if (left != m_leftCol || top != m_topRow) view->viewport()->update();
    m_leftCol = left;
    m_topRow = top;
    view->syncing = true;
    QScrollBar* hBar = view->horizontalScrollBar();
    hBar->setRange(m_fixedCols, std::max(m_fixedCols, maxLeft));
    hBar->setPageStep(std::max(1, LastVisibleCol() - m_leftCol));
    hBar->setValue(m_leftCol);
    QScrollBar* vBar = view->verticalScrollBar();
    vBar->setRange(m_fixedRows, std::max(m_fixedRows, maxTop));
    vBar->setPageStep(std::max(1, LastVisibleRow() - m_topRow));
    vBar->setValue(m_topRow);
    view->syncing = false;
}

void DrawGrid::SetLeftCol(int col)
{
    const int clamped = std::clamp(col, m_fixedCols, std::max(m_fixedCols, MaxLeftCol(ClientWidth())));
    if (clamped == m_leftCol) return;
    m_leftCol = clamped;
    ClampTopLeft();
    View()->viewport()->update();
}

void DrawGrid::SetTopRow(int row)
{
    const int clamped = std::clamp(row, m_fixedRows, std::max(m_fixedRows, MaxTopRow(ClientHeight())));
    if (clamped == m_topRow) return;
    m_topRow = clamped;
    ClampTopLeft();
    View()->viewport()->update();
}

int DrawGrid::LastVisibleCol() const
{
    const int width = ClientWidth();
    int last = -1;
    int x = 0;
    for (int c = 0; c < m_fixedCols && x < width; ++c) {
        last = c;
        x += m_colWidths[static_cast<size_t>(c)];
    }
    for (int c = m_leftCol; c < ColCount() && x < width; ++c) {
        last = c;
        x += m_colWidths[static_cast<size_t>(c)];
    }
    return last;
}

int DrawGrid::LastVisibleRow() const
{
    const int height = ClientHeight();
    int last = -1;
    int y = 0;
    for (int r = 0; r < m_fixedRows && y < height; ++r) {
        last = r;
        y += m_rowHeights[static_cast<size_t>(r)];
    }
    for (int r = m_topRow; r < RowCount() && y < height; ++r) {
        last = r;
        y += m_rowHeights[static_cast<size_t>(r)];
    }
    return last;
}

void DrawGrid::SetScrollBars(ScrollStyle bars)
{
    if (bars == m_scrollBars) return;
    m_scrollBars = bars;
    Relayout();
    View()->viewport()->update();
}

void DrawGrid::ApplyGeometry(int left, int top, int width, int height)
{
    Control::ApplyGeometry(left, top, width, height);
    Relayout();
}

void DrawGrid::ScrollInView(int col, int row)
{
    if (col < m_leftCol) {
        SetLeftCol(col);
    } else {
        // The smallest scroll that shows the whole column (or puts it first
        // when it is wider than the room).
        const int room = ClientWidth() - FixedWidth();
        int first = col;
        int sum = m_colWidths[static_cast<size_t>(col)];
        while (first - 1 >= m_leftCol && sum + m_colWidths[static_cast<size_t>(first - 1)] <= room)
            sum += m_colWidths[static_cast<size_t>(--first)];
        if (first > m_leftCol) SetLeftCol(first);
    }
    if (row < m_topRow) {
        SetTopRow(row);
    } else {
        const int room = ClientHeight() - FixedHeight();
        int first = row;
        int sum = m_rowHeights[static_cast<size_t>(row)];
        while (first - 1 >= m_topRow && sum + m_rowHeights[static_cast<size_t>(first - 1)] <= room)
            sum += m_rowHeights[static_cast<size_t>(--first)];
        if (first > m_topRow) SetTopRow(first);
    }
}

// ---- current cell ----

bool DrawGrid::IsScrollingCell(int col, int row) const
{
    return col >= m_fixedCols && col < ColCount() && row >= m_fixedRows && row < RowCount();
}

void DrawGrid::SetCol(int col)
{
    if (col != m_col) MoveCurrent(col, m_row, true);
}

void DrawGrid::SetRow(int row)
{
    if (row != m_row) MoveCurrent(m_col, row, true);
}

bool DrawGrid::MoveCurrent(int col, int row, bool show)
{
    if (!IsScrollingCell(col, row)) return false;
    std::shared_ptr<bool> alive = m_alive;
    bool canSelect = true;
    if (OnSelectCell) {
        auto handler = OnSelectCell;
        handler(col, row, canSelect);
        if (!*alive) return false;
    }
    if (!canSelect || !IsScrollingCell(col, row)) return false;
    const int oldCol = m_col;
    const int oldRow = m_row;
    m_col = col;
    m_row = row;
    if (show) ScrollInView(col, row);
    if (oldCol != col || oldRow != row) {
        InvalidateCell(oldCol, oldRow);
        InvalidateCell(col, row);
    }
    return true;
}

// ---- geometry and painting ----

namespace {

// Where a column (row) lies in view: its start in client coordinates, or
// false when it is out of view.
bool StartInView(const std::vector<int>& sizes, int fixed, int first, int index, int room, int& start)
{
    if (index < 0 || index >= static_cast<int>(sizes.size())) return false;
    int x = 0;
    if (index < fixed) {
        x = SumOf(sizes, 0, index);
    } else {
        if (index < first) return false;
        x = SumOf(sizes, 0, fixed) + SumOf(sizes, first, index);
    }
    if (x >= room) return false;
    start = x;
    return true;
}

} // namespace

Rect DrawGrid::CellRect(int col, int row) const
{
    int x = 0;
    int y = 0;
    if (!StartInView(m_colWidths, m_fixedCols, m_leftCol, col, ClientWidth(), x)) return {};
    if (!StartInView(m_rowHeights, m_fixedRows, m_topRow, row, ClientHeight(), y)) return {};
    return {x, y, x + m_colWidths[static_cast<size_t>(col)], y + m_rowHeights[static_cast<size_t>(row)]};
}

void DrawGrid::MouseToCell(int x, int y, int& col, int& row) const
{
    auto find = [](const std::vector<int>& sizes, int fixed, int first, int pos, int room) {
        if (pos < 0 || pos >= room) return -1;
        int start = 0;
        for (int i = 0; i < fixed; ++i) {
            const int end = start + sizes[static_cast<size_t>(i)];
            if (pos < end) return i;
            start = end;
        }
        for (int i = first; i < static_cast<int>(sizes.size()) && start < room; ++i) {
            const int end = start + sizes[static_cast<size_t>(i)];
            if (pos < end) return i;
            start = end;
        }
        return -1;
    };
    col = find(m_colWidths, m_fixedCols, m_leftCol, x, ClientWidth());
    row = find(m_rowHeights, m_fixedRows, m_topRow, y, ClientHeight());
}

int DrawGrid::ColumnBorderAt(int x, int y) const
{
    if (y < 0 || y >= std::min(FixedHeight(), ClientHeight())) return -1;
    const int width = ClientWidth();
    int best = -1;
    int bestDistance = ColSizingMargin + 1;
    int right = 0;
    auto consider = [&](int c) {
        const int w = m_colWidths[static_cast<size_t>(c)];
        right += w;
        if (w <= 0) return;
        const int distance = std::abs(x - right);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = c;
        }
    };
    for (int c = 0; c < m_fixedCols && right < width; ++c) consider(c);
    for (int c = m_leftCol; c < ColCount() && right < width; ++c) consider(c);
    return best;
}

void DrawGrid::Note(int col, int row)
{
    if (m_logging) m_invalidationLog.push_back({col, row});
}

void DrawGrid::InvalidateCell(int col, int row)
{
    Note(col, row);
    const Rect r = CellRect(col, row);
    if (!r.IsEmpty()) View()->viewport()->update(ToQRect(r));
}

void DrawGrid::Invalidate()
{
    Note(-1, -1);
    View()->viewport()->update();
}

void DrawGrid::Repaint()
{
    Note(-1, -1);
    View()->viewport()->repaint();
}

void DrawGrid::SetInvalidationLog(bool on)
{
    m_logging = on;
    m_invalidationLog.clear();
}

void DrawGrid::Paint(const Rect& area, bool hasFocus)
{
    std::shared_ptr<bool> alive = m_alive;
    Canvas& canvas = *m_canvas;
    Font font = GetFont();
    font.pixelsPerInch = canvas.GetFont().pixelsPerInch;
    canvas.GetFont() = font;
    canvas.GetPen() = Pen{};
    canvas.GetBrush() = Brush{GetColor(), bsSolid};
    canvas.SetClipRect(std::nullopt);
    canvas.MoveTo(0, 0);

    const int width = ClientWidth();
    const int height = ClientHeight();
    struct Span {
        int index;
        int start;
        int size;
    };
    std::vector<Span> cols;
    std::vector<Span> rows;
    int x = 0;
    for (int c = 0; c < m_fixedCols && x < width; x += m_colWidths[static_cast<size_t>(c)], ++c)
        cols.push_back({c, x, m_colWidths[static_cast<size_t>(c)]});
    for (int c = m_leftCol; c < ColCount() && x < width; x += m_colWidths[static_cast<size_t>(c)], ++c)
        cols.push_back({c, x, m_colWidths[static_cast<size_t>(c)]});
    int y = 0;
    for (int r = 0; r < m_fixedRows && y < height; y += m_rowHeights[static_cast<size_t>(r)], ++r)
        rows.push_back({r, y, m_rowHeights[static_cast<size_t>(r)]});
    for (int r = m_topRow; r < RowCount() && y < height; y += m_rowHeights[static_cast<size_t>(r)], ++r)
        rows.push_back({r, y, m_rowHeights[static_cast<size_t>(r)]});

    // What lies beyond the cells.
    if (x < width) canvas.FillRect({x, 0, width, height});
    if (y < height) canvas.FillRect({0, y, std::min(x, width), height});

    for (const Span& row : rows) {
        if (row.size <= 0 || row.start + row.size <= area.top || row.start >= area.bottom) continue;
        for (const Span& col : cols) {
            if (col.size <= 0 || col.start + col.size <= area.left || col.start >= area.right) continue;
            const Rect rect{col.start, row.start, col.start + col.size, row.start + row.size};
            if (!OnDrawCell) {
                canvas.GetBrush() = Brush{GetColor(), bsSolid};
                canvas.FillRect(rect);
                continue;
            }
            GridDrawState state = 0;
            if (col.index < m_fixedCols || row.index < m_fixedRows) state |= gdFixed;
            if (col.index == m_col && row.index == m_row) {
                state |= gdSelected;
                if (hasFocus) state |= gdFocused;
            }
            OnDrawCell(col.index, row.index, rect, state);
            if (!*alive) return;
        }
    }
    if (OnPaintDone) {
        std::function<void()> handler = OnPaintDone;
        handler();
    }
}

// ---- mouse ----

void DrawGrid::MousePress(int button, ShiftState, int x, int y)
{
    GridWidget* view = View();
    if (view->isEnabled() && !view->hasFocus()) view->setFocus(Qt::MouseFocusReason);
    if (button != 0) return;
    if (m_colSizing) {
        const int col = ColumnBorderAt(x, y);
        if (col >= 0) {
            m_drag = std::make_unique<Drag>();
            m_drag->sizing = true;
            m_drag->column = col;
            m_drag->startX = x;
            m_drag->startWidth = ColWidths(col);
            m_drag->last = {x, y};
            return;
        }
    }
    int col = -1;
    int row = -1;
    MouseToCell(x, y, col, row);
    if (!IsScrollingCell(col, row)) return;
    m_drag = std::make_unique<Drag>();
    m_drag->last = {x, y};
    MoveCurrent(col, row, true);
}

void DrawGrid::MouseMove(ShiftState shift, int x, int y)
{
    QWidget* viewport = View()->viewport();
    if (m_drag && !shift.Has(ssLeft)) m_drag.reset(); // the release happened elsewhere
    if (m_drag && m_drag->sizing) {
        m_drag->last = {x, y};
        SetColWidths(m_drag->column, std::max(1, m_drag->startWidth + x - m_drag->startX));
        return;
    }
    if (m_drag) {
        m_drag->last = {x, y};
        if (DirectionsPast(m_drag->last) != 0) {
            if (!m_scrollTimer)
                m_scrollTimer = Timers().CreateTimer([this] { GuardHandler([this] { TimedScrollTick(); }); });
            if (!m_scrollTimer->IsActive()) m_scrollTimer->Start(TimedScrollPeriod);
            return;
        }
        if (m_scrollTimer) m_scrollTimer->Stop();
        int col = -1;
        int row = -1;
        MouseToCell(x, y, col, row);
        if (IsScrollingCell(col, row) && (col != m_col || row != m_row)) MoveCurrent(col, row, true);
        return;
    }
    if (m_colSizing && ColumnBorderAt(x, y) >= 0)
        viewport->setCursor(Qt::SizeHorCursor);
    else
        viewport->unsetCursor();
}

void DrawGrid::MouseRelease(int, int)
{
    m_drag.reset();
    if (m_scrollTimer) m_scrollTimer->Stop();
}

unsigned DrawGrid::DirectionsPast(Point p) const
{
    unsigned directions = 0;
    if (p.x < FixedWidth()) directions |= sdLeft;
    if (p.x >= ClientWidth()) directions |= sdRight;
    if (p.y < FixedHeight()) directions |= sdUp;
    if (p.y >= ClientHeight()) directions |= sdDown;
    return directions;
}

void DrawGrid::TimedScrollTick()
{
    const unsigned directions = m_drag && !m_drag->sizing ? DirectionsPast(m_drag->last) : 0;
    if (directions == 0) {
        if (m_scrollTimer) m_scrollTimer->Stop();
        return;
    }
    if (OnTimedScroll) {
        auto handler = OnTimedScroll;
        handler(directions);
        return;
    }
    const int dx = ((directions & sdRight) != 0 ? 1 : 0) - ((directions & sdLeft) != 0 ? 1 : 0);
    const int dy = ((directions & sdDown) != 0 ? 1 : 0) - ((directions & sdUp) != 0 ? 1 : 0);
    const int col = std::clamp(m_col + dx, m_fixedCols, ColCount() - 1);
    const int row = std::clamp(m_row + dy, m_fixedRows, RowCount() - 1);
    if (col != m_col || row != m_row) MoveCurrent(col, row, true);
}

// ---- pop-up menu ----

PopupMenu* DrawGrid::GetPopupMenu() const { return View()->popup.isNull() ? nullptr : m_popupMenu; }

void DrawGrid::SetPopupMenu(PopupMenu* menu)
{
    m_popupMenu = menu;
    View()->popup = menu != nullptr ? menu->Menu() : nullptr;
}

void DrawGrid::ShowPopupAt(Point screen)
{
    if (PopupMenu* menu = GetPopupMenu()) menu->Popup(screen.x, screen.y);
}

void DrawGrid::ShowPopupAtCurrentCell()
{
    const Rect r = CellRect(m_col, m_row);
    const Point corner = r == Rect{} ? Point{0, 0} : Point{r.left, r.bottom};
    ShowPopupAt(ClientToScreen(corner));
}

} // namespace plat
