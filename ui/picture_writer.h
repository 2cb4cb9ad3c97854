// Drawings made into pictures through Qt: pixels in memory (for the
// program's own bitmap files and the clipboard), PNG files and SVG files.
// The desktop program calls these directly; talloway-cli reaches them
// through the picture module (ui/picture_module.cpp), loaded only when a
// picture is asked for.
#pragma once

#include <functional>
#include <string>

#include "core/canvas.h"

namespace tw {

enum class PictureKind { Pixels, Png, Svg };

// The drawing at width by height on white; false when it could not be made.
bool renderPixels(int width, int height, const std::function<void(Canvas&)>& draw, Bitmap& out);
bool writePictureFile(const std::string& path, PictureKind kind, int width, int height,
                      const std::function<void(Canvas&)>& draw);

}  // namespace tw
