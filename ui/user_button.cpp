#include "ui/user_button.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>
#include <vector>

#include "core/session.h"
#include "shell/frame.h"
#include "shell/user_buttons.h"
#include "shell/window_state.h"
#include "ui/grid_pane.h"
#include "ui/text_codec.h"

namespace tw {

namespace {

Qt::CursorShape cursorFor(int edges) {
  switch (edges) {
    case kButtonLeft:
    case kButtonRight:
      return Qt::SizeHorCursor;
    case kButtonTop:
    case kButtonBottom:
      return Qt::SizeVerCursor;
    case kButtonLeft | kButtonTop:
    case kButtonRight | kButtonBottom:
      return Qt::SizeFDiagCursor;
    case kButtonRight | kButtonTop:
    case kButtonLeft | kButtonBottom:
      return Qt::SizeBDiagCursor;
    default:
      return Qt::ArrowCursor;
  }
}

// The buttons change after the event that changed them has been handled:
// a click may delete the very widget it came to.
void syncLater(QWidget* grid, Frame& frame, WindowState& window) {
  QPointer<QWidget> g(grid);
  QTimer::singleShot(0, grid, [g, &frame, &window] {
    if (!g) return;
    // The macro may have closed the window.
    for (const auto& w : frame.windows())
      if (w.get() == &window) syncUserButtons(g, frame, window, userButtonOrigin(g));
  });
}

}  // namespace

QPoint userButtonOrigin(QWidget* grid) {
  if (auto* pane = qobject_cast<GridPane*>(grid))
    return {pane->rowHeaderWidth(), pane->headerHeight()};
  return {};
}

TMbtn::TMbtn(Frame& frame, WindowState& window, size_t index, QWidget* grid)
    : QPushButton(grid), frame_(frame), window_(window), index_(index) {
  setFocusPolicy(Qt::NoFocus);
  setMouseTracking(true);
  setObjectName("TMbtn");
}

void TMbtn::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::RightButton) {
    editUserButton(frame_.session().host(), window_, index_);
    syncLater(parentWidget(), frame_, window_);
    return;
  }
  if (e->button() != Qt::LeftButton) return;
  pressed_ = true;
  moved_ = false;
  pressAt_ = mapToParent(e->position().toPoint());
  startBounds_ = geometry();
  edges_ =
      buttonHitTest(width(), height(), e->position().toPoint().x(), e->position().toPoint().y());
  setDown(true);
}

void TMbtn::mouseMoveEvent(QMouseEvent* e) {
  QPoint local = e->position().toPoint();
  if (!pressed_) {
    setCursor(cursorFor(buttonHitTest(width(), height(), local.x(), local.y())));
    return;
  }
  QPoint d = mapToParent(local) - pressAt_;
  if (!moved_ && d.manhattanLength() < 2) return;
  moved_ = true;
  ButtonRect s{startBounds_.x(), startBounds_.y(), startBounds_.width(), startBounds_.height()};
  ButtonRect r = dragBounds(s, edges_, d.x(), d.y());
  setGeometry(r.left, r.top, r.width, r.height);
}

void TMbtn::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !pressed_) return;
  pressed_ = false;
  setDown(false);
  QWidget* grid = parentWidget();
  if (moved_) {
    QPoint o = userButtonOrigin(grid);
    QRect g = geometry();
    applyButtonBounds(
        window_, index_,
        storedBounds({g.x() - o.x(), g.y() - o.y(), g.width(), g.height()}, window_.zoom),
        frame_.session().host());
  } else if (rect().contains(e->position().toPoint())) {
    if (grid) grid->setFocus();
    runUserButton(frame_, window_, index_);
  }
  syncLater(grid, frame_, window_);
}

void syncUserButtons(QWidget* grid, Frame& frame, WindowState& window, QPoint origin) {
  std::vector<TMbtn*> widgets(window.userButtons.size(), nullptr);
  for (TMbtn* b : grid->findChildren<TMbtn*>(Qt::FindDirectChildrenOnly)) {
    if (b->index() < widgets.size() && !widgets[b->index()]) {
      widgets[b->index()] = b;
    } else {
      b->hide();
      b->setParent(nullptr);
      b->deleteLater();
    }
  }
  for (size_t i = 0; i < widgets.size(); ++i) {
    TMbtn* w = widgets[i];
    if (!w) w = new TMbtn(frame, window, i, grid);
    const PlacedButton& b = window.userButtons[i];
    w->setText(toQt(b.data.caption));
    ButtonRect r = shownBounds(b.bounds(), window.zoom);
    w->setGeometry(origin.x() + r.left, origin.y() + r.top, r.width, r.height);
    w->show();
  }
}

bool userButtonForm(QWidget* parent, UserButtonModel& model) {
  QDialog d(parent);
  d.setObjectName("TBtndlg");
  d.setWindowTitle(toQt(model.caption()));
  auto* layout = new QVBoxLayout(&d);
  layout->addWidget(new QLabel("Caption", &d));
  auto* edit = new QLineEdit(toQt(model.buttonCaption), &d);
  edit->setObjectName("Edit1");
  edit->setMaxLength(int(kButtonCaptionLength));
  layout->addWidget(edit);
  layout->addWidget(new QLabel("Macro", &d));
  auto* memo = new QPlainTextEdit(toQt(model.macro), &d);
  memo->setObjectName("Memo1");
  layout->addWidget(memo);
  auto* row = new QHBoxLayout;
  auto* ok = new QPushButton("&Ok", &d);
  auto* del = new QPushButton("&Delete", &d);
  auto* cancel = new QPushButton("&Cancel", &d);
  ok->setDefault(true);
  row->addWidget(ok);
  row->addWidget(del);
  row->addWidget(cancel);
  layout->addLayout(row);
  QObject::connect(ok, &QPushButton::clicked, &d, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, &d, &QDialog::reject);
  QObject::connect(del, &QPushButton::clicked, &d, [&] {
    model.remove = true;
    d.accept();
  });
  if (d.exec() != QDialog::Accepted) return false;
  model.setField("caption", fromQt(edit->text()));
  model.setField("macro", fromQt(memo->toPlainText()));
  return true;
}

}  // namespace tw
