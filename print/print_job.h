// Printing a range onto a page device: pagination, the pages drawn one by
// one with the "Printer Status" window's page, line and gauge, cancelling,
// and the text-file form of a range.
#pragma once

#include <functional>
#include <string>

#include "core/cell_address.h"
#include "core/page_device.h"
#include "print/print_layout.h"

namespace tw {

class Worksheet;

enum class PrintOutcome {
  Printed,
  Nothing,    // no range, or a range of no rows that print
  Cancelled,  // the status window's button: the job was thrown away
  BordersTooTall,
  DeviceFailed,  // the device would not start, draw or finish a page
};

// The range the print commands print: the print range, or with all from A1
// to the last used cell.
CellRange printedRange(const Worksheet& ws, bool all);

// Prints the range's pages onto the device; only the page of that number
// when page is above 0. status is called before each line with the page,
// line and gauge; it returns false to cancel.
PrintOutcome printPages(Worksheet& ws, const CellRange& range, PageDevice& device, int page = 0,
                        const std::function<bool(const PrintStatus&)>& status = {});

// The range as text: one line per row, the cells as displayed at their
// widths, each line ended by CR LF; trailing blanks are trimmed. Marker
// rows print as they are.
std::string rangeAsText(const Worksheet& ws, const CellRange& range);

// A file name for the text output: one without "." gets ".prn".
std::string printFileName(const std::string& name);

}  // namespace tw
