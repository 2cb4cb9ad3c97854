// The Qt form of the graph dialog.
#pragma once

#include <QWidget>

namespace tw {

class GraphDialogModel;

// False when cancelled.
bool graphForm(QWidget* parent, GraphDialogModel& model);

}  // namespace tw
