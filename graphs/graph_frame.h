// The graph commands and dialogs as the frame offers them: the keywords'
// commands, the graph window (GRAPH, GRAPHVIEW, F12, Quick Graph) and the
// "Graph" dialog at any of its pages.
#pragma once

namespace tw {

class FrameServices;

void addGraphFrame(FrameServices& frame);

}  // namespace tw
