// The Qt form of "Audit Cell References".
#pragma once

#include <QWidget>

namespace tw {

class AuditModel;

// False when closed to point at a cell or range, true otherwise.
bool auditForm(QWidget* parent, AuditModel& model);

}  // namespace tw
