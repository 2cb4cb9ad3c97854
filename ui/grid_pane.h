// Grid1 and Grid2: a custom-drawn pane of a worksheet window with its
// column and row headers. It draws what the shell's row layout says and
// forwards mouse actions; keys go through the main window.
#pragma once

#include <QFont>
#include <QPainter>
#include <QScrollBar>
#include <QStaticText>
#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/worksheet_settings.h"
#include "shell/row_layout.h"

namespace tw {

class Frame;
class WindowState;

class GridPane : public QWidget, private TextMeasure {
  Q_OBJECT

 public:
  GridPane(Frame& frame, WindowState& window, int paneIndex, QWidget* parent = nullptr);

  int paneIndex() const { return pane_; }
  // The cell under a point of the widget, or false over the headers.
  bool cellAt(QPoint p, int& row, int& col) const;
  // Brings the scroll bar in line with the pane and repaints. When only the
  // cursor moved, only the rows it left and entered are drawn again.
  void refresh(bool cursorOnly = false);
  QFont cellFont(const CellFont& f) const;
  int headerHeight() const { return headerHeight_; }
  int rowHeaderWidth() const { return rowHeaderWidth_; }
  // What the last paint drew in a cell, for tests: the text of (row, col).
  // Kept only while recording is on.
  QString drawnText(int row, int col) const;
  void recordTexts(bool on) { recording_ = on; }

 signals:
  void activated(int paneIndex);
  void cursorMovedByMouse();

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void mouseDoubleClickEvent(QMouseEvent*) override;
  void wheelEvent(QWheelEvent*) override;
  void focusInEvent(QFocusEvent*) override;

 private:
  int textWidth(std::string_view text, const CellFont& font) override;
  struct Layout {
    std::vector<int> rows;  // visible rows, frozen titles first
    std::vector<int> cols;
    std::vector<int> rowY;  // top of each visible row; one more entry at the end
    std::vector<int> colX;
  };
  Layout computeLayout() const;
  void updateVisibleCounts(const Layout& l);
  int columnBoundaryAt(QPoint p, const Layout& l) const;
  int rowBoundaryAt(QPoint p, const Layout& l) const;

  Frame& frame_;
  WindowState& window_;
  int pane_;
  QScrollBar* vscroll_;
  int headerHeight_ = 20;
  int rowHeaderWidth_ = 48;
  bool dragging_ = false;
  int resizingCol_ = -1;
  int resizingRow_ = -1;
  int resizeStart_ = 0;
  int resizeOrigin_ = 0;
  const QFont& cachedFont(const CellFont& f);
  mutable std::map<std::pair<int, std::string>, int> widthCache_;
  std::map<int, QFont> fonts_;
  // Laid-out texts by font and text, so that repainting the same cells
  // does not shape their text again.
  std::unordered_map<std::string, QStaticText> staticTexts_;
  const QStaticText& staticText(int fontKey, std::string_view text, const QFont& font);
  void drawCentred(QPainter& painter, const QRect& r, const std::string& text);
  std::map<std::pair<int, int>, QString> drawn_;
  bool recording_ = false;
  // What the last paint showed, to repaint only what a cursor move changes.
  int paintedTop_ = -1, paintedLeft_ = -1, paintedRow_ = -1;
  bool paintedAnchored_ = false;
  WorksheetFont paintedFont_;
};

}  // namespace tw
