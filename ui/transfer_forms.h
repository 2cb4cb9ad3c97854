// The Qt forms of the Transfer and Merge dialogs.
#pragma once

#include <QWidget>

namespace tw {

class TransferModel;
class MergeModel;

// False when cancelled or closed to point at a range.
bool transferForm(QWidget* parent, TransferModel& model);
bool mergeForm(QWidget* parent, MergeModel& model);

}  // namespace tw
