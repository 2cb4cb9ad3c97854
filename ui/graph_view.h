// The graph window (TGraphView): the graph drawn into an off-screen picture
// and copied to the screen; dragging zooms, Shift+click selects an element
// and opens the dialog page that edits it, a right click opens the pop-up
// menu (dialog pages, Save to Bitmap, Quick Print, Copy to Clipboard) and
// after a drag the zoom menu; a plain key closes it.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <memory>

#include "graphs/graph_window.h"

class QMenu;

namespace tw {

class TForm1;

class TGraphView : public QDialog {
 public:
  TGraphView(TForm1& main, Worksheet& ws, int graph);
  GraphWindowModel& model() { return model_; }
  // The definition changed elsewhere: drawn again from it.
  void refresh();
  // The pop-up menu as it would open now, for tests.
  std::unique_ptr<QMenu> popupMenu();
  std::unique_ptr<QMenu> zoomMenu();

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void openPage(int page);
  void saveBitmap();
  void quickPrint();
  void copyToClipboard();

  TForm1& main_;
  Worksheet& ws_;
  GraphWindowModel model_;
  QPixmap picture_;
  bool stale_ = true;
  QPoint pressed_;
  QRect drag_;
  bool dragging_ = false;
};

}  // namespace tw
