#include "ui/macro_bar.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRubberBand>
#include <QStyle>
#include <QThread>
#include <QToolTip>

#include "ui/text_codec.h"

namespace tw {

namespace {

QImage imageOf(const Bitmap& b) {
  if (b.width <= 0 || b.height <= 0) return {};
  QImage image(b.width, b.height, QImage::Format_ARGB32);
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x)
      image.setPixel(x, y, b.pixels[size_t(y) * size_t(b.width) + size_t(x)]);
  return image;
}

QColor faceColour() {
  return QColor::fromRgba(kButtonFace);
}

// A three-dimensional frame: raised (white and light grey above and left,
// black and dark grey below and right) or sunken (the other way round).
void drawFrame(QPainter& p, const QRect& r, bool sunken) {
  QColor outerLight = sunken ? Qt::black : Qt::white;
  QColor innerLight = sunken ? Qt::darkGray : Qt::lightGray;
  QColor outerDark = sunken ? Qt::white : Qt::black;
  QColor innerDark = sunken ? Qt::lightGray : Qt::darkGray;
  p.setPen(outerLight);
  p.drawLine(r.topLeft(), r.topRight());
  p.drawLine(r.topLeft(), r.bottomLeft());
  p.setPen(outerDark);
  p.drawLine(r.bottomLeft(), r.bottomRight());
  p.drawLine(r.topRight(), r.bottomRight());
  QRect in = r.adjusted(1, 1, -1, -1);
  p.setPen(innerLight);
  p.drawLine(in.topLeft(), in.topRight());
  p.drawLine(in.topLeft(), in.bottomLeft());
  p.setPen(innerDark);
  p.drawLine(in.bottomLeft(), in.bottomRight());
  p.drawLine(in.topRight(), in.bottomRight());
}

// A small triangle 5 pixels to each side of the centre.
void drawArrow(QPainter& p, const QRect& r, bool up) {
  QPoint c = r.center();
  QPolygon tri;
  if (up)
    tri << QPoint(c.x() - 5, c.y() + 3) << QPoint(c.x() + 5, c.y() + 3) << QPoint(c.x(), c.y() - 2);
  else
    tri << QPoint(c.x() - 5, c.y() - 2) << QPoint(c.x() + 5, c.y() - 2) << QPoint(c.x(), c.y() + 3);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  p.drawPolygon(tri);
  p.setBrush(Qt::NoBrush);
}

}  // namespace

tbarmenu1::tbarmenu1(MacroBar& bar, QWidget* parent) : QWidget(parent), bar_(bar) {
  setObjectName("tbarmenu1");
  setToolTip("Toolbar");
  setFixedWidth(kWidth);
  setMouseTracking(true);
  setAutoFillBackground(false);
  connect(&scrollTimer_, &QTimer::timeout, this, [this] {
    scrollTimer_.setInterval(100);
    scrollStep();
  });
}

QRect tbarmenu1::buttonRect(int k) const {
  int y = bar_.rowTop(k);
  if (k < bar_.top() || k >= kMacroButtons) return {};
  return QRect(1, y, width() - 2, kMacroButtonHeight);
}

QRect tbarmenu1::upArrowRect() const {
  return QRect(1, height() - 2 * kArrowHeight, width() - 2, kArrowHeight);
}
QRect tbarmenu1::downArrowRect() const {
  return QRect(1, height() - kArrowHeight, width() - 2, kArrowHeight);
}

int tbarmenu1::hit(QPoint p) const {
  if (upArrowRect().contains(p)) return MacroBar::kUpArrow;
  if (downArrowRect().contains(p)) return MacroBar::kDownArrow;
  int k = bar_.buttonAt(p.y());
  return k < 0 ? MacroBar::kNone : k;
}

void tbarmenu1::scrollStep() {
  bool moved = bar_.pressed == MacroBar::kUpArrow ? bar_.scrollUp() : bar_.scrollDown(height());
  if (moved) update();
}

void tbarmenu1::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), faceColour());
  const int arrowsTop = upArrowRect().top();
  for (int k = bar_.top(); k < kMacroButtons; ++k) {
    QRect r = buttonRect(k);
    if (r.top() >= arrowsTop) break;
    p.setClipRect(QRect(0, 0, width(), arrowsTop));
    bool sunken = sunken_ && bar_.pressed == k;
    QRect inside = r.adjusted(2, 0, -2, 0);
    p.drawImage(
        QRect(inside.left() + (inside.width() - kGlyphSide) / 2, r.top(), kGlyphSide, kGlyphSide),
        imageOf(bar_.glyph(k)));
    drawFrame(p, r.adjusted(0, 0, -1, -1), sunken);
    std::string label = bar_.label(k);
    if (!label.empty()) {
      p.setPen(Qt::black);
      p.drawText(r, Qt::AlignCenter, toQt(label));
    }
  }
  p.setClipping(false);
  for (bool up : {true, false}) {
    QRect r = up ? upArrowRect() : downArrowRect();
    p.fillRect(r, faceColour());
    drawFrame(p, r.adjusted(0, 0, -1, -1),
              sunken_ && bar_.pressed == (up ? MacroBar::kUpArrow : MacroBar::kDownArrow));
    drawArrow(p, r, up);
  }
}

void tbarmenu1::mousePressEvent(QMouseEvent* e) {
  int k = hit(e->position().toPoint());
  if (k == MacroBar::kNone) return;
  if (e->button() == Qt::RightButton) {
    if (k >= 0) emit defineButton(k);
    update();
    return;
  }
  if (e->button() != Qt::LeftButton) return;
  bar_.pressed = k;
  // The widget keeps the mouse until the button is released (Qt's implicit
  // grab), which is the capture.
  bar_.captured = true;
  sunken_ = true;
  if (k < 0) {
    pressedRect_ = k == MacroBar::kUpArrow ? upArrowRect() : downArrowRect();
    scrollStep();
    scrollTimer_.start(400);
  } else {
    pressedRect_ = buttonRect(k);
  }
  update();
}

void tbarmenu1::mouseMoveEvent(QMouseEvent* e) {
  if (!bar_.captured) return;
  bool inside = pressedRect_.contains(e->position().toPoint());
  if (inside != sunken_) {
    sunken_ = inside;
    update();
  }
}

void tbarmenu1::mouseReleaseEvent(QMouseEvent* e) {
  if (!bar_.captured || e->button() != Qt::LeftButton) return;
  scrollTimer_.stop();
  int k = bar_.pressed;
  bool inside = pressedRect_.contains(e->position().toPoint());
  bar_.captured = false;
  bar_.pressed = MacroBar::kNone;
  sunken_ = false;
  update();
  if (k >= 0 && inside && !bar_.item(k).empty()) emit pick(bar_.macro(k));
}

bool tbarmenu1::event(QEvent* e) {
  if (e->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(e);
    int k = bar_.captured ? MacroBar::kNone : hit(help->pos());
    if (k == MacroBar::kUpArrow || k == MacroBar::kDownArrow)
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), toQt(bar_.toolTip(k)), this);
    return true;
  }
  return QWidget::event(e);
}

// --- The Define Button form ----------------------------------------------------------

namespace {

Rect rectOf(const QRect& r) {
  return {r.x(), r.y(), r.width(), r.height()};
}

// The focus rectangle between a button and its dialog, in screen coordinates.
void drawFocusRectangles(const Rect& from, const Rect& to) {
  if (from.empty() || to.empty()) return;
  QRubberBand band(QRubberBand::Rectangle);
  band.show();
  for (const Rect& r : focusRectangleSteps(from, to)) {
    band.setGeometry(r.x, r.y, r.width, r.height);
    band.repaint();
    QThread::msleep(kFocusRectangleStepMs);
  }
}

}  // namespace

bool macroButtonForm(QWidget* parent, MacroButtonDialogModel& model) {
  QDialog d(parent);
  d.setObjectName("TBardlg");
  d.setWindowTitle(toQt(model.caption()));
  auto* grid = new QGridLayout(&d);
  auto* name = new QLineEdit(toQt(model.name), &d);
  name->setObjectName("Edit1");
  auto* hint = new QLineEdit(toQt(model.hint), &d);
  hint->setObjectName("Edit2");
  auto* memo = new QPlainTextEdit(toQt(model.memo), &d);
  memo->setObjectName("Memo1");
  auto* image = new QPushButton(&d);
  image->setObjectName("Image1");
  image->setFixedSize(kGlyphSide * 2 + 8, kGlyphSide * 2 + 8);
  image->setIconSize(QSize(kGlyphSide * 2, kGlyphSide * 2));
  auto showPicture = [&] {
    image->setIcon(QIcon(QPixmap::fromImage(imageOf(model.picture()).scaled(40, 40))));
  };
  showPicture();
  auto* blank = new QPushButton("&Blank Glyph", &d);
  blank->setObjectName("Button4");
  auto* reset = new QPushButton("&Reset", &d);
  reset->setObjectName("Button5");
  auto* buttons = new QDialogButtonBox(&d);
  buttons->addButton("&Ok", QDialogButtonBox::AcceptRole)->setObjectName("OkButton");
  buttons->addButton("&Cancel", QDialogButtonBox::RejectRole)->setObjectName("CancelButton");
  grid->addWidget(new QLabel("&Name:", &d), 0, 0);
  grid->addWidget(name, 0, 1);
  grid->addWidget(new QLabel("&Hint:", &d), 1, 0);
  grid->addWidget(hint, 1, 1);
  grid->addWidget(new QLabel("&Macro:", &d), 2, 0);
  grid->addWidget(memo, 2, 1);
  grid->addWidget(image, 0, 2, 2, 1);
  grid->addWidget(blank, 2, 2, Qt::AlignTop);
  grid->addWidget(reset, 3, 2);
  grid->addWidget(buttons, 4, 0, 1, 3);
  QObject::connect(blank, &QPushButton::clicked, &d, [&] {
    model.blankPicture();
    showPicture();
  });
  QObject::connect(reset, &QPushButton::clicked, &d, [&] {
    model.reset();
    name->clear();
    hint->clear();
    memo->clear();
    showPicture();
  });
  QObject::connect(image, &QPushButton::clicked, &d, [&] {
    model.choosePicture();
    showPicture();
  });
  QObject::connect(buttons, &QDialogButtonBox::accepted, &d, [&] {
    // The fields refuse a "|" or a line break in the name and hint.
    if (!model.setField("Edit1", fromQt(name->text())) ||
        !model.setField("Edit2", fromQt(hint->text()))) {
      QApplication::beep();
      return;
    }
    model.memo = fromQt(memo->toPlainText());
    d.accept();
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  // The dialog opens centred over the window, from the button, and closes into it.
  d.adjustSize();
  if (parent)
    d.move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, d.size(),
                               parent->window()->frameGeometry())
               .topLeft());
  drawFocusRectangles(model.origin, rectOf(QRect(d.pos(), d.size())));
  bool accepted = d.exec() == QDialog::Accepted;
  drawFocusRectangles(rectOf(d.frameGeometry()), model.origin);
  return accepted;
}

}  // namespace tw
