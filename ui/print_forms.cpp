// The forms of printing: "Print" (Tmyprint) with its page "Print Options",
// and "Preview" (TPviewdlg). They show their models' fields; the models and
// the frame do the rest.
#include "ui/print_forms.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>
#include <functional>

#include "print/print_dialog.h"
#include "ui/qt_canvas.h"
#include "ui/text_codec.h"

namespace tw {

namespace {

// A range box that asks for pointing on the sheet when double-clicked.
class RangeEdit : public QLineEdit {
 public:
  RangeEdit(const std::string& text, QWidget* parent, std::function<void()> onDouble)
      : QLineEdit(toQt(text), parent), onDouble_(std::move(onDouble)) {}

 protected:
  void mouseDoubleClickEvent(QMouseEvent*) override { onDouble_(); }

 private:
  std::function<void()> onDouble_;
};

bool optionsForm(QWidget* parent, PrintModel& m) {
  QDialog d(parent);
  d.setWindowTitle("Print Options");
  auto* v = new QVBoxLayout(&d);

  auto* marginsBox = new QGroupBox("Margins:", &d);
  auto* mf = new QFormLayout(marginsBox);
  const std::pair<const char*, Margin> marginFields[] = {{"&Top: ", kMarginTop},
                                                         {"L&eft: ", kMarginLeft},
                                                         {"&Bot: ", kMarginBottom},
                                                         {"&Rt: ", kMarginRight}};
  std::vector<std::pair<QLineEdit*, Margin>> margins;
  for (const auto& [caption, which] : marginFields) {
    auto* e = new QLineEdit(toQt(m.marginText(which)), marginsBox);
    mf->addRow(caption, e);
    margins.push_back({e, which});
  }
  auto* defaults = new QPushButton("&Defaults", marginsBox);
  mf->addRow(defaults);
  QObject::connect(defaults, &QPushButton::clicked, &d, [&] {
    m.defaultMargins();
    for (auto& [e, which] : margins) e->setText(toQt(m.marginText(which)));
  });
  v->addWidget(marginsBox);

  auto* bordersBox = new QGroupBox("Borders:", &d);
  auto* bf = new QFormLayout(bordersBox);
  auto* rows = new QLineEdit(toQt(m.bordersText(true)), bordersBox);
  auto* cols = new QLineEdit(toQt(m.bordersText(false)), bordersBox);
  bf->addRow("Ro&ws: ", rows);
  bf->addRow("Col&s: ", cols);
  v->addWidget(bordersBox);

  PrintOptions& o = m.settings.options;
  auto* texts = new QFormLayout;
  auto* header = new QLineEdit(toQt(m.settings.header), &d);
  auto* headerLine = new QCheckBox("Line", &d);
  headerLine->setChecked(o.headerLine);
  auto* headerRow = new QHBoxLayout;
  headerRow->addWidget(header);
  headerRow->addWidget(headerLine);
  auto* headerLabel = new QLabel("&Header: ", &d);
  headerLabel->setBuddy(header);
  texts->addRow(headerLabel, headerRow);
  auto* footer = new QLineEdit(toQt(m.settings.footer), &d);
  auto* footerLine = new QCheckBox("Line", &d);
  footerLine->setChecked(o.footerLine);
  auto* footerRow = new QHBoxLayout;
  footerRow->addWidget(footer);
  footerRow->addWidget(footerLine);
  auto* footerLabel = new QLabel("&Footer: ", &d);
  footerLabel->setBuddy(footer);
  texts->addRow(footerLabel, footerRow);
  auto* scale = new QComboBox(&d);
  scale->setEditable(true);
  scale->addItems({"125", "100", "87", "75", "50", "25"});
  scale->setEditText(QString::number(o.scale));
  texts->addRow("&Scale (%):", scale);
  v->addLayout(texts);

  auto* frame = new QCheckBox("Fr&ame ( Show Margin )", &d);
  frame->setChecked(o.frame);
  auto* mono = new QCheckBox("&Mono ( Disables Shades )", &d);
  mono->setChecked(o.mono);
  auto* portrait = new QRadioButton("&Portrait", &d);
  auto* landscape = new QRadioButton("&Landscape", &d);
  (o.landscape ? landscape : portrait)->setChecked(true);
  auto* flags = new QHBoxLayout;
  flags->addWidget(frame);
  flags->addWidget(mono);
  v->addLayout(flags);
  auto* orientation = new QHBoxLayout;
  orientation->addWidget(portrait);
  orientation->addWidget(landscape);
  v->addLayout(orientation);
  auto* facts = new QLabel(toQt(m.printerFacts()), &d);
  v->addWidget(facts);
  QObject::connect(landscape, &QRadioButton::toggled, &d, [&](bool on) {
    m.settings.options.landscape = on;
    facts->setText(toQt(m.printerFacts()));
  });
  auto* message = new QLabel(&d);
  v->addWidget(message);

  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton("&Ok", &d);
  auto* cancel = new QPushButton("&Cancel", &d);
  auto* help = new QPushButton("Hel&p", &d);
  ok->setDefault(true);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addWidget(help);
  v->addLayout(buttons);
  QObject::connect(cancel, &QPushButton::clicked, &d, &QDialog::reject);
  QObject::connect(help, &QPushButton::clicked, &d, [&] {
    QMessageBox::information(
        &d, "Print Options",
        "Header and footer codes: # or ^P the page number, @ or ^D today's date, ^T the time, "
        "^F the file name. A | splits the text: one part is centred, two go left and right, "
        "three left, centre and right.\n\nMargins are in inches; the scale runs from 10 to 150 "
        "per cent.");
  });
  const PrintSettings saved = m.settings;  // what Cancel goes back to
  QObject::connect(ok, &QPushButton::clicked, &d, [&] {
    QString bad;
    for (auto& [e, which] : margins)
      if (!m.setMargin(which, fromQt(e->text()))) bad = "Margins are numbers of inches from 0.";
    if (!m.setBorders(true, fromQt(rows->text())) || !m.setBorders(false, fromQt(cols->text())))
      bad = "The borders are not a range.";
    if (!m.setScale(fromQt(scale->currentText()))) bad = "The scale is a whole number.";
    if (!bad.isEmpty()) {
      message->setText(bad);
      return;
    }
    m.settings.header = fromQt(header->text()).substr(0, 240);
    m.settings.footer = fromQt(footer->text()).substr(0, 240);
    m.settings.options.headerLine = headerLine->isChecked();
    m.settings.options.footerLine = footerLine->isChecked();
    m.settings.options.frame = frame->isChecked();
    m.settings.options.mono = mono->isChecked();
    m.settings.options.landscape = landscape->isChecked();
    d.accept();
  });
  if (d.exec() == QDialog::Accepted) return true;
  m.settings = saved;
  return false;
}

bool printForm(QWidget* parent, PrintModel& m) {
  QDialog d(parent);
  d.setWindowTitle(toQt(m.caption()));
  auto* v = new QVBoxLayout(&d);
  auto* printer = new QComboBox(&d);
  for (const std::string& p : m.printers) printer->addItem(toQt(p));
  printer->setCurrentText(toQt(m.printer));
  auto* top = new QFormLayout;
  top->addRow("P&rinter:", printer);
  v->addLayout(top);

  auto* all = new QRadioButton("&All", &d);
  auto* extent = new QLabel(toQt(m.extentText()), &d);
  auto* range = new QRadioButton("&Selected Range", &d);
  auto* rangeText = new RangeEdit(m.rangeText, &d, [&] {
    m.pointAtRange = true;
    d.accept();
  });
  auto* namedGraph = new QRadioButton("&Named Graph", &d);
  auto* graphs = new QComboBox(&d);
  for (const std::string& g : m.graphChoices()) graphs->addItem(toQt(g));
  graphs->setCurrentIndex(m.graph);
  (m.what == PrintModel::What::All     ? all
   : m.what == PrintModel::What::Range ? range
                                       : namedGraph)
      ->setChecked(true);
  auto* allRow = new QHBoxLayout;
  allRow->addWidget(all);
  allRow->addWidget(extent);
  allRow->addStretch();
  auto* rangeRow = new QHBoxLayout;
  rangeRow->addWidget(range);
  rangeRow->addWidget(rangeText);
  auto* graphRow = new QHBoxLayout;
  graphRow->addWidget(namedGraph);
  graphRow->addWidget(graphs);
  v->addLayout(allRow);
  v->addLayout(rangeRow);
  v->addLayout(graphRow);
  QObject::connect(graphs, &QComboBox::activated, &d,
                   [namedGraph] { namedGraph->setChecked(true); });
  QObject::connect(rangeText, &QLineEdit::textEdited, &d, [&] { range->setChecked(true); });
  auto* grid = new QCheckBox("Show &Grid", &d);
  grid->setChecked(m.settings.options.grid);
  v->addWidget(grid);
  auto* message = new QLabel(&d);
  v->addWidget(message);

  auto* buttons = new QHBoxLayout;
  auto* print = new QPushButton("&Print", &d);
  auto* options = new QPushButton("Op&tions...", &d);
  auto* setup = new QPushButton("S&etup...", &d);
  auto* preview = new QPushButton("Pre&view....", &d);
  auto* toFile = new QPushButton("Print to &File", &d);
  auto* cancel = new QPushButton("&Cancel", &d);
  print->setDefault(true);
  for (QPushButton* b : {print, options, setup, preview, toFile, cancel}) buttons->addWidget(b);
  v->addLayout(buttons);

  auto take = [&] {
    m.printer = fromQt(printer->currentText());
    m.what = all->isChecked()     ? PrintModel::What::All
             : range->isChecked() ? PrintModel::What::Range
                                  : PrintModel::What::Graph;
    m.graph = std::max(0, graphs->currentIndex());
    m.rangeText = fromQt(rangeText->text());
    m.settings.options.grid = grid->isChecked();
  };
  auto closeWith = [&](PrintModel::Action action) {
    take();
    m.action = action;
    std::string reason;
    if (!m.check(reason)) {
      message->setText(toQt(reason));
      return;
    }
    d.accept();
  };
  QObject::connect(print, &QPushButton::clicked, &d, [&] { closeWith(PrintModel::Action::Print); });
  QObject::connect(preview, &QPushButton::clicked, &d,
                   [&] { closeWith(PrintModel::Action::Preview); });
  QObject::connect(toFile, &QPushButton::clicked, &d,
                   [&] { closeWith(PrintModel::Action::PrintToFile); });
  QObject::connect(cancel, &QPushButton::clicked, &d, &QDialog::reject);
  QObject::connect(options, &QPushButton::clicked, &d, [&] {
    take();
    optionsForm(&d, m);
  });
  QObject::connect(setup, &QPushButton::clicked, &d, [&] {
    take();
    m.choosePrinter(m.printer);
    m.setup();
  });
  bool accepted = d.exec() == QDialog::Accepted;
  if (accepted && m.pointAtRange) take();
  return accepted;
}

// The page, drawn at the preview's zoom on a white sheet.
class PageView : public QWidget {
 public:
  PageView(PreviewModel& m, QWidget* parent) : QWidget(parent), m_(m) { resizeToPage(); }
  void resizeToPage() {
    const PageGeometry& g = m_.geometry();
    setFixedSize(std::max(1, g.pageWidth * m_.zoom / 100),
                 std::max(1, g.pageHeight * m_.zoom / 100));
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.scale(m_.zoom / 100.0, m_.zoom / 100.0);
    QtCanvas canvas(p, cache_);
    m_.paint(canvas);
    p.resetTransform();
    p.setPen(Qt::darkGray);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
  }

 private:
  PreviewModel& m_;
  QtCanvasCache cache_;
};

bool previewForm(QWidget* parent, PreviewModel& m) {
  QDialog d(parent);
  d.setWindowTitle(toQt(m.caption()));
  d.resize(760, 900);
  auto* v = new QVBoxLayout(&d);
  auto* bar = new QHBoxLayout;
  auto* page = new QSpinBox(&d);
  auto* count = new QLabel(&d);
  auto* pageLabel = new QLabel("Page: ", &d);
  pageLabel->setBuddy(page);
  auto* zoomIn = new QPushButton("Zoom In", &d);
  auto* zoomOut = new QPushButton("Zoom Out", &d);
  auto* zoomAll = new QPushButton("All", &d);
  auto* fit = new QPushButton("Fit", &d);
  auto* text = new QSpinBox(&d);
  text->setRange(kMinPrintScale, kMaxPrintScale);
  text->setValue(m.scale());
  auto* textLabel = new QLabel("&Text (%) ", &d);
  textLabel->setBuddy(text);
  auto* printPage = new QPushButton("Print Current Page", &d);
  auto* printAll = new QPushButton("Print All", &d);
  auto* close = new QPushButton("Close", &d);
  bar->addWidget(pageLabel);
  bar->addWidget(page);
  bar->addWidget(count);
  for (QWidget* w : {static_cast<QWidget*>(zoomIn), static_cast<QWidget*>(zoomOut),
                     static_cast<QWidget*>(zoomAll), static_cast<QWidget*>(fit)})
    bar->addWidget(w);
  bar->addWidget(textLabel);
  bar->addWidget(text);
  bar->addStretch();
  bar->addWidget(printPage);
  bar->addWidget(printAll);
  bar->addWidget(close);
  v->addLayout(bar);
  auto* scroll = new QScrollArea(&d);
  scroll->setAlignment(Qt::AlignCenter);
  scroll->setBackgroundRole(QPalette::Dark);
  auto* view = new PageView(m, scroll);
  scroll->setWidget(view);
  v->addWidget(scroll, 1);

  auto refresh = [&] {
    QSignalBlocker block(page);
    page->setRange(1, std::max(1, m.pageCount()));
    page->setValue(m.page);
    count->setText(toQt(m.countText()));
    printPage->setEnabled(m.pageCount() > 0);
    printAll->setEnabled(m.pageCount() > 0);
    view->resizeToPage();
  };
  refresh();
  QObject::connect(page, &QSpinBox::valueChanged, &d, [&](int n) {
    m.setPage(n);
    refresh();
  });
  QObject::connect(text, &QSpinBox::valueChanged, &d, [&](int n) {
    m.setScale(n);
    refresh();
  });
  QObject::connect(zoomIn, &QPushButton::clicked, &d, [&] {
    m.zoomIn();
    refresh();
  });
  QObject::connect(zoomOut, &QPushButton::clicked, &d, [&] {
    m.zoomOut();
    refresh();
  });
  QObject::connect(zoomAll, &QPushButton::clicked, &d, [&] {
    m.zoomAll();
    refresh();
  });
  QObject::connect(fit, &QPushButton::clicked, &d, [&] {
    QSize room = scroll->viewport()->size();
    m.zoomToFit(room.width() - 4, room.height() - 4);
    refresh();
  });
  QObject::connect(printPage, &QPushButton::clicked, &d, [&] {
    m.action = PreviewModel::Action::PrintPage;
    d.accept();
  });
  QObject::connect(printAll, &QPushButton::clicked, &d, [&] {
    m.action = PreviewModel::Action::PrintAll;
    d.accept();
  });
  QObject::connect(close, &QPushButton::clicked, &d, &QDialog::reject);
  return d.exec() == QDialog::Accepted;
}

}  // namespace

bool showPrintForm(QWidget* parent, DialogModel& model) {
  if (auto* m = dynamic_cast<PrintModel*>(&model)) return printForm(parent, *m);
  if (auto* m = dynamic_cast<PreviewModel*>(&model)) return previewForm(parent, *m);
  return false;
}

bool isPrintForm(const DialogModel& model) {
  return dynamic_cast<const PrintModel*>(&model) || dynamic_cast<const PreviewModel*>(&model);
}

}  // namespace tw
