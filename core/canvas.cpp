#include "core/canvas.h"

#include <algorithm>

namespace tw {

Rect Rect::intersected(const Rect& o) const {
  int left = std::max(x, o.x), top = std::max(y, o.y);
  int r = std::min(right(), o.right()), b = std::min(bottom(), o.bottom());
  if (r <= left || b <= top) return {left, top, 0, 0};
  return {left, top, r - left, b - top};
}

}  // namespace tw
