// The boxes write their fields as they change or are left; the find
// dialog's buttons act at once and the enabling rules are asked of the
// model after every change.
#include "ui/text_tools_forms.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "shell/find_dialog.h"
#include "shell/justify_dialog.h"
#include "ui/form_binder.h"
#include "ui/range_box.h"
#include "ui/text_codec.h"

namespace tw {

bool findReplaceForm(QWidget* parent, FindDialogModel& m) {
  QDialog d(parent);
  d.setWindowTitle(toQt(m.caption()));
  auto* v = new QVBoxLayout(&d);
  auto* f = new QFormLayout;
  v->addLayout(f);

  auto* search = new QComboBox(&d);
  search->setEditable(true);
  search->setInsertPolicy(QComboBox::NoInsert);
  search->lineEdit()->setMaxLength(240);
  auto fillHistory = [&m, search] {
    QSignalBlocker block(search);
    QString typed = search->currentText();
    search->clear();
    for (const std::string& h : m.engine().history()) search->addItem(toQt(h));
    search->setEditText(typed);
  };
  fillHistory();
  search->setEditText(toQt(m.findText));
  f->addRow("&Search for:", search);
  auto* replacement = new QLineEdit(toQt(m.replaceText), &d);
  replacement->setMaxLength(240);
  f->addRow("Replace &with:", replacement);

  auto* scope = new QGroupBox("Scope", &d);
  auto* grid = new QGridLayout(scope);
  auto* global = new QRadioButton("&Global", scope);
  auto* ranged = new QRadioButton("Ran&ge:", scope);
  auto* group = new QButtonGroup(scope);
  group->addButton(global);
  group->addButton(ranged);
  RangeBox* range = new RangeBox(scope, [&] {
    m.rangeText = fromQt(range->text());
    m.pointAtRange();
    d.accept();
  });
  range->setText(toQt(m.rangeText));
  grid->addWidget(global, 0, 0);
  grid->addWidget(ranged, 1, 0);
  grid->addWidget(range, 1, 1);
  (m.global ? global : ranged)->setChecked(true);
  v->addWidget(scope);
  auto* caseBox = new QCheckBox("Case &Insensitive", &d);
  caseBox->setChecked(m.caseInsensitive);
  v->addWidget(caseBox);
  auto* count = new QLabel(&d);
  v->addWidget(count);

  auto* row = new QHBoxLayout;
  v->addLayout(row);
  auto button = [&](const char* caption) {
    auto* p = new QPushButton(caption, &d);
    p->setAutoDefault(false);
    row->addWidget(p);
    return p;
  };
  QPushButton* next = button("Find &Next");
  QPushButton* replace = button("&Replace");
  QPushButton* all = button("Replace &All");
  QPushButton* cancel = button("&Cancel");
  next->setDefault(true);

  auto refresh = [&] {
    next->setEnabled(m.canFind());
    replace->setEnabled(m.canReplace());
    all->setEnabled(m.canReplaceAll());
    count->setText(QString("Replaced: %1").arg(m.counter()));
  };
  QObject::connect(search, &QComboBox::editTextChanged, &d, [&](const QString& t) {
    m.setFind(fromQt(t));
    refresh();
  });
  QObject::connect(replacement, &QLineEdit::textChanged, &d, [&](const QString& t) {
    m.setReplace(fromQt(t));
    refresh();
  });
  QObject::connect(global, &QRadioButton::toggled, &d, [&](bool on) {
    m.setField("global", on ? "1" : "0");
    refresh();
  });
  QObject::connect(range, &QLineEdit::editingFinished, &d, [&] {
    m.setField("range", fromQt(range->text()));
    refresh();
  });
  QObject::connect(caseBox, &QCheckBox::toggled, &d, [&](bool on) {
    m.setField("case", on ? "1" : "0");
    refresh();
  });
  // Each button takes the range box as it stands, acts, and shows the
  // history and the states that follow.
  auto act = [&](void (FindDialogModel::*press)()) {
    m.setField("range", fromQt(range->text()));
    (m.*press)();
    fillHistory();
    refresh();
  };
  QObject::connect(next, &QPushButton::clicked, &d, [&] { act(&FindDialogModel::findNext); });
  QObject::connect(replace, &QPushButton::clicked, &d, [&] { act(&FindDialogModel::replace); });
  QObject::connect(all, &QPushButton::clicked, &d, [&] { act(&FindDialogModel::replaceAll); });
  QObject::connect(cancel, &QPushButton::clicked, &d, &QDialog::reject);
  refresh();
  d.setMinimumWidth(420);
  return d.exec() == QDialog::Accepted;
}

bool justifyForm(QWidget* parent, JustifyDialogModel& m) {
  QDialog d(parent);
  d.setWindowTitle(toQt(m.caption()));
  auto* v = new QVBoxLayout(&d);
  auto* f = new QFormLayout;
  v->addLayout(f);
  auto* range = new RangeBox(&d, [&] {
    m.pointField = "range";
    d.accept();
  });
  range->setText(toQt(m.rangeText));
  f->addRow("&Justify Range: ", range);
  auto* width = new QLineEdit(toQt(m.width), &d);
  f->addRow("&Width: ", width);
  auto* pad = new QCheckBox("Use Spaces Between Words", &d);
  pad->setChecked(m.pad);
  f->addRow("&Pad:", pad);

  auto takeRange = [&] {
    if (fromQt(range->text()) == m.rangeText) return;
    m.setRange(fromQt(range->text()));
    width->setText(toQt(m.width));
  };
  auto takeWidth = [&] {
    if (m.leaveWidth(fromQt(width->text()))) {
      width->setStyleSheet({});
      width->setText(toQt(m.width));
    } else {
      width->setStyleSheet("color: red");
    }
  };
  QObject::connect(range, &QLineEdit::editingFinished, &d, takeRange);
  QObject::connect(width, &QLineEdit::editingFinished, &d, takeWidth);
  QObject::connect(pad, &QCheckBox::toggled, &d, [&](bool on) { m.pad = on; });

  return runChecked(d, m, [&] {
    takeRange();
    takeWidth();
  });
}

bool wordForm(QWidget* parent, WordDialogModel& m) {
  QDialog d(parent);
  d.setWindowTitle(toQt(m.caption()));
  auto* v = new QVBoxLayout(&d);
  auto* edit = new QPlainTextEdit(&d);
  edit->setObjectName("lines");
  edit->setLineWrapMode(QPlainTextEdit::NoWrap);
  edit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  edit->setPlainText(toQt(m.text()));
  edit->setMinimumSize(480, 320);
  v->addWidget(edit);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
  buttons->button(QDialogButtonBox::Ok)->setText("&Ok");
  buttons->button(QDialogButtonBox::Cancel)->setText("&Cancel");
  QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  v->addWidget(buttons);
  if (d.exec() != QDialog::Accepted) return false;
  m.setText(fromQt(edit->toPlainText()));
  return true;
}

}  // namespace tw
