// Where everything of a printed range goes: the page's geometry from the
// printer's metrics and the worksheet's print settings, the cutting of the
// range into column strips and pages, the marker rows, and the header and
// footer texts with their codes. Worked out without drawing anything, so
// that printing, the preview and the tests share one layout.
//
// Every length here is in logical units of a screen pixel (1/96 inch; see
// core/page_device.h), whatever the printer's resolution.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/cell_address.h"
#include "core/page_device.h"

namespace tw {

class Worksheet;

struct PageGeometry {
  int pageWidth = 0;  // the printable area
  int pageHeight = 0;
  int top = 0;  // the margins
  int left = 0;
  int right = 0;
  int bottom = 0;
  int lineHeight = 0;      // h: the header's and footer's text height
  int scale = 100;         // per cent, applied to widths and heights
  double textPoints = 10;  // the header's and footer's font size

  int bodyTop() const { return top + 2 * lineHeight; }
  int bodyWidth() const { return pageWidth - left - right; }
  int bodyHeight() const { return pageHeight - top - bottom - 4 * lineHeight; }
};

// The standard text height of the worksheet's grid, in points.
double gridTextPoints(const Worksheet& ws);
PageGeometry PageLayout(const PageMetrics& printer, const Worksheet& ws);

// A row's or column's printed size at the layout's scale.
int printedColumnWidth(const Worksheet& ws, int col, int scale);
int printedRowHeight(const Worksheet& ws, int row, int scale);

// Row markers: a label in the range's first column that begins with "|"
// hides its row ("|<" and "|>" show pictures and are not markers); "|::"
// also ends the page.
enum class RowMarker { None, Hidden, PageBreak };
RowMarker rowMarker(const Worksheet& ws, int row, int firstCol);

struct PrintedPage {
  int number = 0;            // 1, 2, ...
  std::vector<int> columns;  // border columns, then the strip's
  std::vector<int> rows;     // border rows, then the range's
  int borderColumns = 0;     // how many of columns are border columns
  int borderRows = 0;
};

struct Pagination {
  PageGeometry geometry;
  std::vector<PrintedPage> pages;
  bool bordersTooTall = false;  // the border rows alone pass the body's bottom
};

// The range cut into column strips and each strip into pages, in the order
// they print: every page of the first strip, then the next strip.
Pagination Paginate(const Worksheet& ws, const CellRange& range, const PageGeometry& geometry);

// What stands in for the header and footer codes on a page.
struct PageFacts {
  int page = 1;
  std::string date;      // "@" and "^D"
  std::string time;      // "^T"
  std::string fileName;  // "^F", without its directory
};
PageFacts pageFactsNow(const Worksheet& ws, int page);

// The codes replaced in one pass: a file name or date that holds a code
// itself is not read again.
std::string expandPageCodes(std::string_view text, const PageFacts& facts);

// A header or footer split at "|": one part is centred, two parts go left
// and right, three parts left, centre and right.
struct AlignedParts {
  std::string left;
  std::string centre;
  std::string right;
};
AlignedParts alignedParts(std::string_view text);

}  // namespace tw
