// The Qt forms of the data dialog, the array dialog and the data form.
#pragma once

#include <QWidget>

namespace tw {

class DataDialogModel;
class ArrayDialogModel;
class DataFormModel;

// False when cancelled or closed to point at a range.
bool dataDialogForm(QWidget* parent, DataDialogModel& model);
bool arrayDialogForm(QWidget* parent, ArrayDialogModel& model);
// Browses and edits until closed; every change is written as it is made.
bool dataFormDialog(QWidget* parent, DataFormModel& model);

}  // namespace tw
