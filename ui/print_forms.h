// The Qt forms of the print dialog, its options page and the preview.
#pragma once

#include <QWidget>

namespace tw {

class DialogModel;

// Shows the print or preview form for the model; false when cancelled or
// when the model is neither.
bool showPrintForm(QWidget* parent, DialogModel& model);
bool isPrintForm(const DialogModel& model);

}  // namespace tw
