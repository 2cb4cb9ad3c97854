// The Qt forms of the text tools: "Find & Replace", whose buttons act while
// it stays open, "Justify" and the text editor "Word".
#pragma once

#include <QWidget>

namespace tw {

class FindDialogModel;
class JustifyDialogModel;
class WordDialogModel;

// True when closed to point at the search range; false when cancelled.
bool findReplaceForm(QWidget* parent, FindDialogModel& model);
// False when cancelled; true on OK or when closed to point at the range.
bool justifyForm(QWidget* parent, JustifyDialogModel& model);
bool wordForm(QWidget* parent, WordDialogModel& model);

}  // namespace tw
