// A dialog's range box: a double click asks for the range on the sheet.
#pragma once

#include <QLineEdit>
#include <functional>

namespace tw {

class RangeBox : public QLineEdit {
 public:
  RangeBox(QWidget* parent, std::function<void()> onDouble)
      : QLineEdit(parent), onDouble_(std::move(onDouble)) {}

 protected:
  void mouseDoubleClickEvent(QMouseEvent*) override { onDouble_(); }

 private:
  std::function<void()> onDouble_;
};

}  // namespace tw
