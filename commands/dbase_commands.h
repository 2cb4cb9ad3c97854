// dBase tables into and out of a worksheet. Import puts the field names in
// the target row (each column as wide as its field, each name cell carrying
// its field's type as a format byte) and one live record per row under it;
// export reads a range back the same way: first row field names, other rows
// records, the field types from the name cells' formats.
#pragma once

#include <optional>
#include <string>

#include "commands/command.h"

namespace tw {

struct DbaseSummary {
  int fields = 0;
  long records = 0;
};

// The counts the Transfer dialog shows ("Fields:", "Records:"); nullopt when unreadable.
std::optional<DbaseSummary> DbaseFileSummary(const std::string& path);

// Imports at (row, col): field names in the first row, then the records
// firstRecord .. firstRecord + count - 1 of the file (1-based record numbers,
// deleted records counted but skipped; count <= 0: all), one live record a
// row, up to the sheet's last row. Fields beyond the last column are left
// out. An unreadable or damaged file, a table of more than 256 fields, or
// protected cells in the way leave the worksheet as it was.
CommandResult ImportDbase(CommandContext& cx, const std::string& path, int row, int col,
                          long firstRecord, long count);

// Exports the range: first row field names, other rows records. The file is
// replaced only when the whole table was written.
CommandResult ExportDbase(CommandContext& cx, const std::string& path, const CellRange& range);

inline constexpr int kDbaseMaxFields = 256;
inline constexpr const char* kDbaseReadMessage = "Unable to Read";
inline constexpr const char* kDbaseWriteMessage = "Write Error";
inline constexpr const char* kDbaseFieldCountMessage = "Field count Exceeds 256";

}  // namespace tw
