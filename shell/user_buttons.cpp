#include "shell/user_buttons.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "core/cell.h"
#include "core/host.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "core/worksheet_settings.h"
#include "shell/frame.h"
#include "shell/window_state.h"

namespace tw {

namespace {

constexpr int kEdgeReach = 3;
constexpr int kSmallest = 8;
constexpr int kClickWidth = 40;
constexpr int kClickHeight = 20;
constexpr size_t kCaptionFromGraph = 16;

// Pixels are kept within what an int holds when a record's offsets are wild.
int clampPixels(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, -(int64_t(1) << 30), int64_t(1) << 30));
}

}  // namespace

void cellCorner(const Worksheet& ws, int topRow, int leftCol, int row, int col, int& x, int& y) {
  int64_t px = 0, py = 0;
  for (int c = leftCol; c < col; ++c) px += ws.columnPixels(c);
  for (int c = col; c < leftCol; ++c) px -= ws.columnPixels(c);
  for (int r = topRow; r < row; ++r) py += ws.rowPixels(r);
  for (int r = row; r < topRow; ++r) py -= ws.rowPixels(r);
  x = clampPixels(px);
  y = clampPixels(py);
}

void anchorAt(const Worksheet& ws, int topRow, int leftCol, int x, int y, UserButton& b) {
  int col = leftCol, cx = 0;
  if (x >= 0) {
    while (col < kColumns - 1 && cx + ws.columnPixels(col) <= x) cx += ws.columnPixels(col++);
  } else {
    while (col > 0 && cx > x) cx -= ws.columnPixels(--col);
  }
  int row = topRow, cy = 0;
  if (y >= 0) {
    while (row < kRows - 1 && cy + ws.rowPixels(row) <= y) cy += ws.rowPixels(row++);
  } else {
    while (row > 0 && cy > y) cy -= ws.rowPixels(--row);
  }
  b.row = row;
  b.col = col;
  b.x = x - cx;
  b.y = y - cy;
}

int buttonHitTest(int width, int height, int x, int y) {
  int edges = kButtonMove;
  if (x <= kEdgeReach)
    edges |= kButtonLeft;
  else if (x >= width - 1 - kEdgeReach)
    edges |= kButtonRight;
  if (y <= kEdgeReach)
    edges |= kButtonTop;
  else if (y >= height - 1 - kEdgeReach)
    edges |= kButtonBottom;
  return edges;
}

ButtonRect dragBounds(const ButtonRect& s, int edges, int dx, int dy) {
  if (edges == kButtonMove) return {s.left + dx, s.top + dy, s.width, s.height};
  int left = s.left, top = s.top, right = s.left + s.width, bottom = s.top + s.height;
  if (edges & kButtonLeft) left = std::min(left + dx, right - 1);
  if (edges & kButtonRight) right = std::max(right + dx, left + 1);
  if (edges & kButtonTop) top = std::min(top + dy, bottom - 1);
  if (edges & kButtonBottom) bottom = std::max(bottom + dy, top + 1);
  return {left, top, right - left, bottom - top};
}

namespace {

// v scaled by num / den, rounded to the nearest pixel (half away from 0).
int scaled(int v, int num, int den) {
  long long n = static_cast<long long>(v) * num;
  return static_cast<int>(n >= 0 ? (n + den / 2) / den : -((-n + den / 2) / den));
}

int validZoom(int zoom) {
  return zoom > 0 ? zoom : 100;
}

}  // namespace

ButtonRect shownBounds(const ButtonRect& r, int zoom) {
  zoom = validZoom(zoom);
  return {scaled(r.left, zoom, 100), scaled(r.top, zoom, 100),
          std::max(1, scaled(r.width, zoom, 100)), std::max(1, scaled(r.height, zoom, 100))};
}

ButtonRect storedBounds(const ButtonRect& r, int zoom) {
  zoom = validZoom(zoom);
  return {scaled(r.left, 100, zoom), scaled(r.top, 100, zoom),
          std::max(1, scaled(r.width, 100, zoom)), std::max(1, scaled(r.height, 100, zoom))};
}

Point storedPoint(Point p, int zoom) {
  zoom = validZoom(zoom);
  return {scaled(p.x, 100, zoom), scaled(p.y, 100, zoom)};
}

size_t createUserButton(WindowState& w, Point from, Point to, const std::string& lastGraph) {
  PlacedButton b;
  b.left = std::min(from.x, to.x);
  b.top = std::min(from.y, to.y);
  b.data.width = std::abs(to.x - from.x);
  b.data.height = std::abs(to.y - from.y);
  if (b.data.width < kSmallest) b.data.width = kClickWidth;
  if (b.data.height < kSmallest) b.data.height = kClickHeight;
  b.data.macro = "{Beep}";
  b.data.caption = lastGraph.substr(0, kCaptionFromGraph);
  b.data.kind = 1;
  const Pane& p = w.pane(0);
  anchorAt(w.worksheet(), p.topRow, p.leftCol, b.left, b.top, b.data);
  w.userButtons.push_back(b);
  w.worksheet().modified = true;  // the button goes with the next save
  return w.userButtons.size() - 1;
}

bool applyButtonBounds(WindowState& w, size_t index, const ButtonRect& r, Host& host) {
  if (index >= w.userButtons.size()) return false;
  if (r.left < 0) {
    host.beep();
    return false;
  }
  PlacedButton& b = w.userButtons[index];
  b.left = r.left;
  b.top = r.top;
  b.data.width = std::clamp(r.width, 1, int(kMaxButtonPixels));
  b.data.height = std::clamp(r.height, 1, int(kMaxButtonPixels));
  const Pane& p = w.pane(0);
  anchorAt(w.worksheet(), p.topRow, p.leftCol, r.left, r.top, b.data);
  w.worksheet().modified = true;
  return true;
}

void deleteUserButton(WindowState& w, size_t index) {
  if (index >= w.userButtons.size()) return;
  w.userButtons.erase(w.userButtons.begin() + static_cast<std::ptrdiff_t>(index));
  w.worksheet().modified = true;
}

void runUserButton(Frame& frame, WindowState& w, size_t index) {
  Session& session = frame.session();
  MacroRunner* runner = frame.macroRunner();
  if (index >= w.userButtons.size() || !runner || runner->macroRunning()) {
    session.host().beep();
    return;
  }
  std::string macro = w.userButtons[index].data.macro;  // the macro may delete the button
  if (frame.active() != &w) frame.activate(&w);
  runner->runMacroText(macro);
}

void storeButtons(const WindowState& w, WorksheetSettings& s) {
  s.buttons.clear();
  for (const PlacedButton& b : w.userButtons) {
    if (s.buttons.size() >= kMaxButtons) break;
    s.buttons.push_back(encodeButton(b.data));
  }
}

void restoreButtons(WindowState& w, const WorksheetSettings& s) {
  w.userButtons.clear();
  const Pane& p = w.pane(0);
  for (const ButtonRecord& r : s.buttons) {
    PlacedButton b;
    b.data = decodeButton(r);
    int x = 0, y = 0;
    cellCorner(w.worksheet(), p.topRow, p.leftCol, b.data.row, b.data.col, x, y);
    b.left = clampPixels(int64_t(x) + b.data.x);
    b.top = clampPixels(int64_t(y) + b.data.y);
    w.userButtons.push_back(b);
  }
}

UserButtonModel::UserButtonModel(const UserButton& b) : buttonCaption(b.caption), macro(b.macro) {
  addText("caption", buttonCaption, kButtonCaptionLength);
  // The memo's lines run on without a separator.
  addField(
      "macro", [this] { return macro; },
      [this](std::string_view v) {
        std::string joined;
        for (char c : v)
          if (c != '\r' && c != '\n') joined += c;
        macro = joined.substr(0, kButtonMacroLength);
        return true;
      });
  addFlag("delete", remove);
}

bool editUserButton(Host& host, WindowState& w, size_t index) {
  if (index >= w.userButtons.size()) return false;
  UserButtonModel model(w.userButtons[index].data);
  if (!host.runDialog(model)) return false;
  if (model.remove) {
    deleteUserButton(w, index);
    return true;
  }
  UserButton& b = w.userButtons[index].data;
  b.caption = model.buttonCaption;
  b.macro = model.macro;
  w.worksheet().modified = true;
  return true;
}

}  // namespace tw
