// The macro-button bar (tbarmenu1, hint "Toolbar"): a vertical strip of
// picture buttons over the engine's MacroBar, and the Define Button form.
#pragma once

#include <QRect>
#include <QTimer>
#include <QWidget>
#include <string>

#include "shell/macro_bar.h"

namespace tw {

class tbarmenu1 : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 28;
  static constexpr int kArrowHeight = 14;

  tbarmenu1(MacroBar& bar, QWidget* parent = nullptr);
  MacroBar& bar() { return bar_; }
  // The rectangle of button k on the bar (empty when scrolled away).
  QRect buttonRect(int k) const;
  QRect upArrowRect() const;
  QRect downArrowRect() const;
  QSize sizeHint() const override { return {kWidth, 200}; }

 signals:
  // Onpick: a button released over itself, with its macro.
  void pick(const std::string& macro);
  // The right mouse button on button k.
  void defineButton(int k);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  bool event(QEvent* e) override;

 private:
  int hit(QPoint p) const;  // an item index, an arrow, or MacroBar::kNone
  void scrollStep();

  MacroBar& bar_;
  QTimer scrollTimer_;
  QRect pressedRect_;
  bool sunken_ = false;
};

// The Define Button dialog (TBardlg) over its model; true on OK.
bool macroButtonForm(QWidget* parent, MacroButtonDialogModel& model);

}  // namespace tw
