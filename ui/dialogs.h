// The Qt forms over the frame's dialog models: each shows its model's
// fields, writes back what is changed, and closes on OK only when the
// model's check passes.
#pragma once

#include <QWidget>
#include <string>

namespace tw {

class DialogModel;

// Shows the form for the model; false when cancelled or when no form shows it.
bool showDialogForm(QWidget* parent, DialogModel& model);

struct TipDialog {
  // A tip from the tips file (one per line) when there is one, else one of
  // the program's own; the check box turns the tips off for later starts.
  static void show(QWidget* parent, const std::string& tipsFile, bool& showAtStart);
};

}  // namespace tw
