// Grid1 and Grid2: a custom-drawn pane of a worksheet window with its
// column and row headers. It draws through the cell painter on a Qt canvas,
// takes where everything lies from the shell's pane layout, and forwards
// mouse actions; keys go through the main window.
#pragma once

#include <QAction>
#include <QScrollBar>
#include <QString>
#include <QWidget>
#include <vector>

#include "core/cell_painter.h"
#include "core/worksheet_settings.h"
#include "shell/pane_layout.h"
#include "ui/qt_canvas.h"

namespace tw {

class Frame;
class WindowState;

class GridPane : public QWidget {
  Q_OBJECT

 public:
  GridPane(Frame& frame, WindowState& window, int paneIndex, QWidget* parent = nullptr);

  int paneIndex() const { return pane_; }
  // The cell under a point of the widget, or false over the headers.
  bool cellAt(QPoint p, int& row, int& col) const;
  // Brings the scroll bar in line with the pane and repaints. When only the
  // cursor moved, only the rows it left and entered are drawn again.
  void refresh(bool cursorOnly = false);
  // Repaints the cells of the range that the pane shows.
  void refreshCells(const CellRange& range);
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
  PaneBox box() const;
  GridGeometry geometry() const;
  Font windowFont() const;
  // The checked "User Button" speed button of the main window, or null.
  QAction* armedButtonAction() const;

  Frame& frame_;
  WindowState& window_;
  int pane_;
  QScrollBar* vscroll_;
  int headerHeight_ = 20;
  int rowHeaderWidth_ = 48;
  bool dragging_ = false;
  bool creatingButton_ = false;  // the drag that makes a user button
  QPoint buttonFrom_;
  int resizingCol_ = -1;
  int resizingRow_ = -1;
  int resizeStart_ = 0;
  int resizeOrigin_ = 0;
  QtCanvasCache cache_;
  std::vector<DrawnText> drawn_;
  bool recording_ = false;
  // What the last paint showed, to repaint only what a cursor move changes.
  int paintedTop_ = -1, paintedLeft_ = -1, paintedRow_ = -1;
  bool paintedAnchored_ = false;
  WorksheetFont paintedFont_;
};

}  // namespace tw
