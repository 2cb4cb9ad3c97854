// Where worksheet windows go inside the frame's area: new windows in
// cascade order, each fully visible at a useful size; Cascade and Tile
// that keep every window usable.
#pragma once

#include <vector>

#include "core/canvas.h"

namespace tw {

// Each further window steps this far right and down.
constexpr int kCascadeStep = 24;
// Smallest useful size of a worksheet window, within what the area allows.
constexpr int kUsefulWidth = 480;
constexpr int kUsefulHeight = 300;

// The n-th window (from 0) of a cascade over an area of the given size:
// three quarters of the area (never below the useful size, never beyond the
// area), stepped down and right, and back to the corner before it would
// leave the area.
Rect cascadePlace(int n, int areaWidth, int areaHeight);

// count windows side by side in a grid that fills the area.
std::vector<Rect> tilePlaces(int count, int areaWidth, int areaHeight);

}  // namespace tw
