#include "ui/graph_view.h"

#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>

#include "core/worksheet.h"
#include "graphs/graph_commands.h"
#include "print/print_commands.h"
#include "shell/frame.h"
#include "ui/main_window.h"
#include "ui/qt_canvas.h"
#include "ui/text_codec.h"

namespace tw {

TGraphView::TGraphView(TForm1& main, Worksheet& ws, int graph)
    : QDialog(&main), main_(main), ws_(ws), model_(ws, graph) {
  setWindowTitle(toQt(model_.caption()));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(false);
  resize(640, 480);
}

void TGraphView::refresh() {
  model_.reload();
  setWindowTitle(toQt(model_.caption()));
  stale_ = true;
  update();
}

void TGraphView::resizeEvent(QResizeEvent*) {
  stale_ = true;
}

void TGraphView::paintEvent(QPaintEvent*) {
  if (stale_ || picture_.size() != size()) {
    picture_ = QPixmap(size());
    picture_.fill(Qt::white);
    QPainter p(&picture_);
    QtCanvasCache cache;
    QtCanvas canvas(p, cache);
    model_.paint(canvas, width(), height());
    stale_ = false;
  }
  QPainter p(this);
  p.drawPixmap(0, 0, picture_);
  if (dragging_) {
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    p.drawRect(drag_.normalized().adjusted(0, 0, -1, -1));
  }
}

void TGraphView::mousePressEvent(QMouseEvent* e) {
  pressed_ = e->pos();
  drag_ = QRect(pressed_, pressed_);
  dragging_ = false;
  if (e->button() == Qt::LeftButton && (e->modifiers() & Qt::ShiftModifier)) {
    int element = model_.select({e->pos().x(), e->pos().y()});
    if (element == 0) {
      QApplication::beep();
      return;
    }
    int tab = 0;
    openPage(GraphWindowModel::pageFor(element, tab));
  }
}

void TGraphView::mouseMoveEvent(QMouseEvent* e) {
  if (!(e->buttons() & (Qt::LeftButton | Qt::RightButton)) || (e->modifiers() & Qt::ShiftModifier))
    return;
  drag_ = QRect(pressed_, e->pos());
  dragging_ = (e->pos() - pressed_).manhattanLength() > 3;
  update();
}

void TGraphView::mouseReleaseEvent(QMouseEvent* e) {
  bool dragged = dragging_;
  dragging_ = false;
  QRect r = drag_.normalized();
  update();
  if (e->button() == Qt::RightButton) {
    std::unique_ptr<QMenu> menu = dragged ? zoomMenu() : popupMenu();
    menu->exec(e->globalPosition().toPoint());
    return;
  }
  if (e->button() == Qt::LeftButton && dragged) {
    if (model_.zoomTo({r.x(), r.y(), r.width(), r.height()})) refresh();
  }
}

void TGraphView::keyPressEvent(QKeyEvent* e) {
  KeyPress k;
  k.shift = e->modifiers() & Qt::ShiftModifier;
  k.ctrl = e->modifiers() & Qt::ControlModifier;
  k.alt = e->modifiers() & Qt::AltModifier;
  bool modifierOnly = e->key() == Qt::Key_Shift || e->key() == Qt::Key_Control ||
                      e->key() == Qt::Key_Alt || e->key() == Qt::Key_Meta;
  if (!modifierOnly && GraphWindowModel::keyCloses(k)) close();
}

std::unique_ptr<QMenu> TGraphView::popupMenu() {
  auto menu = std::make_unique<QMenu>();  // owned by the caller alone
  QAction* attributes = menu->addAction(toQt(model_.attributesCaption()));
  attributes->setEnabled(model_.selected() != 0);
  connect(attributes, &QAction::triggered, this, [this] {
    int tab = 0;
    openPage(GraphWindowModel::pageFor(model_.selected(), tab));
  });
  menu->addSeparator();
  const std::pair<const char*, int> pages[] = {
      {"&Graph Type", 0}, {"&Ranges", 1}, {"&Legends", 8}, {"&Options...", 2},
      {"&Headings", 5},   {"&Scales", 3}, {"&Fonts", 7}};
  for (const auto& [caption, page] : pages) {
    int p = page;
    connect(menu->addAction(caption), &QAction::triggered, this, [this, p] { openPage(p); });
  }
  menu->addSeparator();
  connect(menu->addAction("S&ave to Bitmap"), &QAction::triggered, this, [this] { saveBitmap(); });
  connect(menu->addAction("Quick &Print"), &QAction::triggered, this, [this] { quickPrint(); });
  connect(menu->addAction("&Copy to Clipboard"), &QAction::triggered, this,
          [this] { copyToClipboard(); });
  return menu;
}

std::unique_ptr<QMenu> TGraphView::zoomMenu() {
  auto menu = std::make_unique<QMenu>("ZOOM");
  auto add = [&](const char* caption, void (GraphWindowModel::*zoom)()) {
    connect(menu->addAction(caption), &QAction::triggered, this, [this, zoom] {
      (model_.*zoom)();
      stale_ = true;
      update();
    });
  };
  add("&Out", &GraphWindowModel::zoomOut);
  add("&In", &GraphWindowModel::zoomIn);
  add("&All", &GraphWindowModel::zoomAll);
  add("&Reset", &GraphWindowModel::reset);
  return menu;
}

void TGraphView::openPage(int page) {
  main_.frame().invoke("GRAPHSETTINGS", std::to_string(page));
  refresh();
}

void TGraphView::saveBitmap() {
  FileRequest r;
  r.title = "Save to Bitmap";
  r.name = "Noname.bmp";
  r.filters = {"Bitmap (*.BMP)"};
  std::optional<std::string> name = main_.host().saveFileName(r);
  if (!name || name->empty()) return;
  std::string path = *name;
  std::string base = path.substr(path.find_last_of('/') + 1);
  if (base.find('.') == std::string::npos) path += ".BMP";
  main_.showDescription("Saving " + path);
  main_.frame().execute(
      "GRAPHPICTURE",
      {Arg::ofText(path), model_.graph() > 0 ? Arg::ofText(model_.definition().name) : Arg{},
       Arg::ofNumber(width()), Arg::ofNumber(height())});
  main_.showDescription({});
}

void TGraphView::quickPrint() {
  CommandContext cx = main_.frame().context();
  if (!cx.ws) return;
  PrintGraph(cx, model_.graph(), GraphMargins::QuickPrint);
}

void TGraphView::copyToClipboard() {
  CommandContext cx = main_.frame().context();
  if (!cx.ws) return;
  CopyGraphToClipboard(cx, model_.graph(), width(), height());
}

}  // namespace tw
