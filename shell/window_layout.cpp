#include "shell/window_layout.h"

#include <algorithm>

#include "core/cell.h"
#include "core/worksheet_settings.h"
#include "shell/user_buttons.h"
#include "shell/window_state.h"

namespace tw {

void storeLayout(const WindowState& w, WorksheetSettings& s) {
  for (int i = 0; i < 2; ++i) {
    const Pane& p = w.pane(i);
    s.panes[i] = {int16_t(p.leftCol), int16_t(p.topRow), int16_t(p.col), int16_t(p.row)};
  }
  s.split = w.split() ? 1 : 0;
  s.syncHorizontal = w.syncHorizontal;
  s.syncVertical = w.syncVertical;
  s.activePane = static_cast<uint8_t>(w.activePane());
  storeButtons(w, s);
}

void restoreLayout(WindowState& w, const WorksheetSettings& s) {
  for (int i = 0; i < 2; ++i) {
    Pane& p = w.pane(i);
    p.topRow = std::clamp<int>(s.panes[i].topRow, 0, kRows - 1);
    p.leftCol = std::clamp<int>(s.panes[i].leftColumn, 0, kColumns - 1);
    p.row = std::clamp<int>(s.panes[i].cursorRow, 0, kRows - 1);
    p.col = std::clamp<int>(s.panes[i].cursorColumn, 0, kColumns - 1);
    p.anchored = false;
  }
  w.syncHorizontal = s.syncHorizontal;
  w.syncVertical = s.syncVertical;
  w.setSplit(s.split != 0, WindowState::SecondPane::AsItIs);
  if (w.split() && s.activePane == 1 && w.activePane() == 0) w.otherPane();
  restoreButtons(w, s);
}

}  // namespace tw
