// LINK and the functions that report program and system state, with the
// number conversions HEX, DEC and DMS.
#pragma once

#include <string>
#include <string_view>

namespace tw {

class Evaluator;
class FunctionTable;

// A LINK text "file>address" or "file>sheet:address" resolved to the file's
// path and the cell's row and column. A name without a directory is taken
// from `directory`; the sheet letters count rows in blocks of sheetRows (the
// asking worksheet's division).
struct LinkReference {
  bool ok = false;
  std::string path;
  int row = 0;
  int col = 0;
};
LinkReference parseLinkReference(std::string_view text, const std::string& directory,
                                 int sheetRows);

void installSystemFunctions(FunctionTable& t);

}  // namespace tw
