// Draws one printed page: the cells of its rows and columns as the worksheet
// window draws them (without headers, the cursor or the selection), the
// header and footer with their rules, and the frame.
#pragma once

#include "print/print_layout.h"

namespace tw {

class Canvas;
class Worksheet;

void paintPrintedPage(Canvas& canvas, const Worksheet& ws, const PageGeometry& geometry,
                      const PrintedPage& page, const PageFacts& facts);

}  // namespace tw
