// "Transfer": a page titled by the kind (Import Text, Export WKS, ...)
// asking for the target cell, the source range, or the target and the
// records of a dBase table; "Merge": the insert cell, all of the file or
// one of its named ranges, and the action.
#include "ui/transfer_forms.h"

#include <QComboBox>
#include <QLabel>

#include "shell/transfer_dialog.h"
#include "ui/form_binder.h"

namespace tw {

bool transferForm(QWidget* parent, TransferModel& m) {
  QDialog d(parent);
  d.setWindowTitle(toQt(m.caption()));
  d.setMinimumWidth(360);
  auto* v = new QVBoxLayout(&d);
  auto* page = new QGroupBox(toQt(m.title()));
  v->addWidget(page);
  auto* f = new QFormLayout(page);
  f->addRow(new QLabel(toQt("File: " + m.file)));
  Binder b(d, m, m.pointField);
  if (m.isDbaseImport()) {
    b.range(f, "&Target: ", "dbaseTarget");
    f->addRow(new QLabel(toQt("Fields: " + std::to_string(m.fields))));
    f->addRow(new QLabel(toQt("Records: " + std::to_string(m.records))));
    auto* records = new QGroupBox("Records");
    auto* rf = new QFormLayout(records);
    auto* all = new QRadioButton("&All");
    auto* some = new QRadioButton("&Some");
    all->setChecked(m.allRecords);
    some->setChecked(!m.allRecords);
    rf->addRow(all, some);
    QLineEdit* start = b.number(rf, "St&art:", "start");
    QLineEdit* stop = b.number(rf, "S&top:", "stop");
    auto enable = [&m, start, stop] {
      start->setEnabled(!m.allRecords);
      stop->setEnabled(!m.allRecords);
    };
    QObject::connect(all, &QRadioButton::toggled, &d, [&m, enable](bool on) {
      m.allRecords = on;
      enable();
    });
    enable();
    f->addRow(records);
  } else if (m.isImport()) {
    b.range(f, "&Target: ", "target");
  } else {
    b.range(f, "&Source: ", "source");
  }
  return runPages(d, m, b);
}

bool mergeForm(QWidget* parent, MergeModel& m) {
  QDialog d(parent);
  d.setWindowTitle(toQt(m.caption()));
  d.setMinimumWidth(360);
  auto* v = new QVBoxLayout(&d);
  auto* f = new QFormLayout;
  v->addLayout(f);
  f->addRow(new QLabel(toQt("File: " + m.file)));
  Binder b(d, m, m.pointField);
  b.range(f, "&Insert at Cell: ", "insertAt");

  auto* source = new QGroupBox("Merge Source:");
  auto* sf = new QFormLayout(source);
  auto* all = new QRadioButton("&All");
  auto* range = new QRadioButton("Ra&nge:");
  auto* names = new QComboBox;
  names->setEditable(true);
  for (const std::string& n : m.names) names->addItem(toQt(n));
  names->setCurrentText(toQt(m.range));
  all->setChecked(m.all);
  range->setChecked(!m.all);
  sf->addRow(all);
  sf->addRow(range, names);
  QObject::connect(all, &QRadioButton::toggled, &d, [&m](bool on) { m.all = on; });
  QObject::connect(names, &QComboBox::currentTextChanged, &d, [&m, range](const QString& t) {
    m.setField("range", fromQt(t));  // typing or choosing takes the range
    range->setChecked(true);
  });
  v->addWidget(source);

  QWidget* actions = b.radios("Action:", "action", {"&Replace", "&Sum", "&Difference"});
  actions->setEnabled(m.actionsEnabled());
  v->addWidget(actions);
  return runPages(d, m, b);
}

}  // namespace tw
