// The frame's side of Import, Export and Merge: the file dialog (its
// filter remembered for the next time), then the Transfer or Merge dialog,
// whose OK runs the keyword.
#pragma once

namespace tw {

class Frame;

void addTransferFrame(Frame& frame);

}  // namespace tw
