// talloway-cli: a worksheet driven from the command line. Actions run in
// the order given; see docs/USAGE.md.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "core/cell.h"

namespace tw {

class Worksheet;

// Exit status: 0, or 1 when a worksheet file is refused or cannot be
// written (the message has been shown), 2 when an argument cannot be used.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The columns of --dump.
std::string cellTypeName(const Cell& c);
std::string cellValueText(const Worksheet& ws, CellHandle h);
// The text the worksheet window shows in the cell at its column's width,
// without spilling into neighbours.
std::string cellDisplayText(const Worksheet& ws, CellHandle h);

}  // namespace tw
