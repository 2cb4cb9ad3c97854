#include "ui/worksheet_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "core/cell_address.h"
#include "core/worksheet.h"
#include "shell/frame.h"
#include "shell/window_state.h"
#include "ui/grid_pane.h"
#include "ui/main_window.h"
#include "ui/text_codec.h"

namespace tw {

namespace {

// The small grip that splits the window when dragged or double-clicked.
class SplitBox : public QWidget {
 public:
  explicit SplitBox(QWidget* parent) : QWidget(parent) {
    setObjectName("PaintBox1");
    setToolTip("Split Window");
    setFixedSize(10, 18);
    setCursor(Qt::SplitVCursor);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button).darker(110));
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.drawLine(2, height() / 2, width() - 3, height() / 2);
  }
};

}  // namespace

TForm2::TForm2(TForm1& main, Frame& frame, WindowState& window, QWidget* parent)
    : QWidget(parent), main_(main), frame_(frame), window_(window) {
  setObjectName("TForm2");
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  splitter_ = new QSplitter(Qt::Vertical, this);
  Grid1 = new GridPane(frame, window, 0, splitter_);
  Grid2 = new GridPane(frame, window, 1, splitter_);
  splitter_->addWidget(Grid1);
  splitter_->addWidget(Grid2);
  splitter_->setChildrenCollapsible(false);
  Grid2->hide();
  layout->addWidget(splitter_, 1);

  auto* bottom = new QWidget(this);
  auto* row = new QHBoxLayout(bottom);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  tabbar1 = new QTabBar(bottom);
  tabbar1->setObjectName("tabbar1");
  tabbar1->setShape(QTabBar::TriangularSouth);
  tabbar1->setDrawBase(false);
  tabbar1->setExpanding(false);
  PaintBox1 = new SplitBox(bottom);
  PaintBox1->installEventFilter(this);
  wscroll1 = new QScrollBar(Qt::Horizontal, bottom);
  wscroll1->setObjectName("wscroll1");
  wscroll1->setRange(0, kColumns - 1);
  wscroll1->setPageStep(10);
  wscroll1->setSingleStep(1);
  row->addWidget(tabbar1, 0);
  row->addWidget(PaintBox1, 0);
  row->addWidget(wscroll1, 1);
  layout->addWidget(bottom, 0);

  for (GridPane* g : {Grid1, Grid2}) {
    connect(g, &GridPane::activated, this, [this](int pane) {
      if (window_.activePane() != pane && window_.split()) window_.otherPane();
      main_.windowActivated(this);
    });
    connect(g, &GridPane::cursorMovedByMouse, this, [this] {
      frame_.cursorMovedByMouse(window_);
      refresh();
    });
  }
  connect(wscroll1, &QScrollBar::valueChanged, this, [this](int v) {
    Pane& p = window_.pane();
    if (p.leftCol == v) return;
    p.leftCol = v;
    if (window_.split() && window_.syncHorizontal)
      window_.pane(1 - window_.activePane()).leftCol = v;
    refresh();
  });
  connect(tabbar1, &QTabBar::currentChanged, this, [this](int k) {
    if (k < 0 || k == window_.currentSheet()) return;
    window_.chooseSheet(k);
    frame_.cursorMovedByMouse(window_);
    refresh();
  });
  updateTabs();
}

void TForm2::updateTabs() {
  int count = window_.sheetCount();
  QSignalBlocker block(tabbar1);
  while (tabbar1->count() > count) tabbar1->removeTab(tabbar1->count() - 1);
  const auto& names = window_.worksheet().settings.tabNames;
  for (int k = 0; k < count; ++k) {
    QString label = k < static_cast<int>(names.size()) && !names[k].empty()
                        ? toQt(names[k])
                        : toQt(ColumnLetters(k));
    if (k < tabbar1->count())
      tabbar1->setTabText(k, label);
    else
      tabbar1->addTab(label);
  }
  tabbar1->setVisible(count > 1);
  tabbar1->setCurrentIndex(window_.currentSheet());
}

void TForm2::refresh(bool cursorOnly) {
  Pane& p = window_.pane();
  {
    QSignalBlocker block(wscroll1);
    wscroll1->setValue(p.leftCol);
  }
  if (tabbar1->isVisible() && tabbar1->currentIndex() != window_.currentSheet()) {
    QSignalBlocker block(tabbar1);
    tabbar1->setCurrentIndex(window_.currentSheet());
  }
  Grid1->refresh(cursorOnly);
  if (Grid2->isVisible()) Grid2->refresh(cursorOnly);
}

void TForm2::showLayout() {
  bool on = window_.split();
  if (on != Grid2->isVisible()) {
    Grid2->setVisible(on);
    if (on) {
      int h = splitter_->height();
      splitter_->setSizes({h / 2, h - h / 2});
    }
  }
  updateTabs();
  refresh();
}

void TForm2::refreshCells(const CellRange& range) {
  if (!range.valid()) {
    refresh();
    return;
  }
  Grid1->refreshCells(range);
  if (Grid2->isVisible()) Grid2->refreshCells(range);
}

bool TForm2::eventFilter(QObject* watched, QEvent* e) {
  if (watched == PaintBox1) {
    if (e->type() == QEvent::MouseButtonDblClick) {
      frame_.toggleSplit(window_);
      return true;
    }
    if (e->type() == QEvent::MouseButtonPress) {
      draggingSplit_ = true;
      return true;
    }
    if (e->type() == QEvent::MouseButtonRelease && draggingSplit_) {
      draggingSplit_ = false;
      auto* me = static_cast<QMouseEvent*>(e);
      QPoint at = mapFromGlobal(me->globalPosition().toPoint());
      int top = splitter_->geometry().top(), bottom = splitter_->geometry().bottom();
      if (at.y() > top + 40 && at.y() < bottom - 40) {
        if (!window_.split()) frame_.toggleSplit(window_);
        splitter_->setSizes({at.y() - top, bottom - at.y()});
      } else if (window_.split() && at.y() >= bottom - 40) {
        frame_.toggleSplit(window_);
      }
      return true;
    }
  }
  return QWidget::eventFilter(watched, e);
}

void TForm2::closeEvent(QCloseEvent* e) {
  if (closingFromFrame) {
    e->accept();
    return;
  }
  // The frame decides (it asks about saving) and closes the window itself.
  e->ignore();
  frame_.closeWindow(window_, CloseMode::Ask);
}

}  // namespace tw
