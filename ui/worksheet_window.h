// TForm2: the window of one worksheet, with its two grid panes, the sheet
// tab bar, the split box and the horizontal scroll control.
#pragma once

#include <QScrollBar>
#include <QSplitter>
#include <QTabBar>
#include <QWidget>

namespace tw {

class Frame;
struct CellRange;
class GridPane;
class WindowState;
class TForm1;

class TForm2 : public QWidget {
  Q_OBJECT

 public:
  TForm2(TForm1& main, Frame& frame, WindowState& window, QWidget* parent = nullptr);

  WindowState& state() { return window_; }
  GridPane* Grid1;
  GridPane* Grid2;
  QTabBar* tabbar1;
  QWidget* PaintBox1;  // the split box
  QScrollBar* wscroll1;

  // Redraws both panes and follows the cursor with the scroll controls;
  // cursorOnly redraws just what a cursor move changes.
  void refresh(bool cursorOnly = false);
  // Redraws the cells of the range in both panes.
  void refreshCells(const CellRange& range);
  // Shows the split and the sheet tabs as the window's state has them.
  void showLayout();
  void updateTabs();
  // The frame has decided that the window closes.
  bool closingFromFrame = false;

 protected:
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  TForm1& main_;
  Frame& frame_;
  WindowState& window_;
  QSplitter* splitter_;
  bool draggingSplit_ = false;
};

}  // namespace tw
