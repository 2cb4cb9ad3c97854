// Windows bitmap files, written by the program's own code: graphs saved to
// bitmaps, and the macro buttons' glyph strip.
#pragma once

#include <string>

#include "core/canvas.h"

namespace tw {

// A 24-bit bitmap file of the picture (rows bottom up, padded to 4 bytes).
std::string bmpBytes(const Bitmap& bitmap);
// Written beside the target and renamed over it; false when it failed.
bool writeBmpFile(const std::string& path, const Bitmap& bitmap);

}  // namespace tw
