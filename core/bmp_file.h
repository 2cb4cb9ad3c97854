// Windows bitmap files, read and written by the program's own code: graphs
// saved to bitmaps, and the macro buttons' glyph strip.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/canvas.h"

namespace tw {

// The largest picture read: wider, higher or more pixels is refused.
constexpr int kBmpLargestSide = 16384;
constexpr size_t kBmpLargestPixels = size_t(4096) * 4096;

// A 24-bit bitmap file of the picture (rows bottom up, padded to 4 bytes).
std::string bmpBytes(const Bitmap& bitmap);
// Written beside the target and renamed over it; false when it failed.
bool writeBmpFile(const std::string& path, const Bitmap& bitmap);

// The picture of a bitmap file with an information header of 40 bytes or
// more, uncompressed, 1, 4 or 8 bits with a palette or 24 or 32 bits, rows
// bottom up or top down; pixels come back opaque (0xFFRRGGBB). Nothing for
// a file it cannot read whole.
std::optional<Bitmap> bmpFromBytes(std::string_view bytes);
std::optional<Bitmap> readBmpFile(const std::string& path);

}  // namespace tw
