// A worksheet window's layout as its file keeps it: the panes' scroll
// positions and cursors, the split and its synchronisation, the active pane.
#pragma once

namespace tw {

class WindowState;
struct WorksheetSettings;

void storeLayout(const WindowState& w, WorksheetSettings& s);
// Values out of the sheet (from a damaged file) are brought onto it.
void restoreLayout(WindowState& w, const WorksheetSettings& s);

}  // namespace tw
