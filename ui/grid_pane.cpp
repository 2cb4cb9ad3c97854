#include "ui/grid_pane.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

#include "core/session.h"
#include "core/worksheet.h"
#include "shell/frame.h"
#include "shell/window_state.h"
#include "ui/text_codec.h"

namespace tw {

namespace {

QColor rgb(uint32_t c) {
  return QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

int fontKey(const CellFont& f) {
  return (f.face << 16) | (f.size << 4) | (f.bold ? 1 : 0) | (f.italic ? 2 : 0) |
         (f.underline ? 4 : 0);
}

}  // namespace

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

QFont GridPane::cellFont(const CellFont& f) const {
  QFont q = font();
  const Worksheet& ws = window_.worksheet();
  if (!ws.settings.font.typeface.empty()) q.setFamily(toQt(ws.settings.font.typeface));
  const auto& names = ws.session().settings().fontNames;
  if (f.face != 255 && f.face < names.size()) q.setFamily(toQt(names[f.face]));
  if (f.size > 0) q.setPointSize(f.size);
  q.setBold(f.bold);
  q.setItalic(f.italic);
  q.setUnderline(f.underline);
  return q;
}

const QFont& GridPane::cachedFont(const CellFont& f) {
  int key = fontKey(f);
  auto it = fonts_.find(key);
  if (it == fonts_.end()) it = fonts_.emplace(key, cellFont(f)).first;
  return it->second;
}

int GridPane::textWidth(std::string_view text, const CellFont& f) {
  auto key = std::make_pair(fontKey(f), std::string(text));
  auto it = widthCache_.find(key);
  if (it != widthCache_.end()) return it->second;
  int w = QFontMetrics(cachedFont(f)).horizontalAdvance(toQt(text));
  if (widthCache_.size() > 20000) widthCache_.clear();
  widthCache_.emplace(std::move(key), w);
  return w;
}

GridPane::Layout GridPane::computeLayout() const {
  Layout l;
  const Worksheet& ws = window_.worksheet();
  const Pane& p = const_cast<WindowState&>(window_).pane(pane_);
  int right = width() - vscroll_->sizeHint().width();
  int bottom = height();
  const CellRange titleRows = ws.settings.titleRows.ordered();
  const CellRange titleCols = ws.settings.titleColumns.ordered();
  int y = headerHeight_;
  if (pane_ == 0 && titleRows.valid())
    for (int r = titleRows.row1; r <= titleRows.row2 && y < bottom; ++r) {
      l.rows.push_back(r);
      l.rowY.push_back(y);
      y += ws.rowPixels(r);
    }
  for (int r = p.topRow; r < kRows && y < bottom; ++r) {
    if (pane_ == 0 && titleRows.valid() && r <= titleRows.row2 && r >= titleRows.row1) continue;
    l.rows.push_back(r);
    l.rowY.push_back(y);
    y += ws.rowPixels(r);
  }
  l.rowY.push_back(y);
  int x = rowHeaderWidth_;
  if (pane_ == 0 && titleCols.valid())
    for (int c = titleCols.col1; c <= titleCols.col2 && x < right; ++c) {
      l.cols.push_back(c);
      l.colX.push_back(x);
      x += ws.columnPixels(c);
    }
  for (int c = p.leftCol; c < kColumns && x < right; ++c) {
    if (pane_ == 0 && titleCols.valid() && c <= titleCols.col2 && c >= titleCols.col1) continue;
    l.cols.push_back(c);
    l.colX.push_back(x);
    x += ws.columnPixels(c);
  }
  l.colX.push_back(x);
  return l;
}

void GridPane::updateVisibleCounts(const Layout& l) {
  Pane& p = window_.pane(pane_);
  int bottom = height(), right = width() - vscroll_->sizeHint().width();
  int rows = 0, cols = 0;
  for (size_t i = 0; i < l.rows.size(); ++i)
    if (l.rowY[i + 1] <= bottom) ++rows;
  for (size_t i = 0; i < l.cols.size(); ++i)
    if (l.colX[i + 1] <= right) ++cols;
  p.visibleRows = std::max(1, rows);
  p.visibleCols = std::max(1, cols);
  vscroll_->setPageStep(p.visibleRows);
}

void GridPane::refresh(bool cursorOnly) {
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
  Layout l = computeLayout();
  update(QRect(0, 0, width(), headerHeight_));
  for (int row : {paintedRow_, p.row}) {
    auto it = std::find(l.rows.begin(), l.rows.end(), row);
    if (it == l.rows.end()) continue;
    size_t i = it - l.rows.begin();
    update(QRect(0, l.rowY[i], width(), l.rowY[i + 1] - l.rowY[i]));
  }
}

void GridPane::resizeEvent(QResizeEvent*) {
  int w = vscroll_->sizeHint().width();
  vscroll_->setGeometry(width() - w, 0, w, height());
  updateVisibleCounts(computeLayout());
}

void GridPane::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Worksheet& ws = window_.worksheet();
  // Each window draws its own worksheet, whichever one is current.
  CurrentWorksheetScope scope(ws.session(), &ws);
  Layout l = computeLayout();
  updateVisibleCounts(l);
  const Pane& p = window_.pane(pane_);
  paintedTop_ = p.topRow;
  paintedLeft_ = p.leftCol;
  paintedRow_ = p.row;
  paintedAnchored_ = p.anchored;
  bool activePane = window_.activePane() == pane_ && frame_.active() == &window_;
  QColor face = palette().color(QPalette::Button);
  // Cells paint their own backgrounds; only the area past the last row and
  // column needs the worksheet's.
  QColor background = rgb(toRgb(ws.settings.colours[kBackgroundColour] & 0xFFFFFF));
  painter.fillRect(QRect(l.colX.back(), 0, width() - l.colX.back(), height()), background);
  painter.fillRect(QRect(0, l.rowY.back(), width(), height() - l.rowY.back()), background);
  painter.setFont(font());

  // Headers.
  painter.fillRect(QRect(0, 0, width(), headerHeight_), face);
  painter.fillRect(QRect(0, 0, rowHeaderWidth_, height()), face);
  painter.setPen(palette().color(QPalette::ButtonText));
  CellRange sel = p.selection();
  for (size_t i = 0; i < l.cols.size(); ++i) {
    QRect r(l.colX[i], 0, l.colX[i + 1] - l.colX[i], headerHeight_);
    if (sel.contains(sel.row1, l.cols[i]) && activePane) painter.fillRect(r, face.darker(115));
    drawCentred(painter, r, ColumnLetters(l.cols[i]));
    painter.drawLine(r.right(), 0, r.right(), headerHeight_);
  }
  for (size_t i = 0; i < l.rows.size(); ++i) {
    QRect r(0, l.rowY[i], rowHeaderWidth_, l.rowY[i + 1] - l.rowY[i]);
    if (sel.contains(l.rows[i], sel.col1) && activePane) painter.fillRect(r, face.darker(115));
    int shown = l.rows[i];
    if (ws.settings.sheetRows > 0 && ws.settings.sheetRows < kRows) shown %= ws.settings.sheetRows;
    drawCentred(painter, r, std::to_string(shown + 1));
    painter.drawLine(0, r.bottom(), rowHeaderWidth_, r.bottom());
  }

  // Cells, row by row: fills first, then texts, then grid lines and borders,
  // so that spilling text and borders lie over their neighbours.
  drawn_.clear();
  QVector<QLine> borderLines[2];
  QColor grid = rgb(toRgb(ws.session().settings().gridColour));
  int right = width() - vscroll_->sizeHint().width();
  const QRect cellArea(rowHeaderWidth_, headerHeight_, right - rowHeaderWidth_,
                       height() - headerHeight_);
  painter.setClipRect(cellArea);
  // Columns in contiguous spans, as the layout works on them.
  std::vector<std::pair<size_t, size_t>> spans;
  for (size_t i = 0; i < l.cols.size(); ++i) {
    if (i == 0 || l.cols[i] != l.cols[i - 1] + 1)
      spans.push_back({i, i});
    else
      spans.back().second = i;
  }
  // The worksheet's font may have changed since the last paint.
  if (ws.settings.font != paintedFont_) {
    fonts_.clear();
    staticTexts_.clear();
    widthCache_.clear();
    paintedFont_ = ws.settings.font;
  }
  QVector<QLine> gridLines;
  int lastFontKey = -1;
  uint32_t lastColour = 0xFFFFFFFF;
  int ascent = 0, descent = 0;
  for (size_t ri = 0; ri < l.rows.size(); ++ri) {
    int row = l.rows[ri];
    int y = l.rowY[ri], h = l.rowY[ri + 1] - y;
    for (auto [from, to] : spans) {
      DrawContext ctx;
      ctx.firstCol = l.cols[from];
      ctx.lastCol = l.cols[to];
      for (size_t i = from; i <= to + 1; ++i) ctx.columnX.push_back(l.colX[i]);
      ctx.currentCellShown = activePane || window_.activePane() == pane_;
      ctx.currentRow = p.row;
      ctx.currentCol = p.col;
      ctx.selection = p.anchored ? sel : CellRange{};
      ctx.titleRows = ws.settings.titleRows;
      ctx.titleColumns = ws.settings.titleColumns;
      std::vector<CellDraw> cells = layoutRow(ws, row, ctx, *this);
      // Neighbours of one colour are filled in one go.
      for (size_t i = 0; i < cells.size();) {
        size_t j = i + 1;
        while (j < cells.size() && cells[j].fill == cells[i].fill) ++j;
        int x0 = cells[i].x, x1 = cells[j - 1].x + cells[j - 1].width;
        painter.fillRect(QRect(x0, y, x1 - x0, h), rgb(cells[i].fill));
        i = j;
      }
      for (const CellDraw& d : cells) {
        if (d.text.empty()) continue;
        if (d.picture) {
          QImage image(QString::fromUtf8(d.text.c_str()));
          if (!image.isNull()) {
            if (d.stretch)
              painter.drawImage(QRect(d.x, y, d.width, h), image);
            else
              painter.drawImage(QPoint(d.x, y), image);
          }
          continue;
        }
        if (recording_) drawn_[{row, d.col}] = toQt(d.text);
        // Fonts change only when a cell's differs from the one before.
        int key = fontKey(d.font);
        if (key != lastFontKey) {
          painter.setFont(cachedFont(d.font));
          QFontMetrics fm(painter.font());
          ascent = fm.ascent();
          descent = fm.descent();
          lastFontKey = key;
        }
        if (d.textColour != lastColour) {
          painter.setPen(rgb(d.textColour));
          lastColour = d.textColour;
        }
        int w = textWidth(d.text, d.font);
        int x = d.x + kTextInset;
        if (d.align == TextAlign::Right)
          x = d.x + d.width - kTextInset - w;
        else if (d.align == TextAlign::Centre)
          x = d.x + (d.width - w) / 2;
        int top = y + (h - ascent - descent) / 2;
        bool fits = x >= d.x && x + w <= d.x + d.clipWidth;
        if (!fits) painter.setClipRect(QRect(d.x, y, d.clipWidth, h).intersected(cellArea));
        painter.drawStaticText(QPoint(x, top), staticText(key, d.text, painter.font()));
        if (!fits) painter.setClipRect(cellArea);
      }
      for (const CellDraw& d : cells) {
        gridLines.append(QLine(d.x + d.width - 1, y, d.x + d.width - 1, y + h - 1));
        gridLines.append(QLine(d.x, y + h - 1, d.x + d.width - 1, y + h - 1));
      }
      for (const CellDraw& d : cells) {
        if (!d.borders) continue;
        // Codes per side: left, bottom, right, top; 1 thin, 2 or 3 thick.
        auto side = [&](int shift, QLine line) {
          int code = (d.borders >> shift) & 3;
          if (!code) return;
          borderLines[code == 1 ? 0 : 1].append(line);
        };
        side(0, QLine(d.x, y, d.x, y + h - 1));
        side(2, QLine(d.x, y + h - 1, d.x + d.width - 1, y + h - 1));
        side(4, QLine(d.x + d.width - 1, y, d.x + d.width - 1, y + h - 1));
        side(6, QLine(d.x, y, d.x + d.width - 1, y));
      }
    }
  }
  // Grid lines and borders go over everything else.
  painter.setPen(grid);
  painter.drawLines(gridLines);
  painter.setPen(QPen(Qt::black, 1));
  painter.drawLines(borderLines[0]);
  painter.setPen(QPen(Qt::black, 2));
  painter.drawLines(borderLines[1]);
  painter.setClipping(false);
  // A frame around the current cell of the active pane.
  if (activePane) {
    auto rowAt = std::find(l.rows.begin(), l.rows.end(), p.row);
    auto colAt = std::find(l.cols.begin(), l.cols.end(), p.col);
    if (rowAt != l.rows.end() && colAt != l.cols.end()) {
      size_t ri = rowAt - l.rows.begin(), ci = colAt - l.cols.begin();
      painter.setPen(QPen(Qt::black, 2));
      painter.drawRect(QRect(l.colX[ci], l.rowY[ri], l.colX[ci + 1] - l.colX[ci] - 1,
                             l.rowY[ri + 1] - l.rowY[ri] - 1));
    }
  }
}

const QStaticText& GridPane::staticText(int fontKey, std::string_view text, const QFont& font) {
  std::string key(reinterpret_cast<const char*>(&fontKey), sizeof fontKey);
  key.append(text);
  auto it = staticTexts_.find(key);
  if (it == staticTexts_.end()) {
    if (staticTexts_.size() > 8000) staticTexts_.clear();
    QStaticText st(toQt(text));
    st.setTextFormat(Qt::PlainText);
    st.prepare(QTransform(), font);
    it = staticTexts_.emplace(std::move(key), std::move(st)).first;
  }
  return it->second;
}

void GridPane::drawCentred(QPainter& painter, const QRect& r, const std::string& text) {
  const QStaticText& st = staticText(-1, text, painter.font());
  QSizeF size = st.size();
  painter.drawStaticText(
      QPointF(r.x() + (r.width() - size.width()) / 2, r.y() + (r.height() - size.height()) / 2),
      st);
}

QString GridPane::drawnText(int row, int col) const {
  auto it = drawn_.find({row, col});
  return it == drawn_.end() ? QString() : it->second;
}

bool GridPane::cellAt(QPoint pt, int& row, int& col) const {
  Layout l = computeLayout();
  if (pt.x() < rowHeaderWidth_ || pt.y() < headerHeight_) return false;
  for (size_t i = 0; i < l.rows.size(); ++i)
    if (pt.y() >= l.rowY[i] && pt.y() < l.rowY[i + 1]) row = l.rows[i];
  for (size_t i = 0; i < l.cols.size(); ++i)
    if (pt.x() >= l.colX[i] && pt.x() < l.colX[i + 1]) col = l.cols[i];
  return pt.y() < l.rowY.back() && pt.x() < l.colX.back();
}

int GridPane::columnBoundaryAt(QPoint pt, const Layout& l) const {
  if (pt.y() >= headerHeight_) return -1;
  for (size_t i = 0; i < l.cols.size(); ++i)
    if (std::abs(pt.x() - l.colX[i + 1]) <= 3) return l.cols[i];
  return -1;
}

int GridPane::rowBoundaryAt(QPoint pt, const Layout& l) const {
  if (pt.x() >= rowHeaderWidth_) return -1;
  for (size_t i = 0; i < l.rows.size(); ++i)
    if (std::abs(pt.y() - l.rowY[i + 1]) <= 2) return l.rows[i];
  return -1;
}

void GridPane::mousePressEvent(QMouseEvent* e) {
  emit activated(pane_);
  Layout l = computeLayout();
  QPoint pt = e->position().toPoint();
  Worksheet& ws = window_.worksheet();
  if (int c = columnBoundaryAt(pt, l); c >= 0) {
    resizingCol_ = c;
    resizeStart_ = pt.x();
    resizeOrigin_ = ws.columnPixels(c);
    return;
  }
  if (int r = rowBoundaryAt(pt, l); r >= 0) {
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
    int w = std::clamp(resizeOrigin_ + pt.x() - resizeStart_, 8, 254);
    ws.columnWidth[resizingCol_] = static_cast<uint16_t>(w);
    ws.modified = true;
    update();
    return;
  }
  if (resizingRow_ >= 0) {
    int h = std::clamp(resizeOrigin_ + pt.y() - resizeStart_, 8, 254);
    ws.rowHeight[resizingRow_] = static_cast<uint16_t>(h);
    ws.modified = true;
    update();
    return;
  }
  Layout l = computeLayout();
  if (columnBoundaryAt(pt, l) >= 0)
    setCursor(Qt::SplitHCursor);
  else if (rowBoundaryAt(pt, l) >= 0)
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

void GridPane::mouseReleaseEvent(QMouseEvent*) {
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
