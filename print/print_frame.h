// The print commands and dialogs as the frame offers them: the keywords'
// commands, "Print" with its options page, and "Preview".
#pragma once

namespace tw {

class FrameServices;

void addPrintFrame(FrameServices& frame);

}  // namespace tw
