// The frame's side of the text tools: FINDREPLACE opens "Find & Replace",
// whose buttons act while it stays open; JUSTIFY opens "Justify", whose OK
// runs the JUSTIFY command; WORDEDIT opens the text editor "Word", whose OK
// runs the WORDEDIT command. A double-clicked range box is pointed at on
// the sheet and the dialog comes back with it.
#pragma once

namespace tw {

class Frame;

void addTextToolsFrame(Frame& frame);

}  // namespace tw
