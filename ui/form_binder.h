// Dialog boxes bound to a model's fields by name: range boxes that point
// at the sheet when double-clicked, number boxes that show their value
// when left, radio buttons and check boxes; and OK that writes every box
// into the model before its check.
#pragma once

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <functional>
#include <string>
#include <vector>

#include "core/dialog_model.h"
#include "ui/range_box.h"
#include "ui/text_codec.h"

namespace tw {

// Boxes bound to a model's fields by name.
class Binder {
 public:
  Binder(QDialog& d, DialogModel& m, std::string& pointField)
      : d_(d), m_(m), pointField_(pointField) {}

  // A range box bound to its field; a double click points at the range.
  QLineEdit* rangeBox(const std::string& field) {
    auto* e = new RangeBox(nullptr, [this, field] {
      pointField_ = field;
      d_.accept();
    });
    bind(e, field, false);
    return e;
  }
  QLineEdit* range(QFormLayout* f, const char* caption, const std::string& field) {
    QLineEdit* e = rangeBox(field);
    f->addRow(caption, e);
    return e;
  }
  QLineEdit* number(QFormLayout* f, const char* caption, const std::string& field) {
    auto* e = new QLineEdit;
    bind(e, field, true);
    f->addRow(caption, e);
    return e;
  }
  // Radio buttons that set a field to 1, 2, ...
  QWidget* radios(const char* title, const std::string& field,
                  std::initializer_list<const char*> captions) {
    auto* box = new QGroupBox(title);
    auto* row = new QHBoxLayout(box);
    auto* group = new QButtonGroup(box);
    int k = 1;
    for (const char* caption : captions) {
      auto* r = new QRadioButton(caption);
      group->addButton(r, k);
      row->addWidget(r);
      r->setChecked(m_.field(field) == std::to_string(k));
      ++k;
    }
    QObject::connect(group, &QButtonGroup::idClicked, &d_,
                     [this, field](int id) { m_.setField(field, std::to_string(id)); });
    return box;
  }
  QCheckBox* check(const char* caption, const std::string& field) {
    auto* c = new QCheckBox(caption);
    c->setChecked(m_.field(field) == "1");
    QObject::connect(c, &QCheckBox::toggled, &d_,
                     [this, field](bool on) { m_.setField(field, on ? "1" : "0"); });
    refreshers_.push_back([this, c, field] {
      QSignalBlocker b(c);
      c->setChecked(m_.field(field) == "1");
    });
    return c;
  }
  void refresh() {
    for (auto& r : refreshers_) r();
  }
  // Writes every box into the model, as leaving it would.
  void takeAll() {
    for (auto& t : takers_) t();
  }

 private:
  void bind(QLineEdit* e, const std::string& field, bool number) {
    e->setText(toQt(m_.field(field)));
    auto take = [this, e, field, number] {
      if (!m_.setField(field, fromQt(e->text()))) {
        e->setStyleSheet("color: red");
        return;
      }
      e->setStyleSheet({});
      if (number) e->setText(toQt(m_.field(field)));
    };
    QObject::connect(e, &QLineEdit::editingFinished, &d_, take);
    takers_.push_back(take);
    refreshers_.push_back([this, e, field] { e->setText(toQt(m_.field(field))); });
  }

  QDialog& d_;
  DialogModel& m_;
  std::string& pointField_;
  std::vector<std::function<void()>> refreshers_;
  std::vector<std::function<void()>> takers_;
};

// A dialog opens with the keyboard in its first box or list (the first of
// the page shown, on a notebook), a box's text selected so that typing
// replaces it.
inline void focusFirstBox(QDialog& d) {
  for (QWidget* w = d.nextInFocusChain(); w && w != &d; w = w->nextInFocusChain()) {
    if (!w->isVisibleTo(&d) || !w->isEnabled()) continue;
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
      e->setFocus(Qt::TabFocusReason);
      e->selectAll();
      return;
    }
    if (qobject_cast<QAbstractItemView*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
        qobject_cast<QComboBox*>(w) || qobject_cast<QPlainTextEdit*>(w)) {
      w->setFocus(Qt::TabFocusReason);
      return;
    }
  }
}

// Runs the dialog until OK finds the model's check passing, or Cancel; a
// failed check keeps it open with its message. take writes the widgets
// into the model before the check. The buttons go at the end of the
// dialog's layout; the dialog's title is the model's caption.
inline bool runChecked(QDialog& d, DialogModel& model, const std::function<void()>& take) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
  buttons->button(QDialogButtonBox::Ok)->setText("&Ok");
  buttons->button(QDialogButtonBox::Cancel)->setText("&Cancel");
  QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &d, [&] {
    take();
    std::string message;
    if (!model.check(message)) {
      QMessageBox::warning(&d, toQt(model.caption()), toQt(message));
      return;
    }
    d.accept();
  });
  d.layout()->addWidget(buttons);
  d.setWindowTitle(toQt(model.caption()));
  focusFirstBox(d);
  return d.exec() == QDialog::Accepted;
}

// The same, writing every bound box into the model first.
inline bool runPages(QDialog& d, DialogModel& m, Binder& b) {
  return runChecked(d, m, [&b] { b.takeAll(); });
}

}  // namespace tw
