// A user button (TMbtn) on a worksheet window's first pane: shows the
// caption of the window's button at its index, runs the macro on a click,
// opens the "User Button" dialog on the right button, and moves or resizes
// with the mouse (3 pixels at an edge resize). The rules are the shell's
// (shell/user_buttons); this widget only shows them.
#pragma once

#include <QPoint>
#include <QPushButton>
#include <QRect>
#include <cstddef>

namespace tw {

class Frame;
class WindowState;
class UserButtonModel;

class TMbtn : public QPushButton {
  Q_OBJECT

 public:
  TMbtn(Frame& frame, WindowState& window, size_t index, QWidget* grid);
  size_t index() const { return index_; }

 protected:
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;

 private:
  Frame& frame_;
  WindowState& window_;
  size_t index_;
  QPoint pressAt_;  // in the grid's coordinates
  QRect startBounds_;
  int edges_ = 0;
  bool pressed_ = false;
  bool moved_ = false;
};

// Makes the grid's button widgets match the window's buttons: one per
// button, at its place from the cells' corner (origin), with its caption.
void syncUserButtons(QWidget* grid, Frame& frame, WindowState& window, QPoint origin);
// Where a grid's cells begin, for the buttons on it.
QPoint userButtonOrigin(QWidget* grid);

// The "User Button" dialog (TBtndlg) over its model.
bool userButtonForm(QWidget* parent, UserButtonModel& model);

}  // namespace tw
