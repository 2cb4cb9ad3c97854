#include "ui/grid_pane.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

#include "commands/sheet_commands.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "shell/frame.h"
#include "shell/user_buttons.h"
#include "shell/window_state.h"
#include "ui/text_codec.h"
#include "ui/user_button.h"

namespace tw {

GridPane::GridPane(Frame& frame, WindowState& window, int paneIndex, QWidget* parent)
    : QWidget(parent), frame_(frame), window_(window), pane_(paneIndex) {
  setObjectName(paneIndex == 0 ? "Grid1" : "Grid2");
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  vscroll_ = new QScrollBar(Qt::Vertical, this);
  vscroll_->setRange(0, kRows - 1);
  vscroll_->setPageStep(20);
  connect(vscroll_, &QScrollBar::valueChanged, this, [this](int v) {
    Pane& p = window_.pane(pane_);
    if (p.topRow == v) return;
    p.topRow = v;
    update();
  });
  QFontMetrics fm(font());
  headerHeight_ = fm.height() + 6;
  rowHeaderWidth_ = fm.horizontalAdvance("88888") + 10;
}

PaneBox GridPane::box() const {
  return {width() - vscroll_->sizeHint().width(), height(), headerHeight_, rowHeaderWidth_};
}

GridGeometry GridPane::geometry() const {
  return paneGeometry(window_.worksheet(), const_cast<WindowState&>(window_).pane(pane_), pane_,
                      box(), window_.zoom);
}

Font GridPane::windowFont() const {
  // Empty fields take the widget's own font, which the canvas cache holds;
  // a zoomed window needs its size to scale.
  Font f;
  if (window_.zoom != 100) f.size = font().pointSizeF();
  return f;
}

void GridPane::refresh(bool cursorOnly) {
  if (pane_ == 0) syncUserButtons(this, frame_, window_, {rowHeaderWidth_, headerHeight_});
  Pane& p = window_.pane(pane_);
  if (vscroll_->value() != p.topRow) {
    QSignalBlocker block(vscroll_);
    vscroll_->setValue(p.topRow);
  }
  bool sameView = p.topRow == paintedTop_ && p.leftCol == paintedLeft_ && !p.anchored &&
                  !paintedAnchored_ && paintedRow_ >= 0;
  if (!cursorOnly || !sameView) {
    update();
    return;
  }
  // The headers mark the cursor's row and column; the two rows hold the cell.
  GridGeometry g = geometry();
  update(QRect(0, 0, width(), headerHeight_));
  for (int row : {paintedRow_, p.row}) {
    int i = g.rowIndex(row);
    if (i < 0) continue;
    update(QRect(0, g.rowY[i] - 1, width(), g.rowY[i + 1] - g.rowY[i] + 2));
  }
}

void GridPane::refreshCells(const CellRange& range) {
  CellRange r = range.ordered();
  if (!r.valid()) return;
  GridGeometry g = geometry();
  // A changed label can spill into the cells on its right, and a cell
  // emptied lets its left neighbour spill further: its rows are drawn whole.
  int top = -1, bottom = -1;
  for (size_t i = 0; i < g.rows.size(); ++i) {
    if (g.rows[i] < r.row1 || g.rows[i] > r.row2) continue;
    if (top < 0 || g.rowY[i] < top) top = g.rowY[i];
    bottom = std::max(bottom, g.rowY[i + 1]);
  }
  if (top >= 0) update(QRect(0, top, width(), bottom - top));
}

void GridPane::resizeEvent(QResizeEvent*) {
  int w = vscroll_->sizeHint().width();
  vscroll_->setGeometry(width() - w, 0, w, height());
  updateVisibleCounts(window_.pane(pane_), geometry(), box());
  vscroll_->setPageStep(window_.pane(pane_).visibleRows);
}

void GridPane::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Worksheet& ws = window_.worksheet();
  // Each window draws its own worksheet, whichever one is current.
  CurrentWorksheetScope scope(ws.session(), &ws);
  GridGeometry g = geometry();
  Pane& p = window_.pane(pane_);
  updateVisibleCounts(p, g, box());
  vscroll_->setPageStep(p.visibleRows);
  paintedTop_ = p.topRow;
  paintedLeft_ = p.leftCol;
  paintedRow_ = p.row;
  paintedAnchored_ = p.anchored;
  bool activePane = window_.activePane() == pane_ && frame_.active() == &window_;
  // The worksheet's font may have changed since the last paint.
  if (ws.settings.font != paintedFont_) {
    cache_.clear();
    paintedFont_ = ws.settings.font;
  }
  cache_.setBase(font());

  GridStyle style;
  style.width = width();
  style.height = height();
  style.headerHeight = headerHeight_;
  style.rowHeaderWidth = rowHeaderWidth_;
  QColor face = palette().color(QPalette::Button);
  QColor faceText = palette().color(QPalette::ButtonText);
  auto rgbOf = [](const QColor& c) { return uint32_t(c.red() << 16 | c.green() << 8 | c.blue()); };
  style.headerFill = rgbOf(face);
  style.headerSelectedFill = rgbOf(face.darker(115));
  style.headerText = rgbOf(faceText);
  style.headerLine = rgbOf(face.darker(140));
  if (activePane) style.marked = p.selection();
  style.gridColour = toRgb(ws.session().settings().gridColour);
  style.background = toRgb(ws.settings.colours[kBackgroundColour] & 0xFFFFFF);
  style.cursorFrame = activePane;
  style.windowFont = windowFont();
  style.zoom = window_.zoom;

  DrawContext ctx;
  ctx.currentCellShown = activePane || window_.activePane() == pane_;
  ctx.currentRow = p.row;
  ctx.currentCol = p.col;
  ctx.selection = p.anchored ? p.selection() : CellRange{};
  ctx.titleRows = ws.settings.titleRows;
  ctx.titleColumns = ws.settings.titleColumns;

  // The scroll bar is a child widget; the cells stop short of it.
  style.width = box().width;
  QtCanvas canvas(painter, cache_);
  drawn_.clear();
  paintGrid(canvas, ws, g, ctx, style, recording_ ? &drawn_ : nullptr);
  // The strip under the scroll bar's edge keeps the worksheet's background.
  painter.fillRect(QRect(style.width, 0, width() - style.width, height()),
                   qtColour(style.background));
}

QString GridPane::drawnText(int row, int col) const {
  for (const DrawnText& d : drawn_)
    if (d.row == row && d.col == col) return toQt(d.text);
  return {};
}

bool GridPane::cellAt(QPoint pt, int& row, int& col) const {
  return cellAtPoint(geometry(), box(), {pt.x(), pt.y()}, row, col);
}

QAction* GridPane::armedButtonAction() const {
  QAction* arm = window() ? window()->findChild<QAction*>("spbtok") : nullptr;
  return arm && arm->isChecked() ? arm : nullptr;
}

void GridPane::mousePressEvent(QMouseEvent* e) {
  emit activated(pane_);
  if (pane_ == 0 && e->button() == Qt::LeftButton && armedButtonAction()) {
    creatingButton_ = true;
    buttonFrom_ = e->position().toPoint();
    return;
  }
  GridGeometry g = geometry();
  QPoint pt = e->position().toPoint();
  Worksheet& ws = window_.worksheet();
  if (int c = columnEdgeAt(g, box(), {pt.x(), pt.y()}); c >= 0) {
    resizingCol_ = c;
    resizeStart_ = pt.x();
    resizeOrigin_ = ws.columnPixels(c);
    return;
  }
  if (int r = rowEdgeAt(g, box(), {pt.x(), pt.y()}); r >= 0) {
    resizingRow_ = r;
    resizeStart_ = pt.y();
    resizeOrigin_ = ws.rowPixels(r);
    return;
  }
  int row = window_.pane(pane_).row, col = window_.pane(pane_).col;
  if (!cellAt(pt, row, col)) return;
  if (frame_.entryActive() && !frame_.pointing()) frame_.CommitEntry();
  window_.moveTo(row, col, (e->modifiers() & Qt::ShiftModifier) != 0);
  dragging_ = true;
  emit cursorMovedByMouse();
}

void GridPane::mouseMoveEvent(QMouseEvent* e) {
  QPoint pt = e->position().toPoint();
  Worksheet& ws = window_.worksheet();
  if (resizingCol_ >= 0) {
    SetColumnPixels(ws, resizingCol_, resizeOrigin_ + (pt.x() - resizeStart_) * 100 / window_.zoom);
    update();
    return;
  }
  if (resizingRow_ >= 0) {
    SetRowHeight(ws, resizingRow_, resizingRow_,
                 resizeOrigin_ + (pt.y() - resizeStart_) * 100 / window_.zoom);
    update();
    return;
  }
  GridGeometry g = geometry();
  if (columnEdgeAt(g, box(), {pt.x(), pt.y()}) >= 0)
    setCursor(Qt::SplitHCursor);
  else if (rowEdgeAt(g, box(), {pt.x(), pt.y()}) >= 0)
    setCursor(Qt::SplitVCursor);
  else
    unsetCursor();
  if (!dragging_) return;
  int row = window_.pane(pane_).row, col = window_.pane(pane_).col;
  if (!cellAt(pt, row, col)) return;
  if (row == window_.pane(pane_).row && col == window_.pane(pane_).col) return;
  window_.moveTo(row, col, true);
  emit cursorMovedByMouse();
}

void GridPane::mouseReleaseEvent(QMouseEvent* e) {
  if (creatingButton_) {
    creatingButton_ = false;
    QPoint o(rowHeaderWidth_, headerHeight_);
    QPoint from = buttonFrom_ - o, to = e->position().toPoint() - o;
    createUserButton(window_, storedPoint({from.x(), from.y()}, window_.zoom),
                     storedPoint({to.x(), to.y()}, window_.zoom), frame_.session().quickGraphName);
    if (QAction* arm = armedButtonAction()) arm->setChecked(false);
    syncUserButtons(this, frame_, window_, o);
  }
  dragging_ = false;
  resizingCol_ = resizingRow_ = -1;
}

void GridPane::mouseDoubleClickEvent(QMouseEvent* e) {
  int row, col;
  if (!cellAt(e->position().toPoint(), row, col)) return;
  if (!frame_.entryActive() && !frame_.promptOpen()) frame_.editCurrentCell();
}

void GridPane::wheelEvent(QWheelEvent* e) {
  Pane& p = window_.pane(pane_);
  int steps = e->angleDelta().y() / 40;
  p.topRow = std::clamp(p.topRow - steps, 0, kRows - 1);
  refresh();
}

void GridPane::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  emit activated(pane_);
}

}  // namespace tw
