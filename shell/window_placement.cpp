#include "shell/window_placement.h"

#include <algorithm>
#include <cmath>

namespace tw {

Rect cascadePlace(int n, int areaWidth, int areaHeight) {
  areaWidth = std::max(areaWidth, 1);
  areaHeight = std::max(areaHeight, 1);
  int w = std::min(areaWidth, std::max(kUsefulWidth, areaWidth * 3 / 4));
  int h = std::min(areaHeight, std::max(kUsefulHeight, areaHeight * 3 / 4));
  // How many steps fit before the window would cross the area's edge.
  int steps = std::min((areaWidth - w) / kCascadeStep, (areaHeight - h) / kCascadeStep) + 1;
  int k = steps > 0 ? n % steps : 0;
  return {k * kCascadeStep, k * kCascadeStep, w, h};
}

std::vector<Rect> tilePlaces(int count, int areaWidth, int areaHeight) {
  std::vector<Rect> out;
  if (count <= 0) return out;
  int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
  int rows = (count + columns - 1) / columns;
  for (int i = 0; i < count; ++i) {
    int r = i / columns, c = i % columns;
    // The last row shares its width among the windows it holds.
    int inRow = r == rows - 1 ? count - r * columns : columns;
    int x0 = areaWidth * c / inRow, x1 = areaWidth * (c + 1) / inRow;
    int y0 = areaHeight * r / rows, y1 = areaHeight * (r + 1) / rows;
    out.push_back({x0, y0, x1 - x0, y1 - y0});
  }
  return out;
}

}  // namespace tw
