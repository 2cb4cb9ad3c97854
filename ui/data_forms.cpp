// The data dialog's ten pages, the array dialog's eight and the data form,
// over their models. Each box writes its field as it is left; number boxes
// show their value back; a double click on a range box points at the range
// on the sheet (the dialog closes and comes back with it).
#include "ui/data_forms.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <functional>
#include <vector>

#include "shell/data_dialog.h"
#include "shell/data_form.h"
#include "ui/form_binder.h"
#include "ui/text_codec.h"

namespace tw {

namespace {

QWidget* page(QTabWidget* tabs, const char* title, QFormLayout*& form) {
  auto* w = new QWidget;
  form = new QFormLayout(w);
  tabs->addTab(w, title);
  return w;
}

const char* const kTermLabels[] = {"Const", "x",     "x^2",   "x^3", "x^4",
                                   "x^5",   "\xFBx", "Ln(x)", "e^x"};

}  // namespace

bool dataDialogForm(QWidget* parent, DataDialogModel& m) {
  QDialog d(parent);
  auto* v = new QVBoxLayout(&d);
  auto* tabs = new QTabWidget(&d);
  v->addWidget(tabs);
  Binder b(d, m, m.pointField);
  QFormLayout* f = nullptr;

  page(tabs, "&Fill", f);
  b.range(f, "O&utput Cells: ", "fillOutput");
  b.number(f, "&Start: ", "start");
  b.number(f, "S&tep: ", "step");
  f->addRow(b.radios("Type", "fillType", {"&Linear", "&Multiply", "&Power"}));
  f->addRow(b.radios("Order", "fillOrder", {"&Row", "Colum&n"}));

  page(tabs, "&Sort", f);
  b.range(f, "&Data:  ", "sortData");
  const char* keyCaptions[] = {"&1:  ", "&2:  ", "&3:  ", "&4:  "};
  for (int k = 0; k < 4; ++k) {
    std::string n = std::to_string(k + 1);
    // The ascending box beside its key.
    auto* row = new QHBoxLayout;
    QLineEdit* key = b.rangeBox("key" + n);
    row->addWidget(key);
    row->addWidget(b.check("A", "asc" + n));
    auto* label = new QLabel(keyCaptions[k]);
    label->setBuddy(key);
    f->addRow(label, row);
  }
  auto* resetSort = new QPushButton("&Reset");
  f->addRow(resetSort);
  QObject::connect(resetSort, &QPushButton::clicked, &d, [&] {
    m.resetSort();
    b.refresh();
  });

  page(tabs, "&Query", f);
  b.range(f, "&Input:  ", "queryInput");
  b.range(f, "Cri&teria: ", "criteria");
  b.range(f, "O&utput: ", "queryOutput");
  auto* queryButtons = new QHBoxLayout;
  auto* find = new QPushButton("&Find");  // finding in place is not offered
  find->setEnabled(false);
  auto* resetQuery = new QPushButton("&Reset");
  queryButtons->addWidget(find);
  queryButtons->addWidget(resetQuery);
  f->addRow(queryButtons);
  QObject::connect(resetQuery, &QPushButton::clicked, &d, [&] {
    m.resetQuery();
    b.refresh();
  });

  page(tabs, "&Bin", f);
  b.range(f, "&Input Data: ", "binInput");
  b.range(f, "O&utput Table: ", "binOutput");
  f->addRow(b.radios("Type", "binType", {"a<= x <b", "a< x <= b"}));

  page(tabs, "&Parse", f);
  b.range(f, "&Input Range: ", "parseInput");

  page(tabs, "&GoalSeek", f);
  b.range(f, "&Input Cell:  ", "goalInput");
  b.range(f, "O&utput Cell: ", "goalOutput");
  b.number(f, "&Desire:  ", "desire");
  b.number(f, "&Tolerance:  ", "tolerance");

  page(tabs, "&Regress", f);
  b.range(f, "&Independant:  ", "independent");
  b.range(f, "&Dependant:  ", "dependent");
  b.range(f, "O&utput:  ", "regressOutput");

  page(tabs, "&MultiRegress", f);
  b.range(f, "&X data: ", "xData");
  b.range(f, "&Y data: ", "yData");
  b.range(f, "O&utput: ", "multiOutput");
  auto* grid = new QGridLayout;
  for (int var = 0; var < 3; ++var)
    grid->addWidget(new QLabel("x" + QString::number(var + 1)), 0, var + 1, Qt::AlignCenter);
  std::vector<QCheckBox*> boxes;
  for (int k = 0; k < 9; ++k) {
    grid->addWidget(new QLabel(toQt(kTermLabels[k])), k + 1, 0);
    for (int var = 0; var < 3; ++var) {
      auto* c = new QCheckBox;
      c->setChecked(m.terms[static_cast<size_t>(k)] & (1 << var));
      QObject::connect(c, &QCheckBox::toggled, &d, [&m, k, var](bool on) {
        uint8_t& mask = m.terms[static_cast<size_t>(k)];
        mask = static_cast<uint8_t>(on ? mask | (1 << var) : mask & ~(1 << var));
      });
      grid->addWidget(c, k + 1, var + 1, Qt::AlignCenter);
    }
  }
  f->addRow("Coefficients:", grid);

  page(tabs, "&Table", f);
  b.range(f, "&1) Input:  ", "input1");
  b.range(f, "&2) Input:  ", "input2")->setPlaceholderText("Optional");
  b.range(f, "Table O&utput: ", "tableOutput");

  page(tabs, "F&orm", f);
  b.range(f, "&Form: ", "form");

  d.setMinimumWidth(720);  // the ten tabs side by side
  tabs->setCurrentIndex(m.page);
  d.setWindowTitle(toQt(m.caption()));
  QObject::connect(tabs, &QTabWidget::currentChanged, &d, [&](int p) {
    m.page = p;
    d.setWindowTitle(toQt(m.caption()));
  });
  return runPages(d, m, b);
}

bool arrayDialogForm(QWidget* parent, ArrayDialogModel& m) {
  QDialog d(parent);
  auto* v = new QVBoxLayout(&d);
  auto* tabs = new QTabWidget(&d);
  v->addWidget(tabs);
  Binder b(d, m, m.pointField);
  const char* titles[] = {"&Add",    "&Subtract", "&Multiply",    "&Transpose",
                          "&Invert", "&E-Solve",  "&Determinate", "&Linear"};
  // One set of boxes, shown on whichever page is current.
  std::vector<QWidget*> pages;
  for (const char* t : titles) {
    auto* w = new QWidget;
    new QVBoxLayout(w);
    tabs->addTab(w, t);
    pages.push_back(w);
  }
  auto* boxes = new QWidget;
  QFormLayout* f = new QFormLayout(boxes);
  auto* firstLabel = new QLabel;
  QLineEdit* first = b.rangeBox("first");
  f->addRow(firstLabel, first);
  QLineEdit* second = b.range(f, "&Second: ", "second");
  b.range(f, "O&utput: ", "output");
  auto show = [&, first, second, firstLabel](int p) {
    m.page = p;
    firstLabel->setText(m.hasSecond() ? "&First: " : "&Input: ");
    firstLabel->setBuddy(first);
    second->setVisible(m.hasSecond());
    if (QWidget* l = f->labelForField(second)) l->setVisible(m.hasSecond());
    pages[static_cast<size_t>(p)]->layout()->addWidget(boxes);
    d.setWindowTitle(toQt(m.caption()));
  };
  d.setMinimumWidth(560);
  tabs->setCurrentIndex(m.page);
  show(m.page);
  QObject::connect(tabs, &QTabWidget::currentChanged, &d, show);
  return runPages(d, m, b);
}

bool dataFormDialog(QWidget* parent, DataFormModel& m) {
  QDialog d(parent);
  d.setWindowTitle(toQt(m.caption()));
  auto* v = new QVBoxLayout(&d);
  auto* f = new QFormLayout;
  v->addLayout(f);
  std::vector<QLineEdit*> boxes(m.fields().size(), nullptr);
  int widest = 0;
  for (size_t k = 0; k < m.fields().size(); ++k) {
    const DataFormModel::Field& field = m.fields()[k];
    if (field.pixels == 0) continue;  // a hidden column has no box
    auto* e = new QLineEdit(toQt(field.text));
    e->setMinimumWidth(field.pixels + 72);
    widest = std::max(widest, field.pixels + 72 + 72);
    f->addRow(toQt(field.name + " "), e);
    QObject::connect(e, &QLineEdit::textEdited, &d,
                     [&m, k](const QString& t) { m.edit(k, fromQt(t)); });
    QObject::connect(e, &QLineEdit::returnPressed, &d, [] { QApplication::beep(); });
    boxes[k] = e;
  }
  d.setMinimumWidth(widest);
  auto* record = new QLabel;
  v->addWidget(record);
  auto* clone = new QCheckBox("Clone Last Record");
  clone->setChecked(m.clone);
  QObject::connect(clone, &QCheckBox::toggled, &d, [&m](bool on) { m.clone = on; });
  v->addWidget(clone);
  auto* row = new QHBoxLayout;
  v->addLayout(row);
  auto* update = new QPushButton("&Update");
  auto button = [&](const char* caption, std::function<void()> act) {
    auto* p = new QPushButton(caption);
    p->setAutoDefault(false);
    row->addWidget(p);
    QObject::connect(p, &QPushButton::clicked, &d, act);
    return p;
  };
  auto refresh = [&] {
    for (size_t k = 0; k < boxes.size(); ++k)
      if (boxes[k]) boxes[k]->setText(toQt(m.fields()[k].text));
    record->setText(toQt(m.recordText()));
    update->setEnabled(m.changed());
  };
  button("&Next", [&] { m.next(), refresh(); });
  button("&Prev", [&] { m.prev(), refresh(); });
  button("&Top", [&] { m.top(), refresh(); });
  button("&Bot", [&] { m.bottom(), refresh(); });
  button("&Add", [&] { m.add(), refresh(); });
  update->setAutoDefault(false);
  row->addWidget(update);
  QObject::connect(update, &QPushButton::clicked, &d, [&] { m.update(), refresh(); });
  for (QLineEdit* e : boxes)
    if (e) QObject::connect(e, &QLineEdit::textEdited, &d, [&] { update->setEnabled(true); });
  button("&Cancel", [&] { d.reject(); });
  refresh();
  d.exec();
  return true;
}

}  // namespace tw
