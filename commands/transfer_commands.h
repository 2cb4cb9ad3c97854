// Moving data between the worksheet and other files: text read line by
// line as labels or split into values, the names of files, text written
// out quoted or comma delimited, a range saved as a worksheet file, and a
// worksheet file merged in at a cell.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "commands/command.h"

namespace tw {

class CommandTable;

enum class TextImport {
  Labels = 1,     // each line a label
  Values = 2,     // each line split into numbers, labels and formulas
  FileNames = 3,  // the names of the files with the name's extension
};

// From the cell down; a column full at the sheet's last row continues in
// the next column from the same row. Lines of UTF-8 files are taken into
// the worksheet's character set. "File Not Found" when it cannot be read.
CommandResult ImportText(CommandContext& cx, const std::string& file, int row, int col,
                         TextImport mode);

// One line per row of the range, each cell a field followed by a comma
// (but the last): numbers in the general form, texts without their prefix,
// every field in double quotes when quoted. "Write Error" when the file
// cannot be written; an existing file is then as it was.
CommandResult ExportText(CommandContext& cx, const std::string& file, const CellRange& range,
                         bool quoted);
// The text export's lines, as they are written.
std::string exportedText(const Worksheet& ws, const CellRange& range, bool quoted);

// The range saved as a worksheet file of its own, addressed from A1.
CommandResult ExportWorksheet(CommandContext& cx, const std::string& file, const CellRange& range);

// A worksheet file (or the named range or range address source of it;
// empty: all of it) combined in at the cell: as values or as formulas,
// replacing (1), adding to (2) or subtracting from (3) the numbers there.
CommandResult MergeFile(CommandContext& cx, const std::string& file, int row, int col,
                        const std::string& source, bool values, int action);

inline constexpr const char* kImportMissingMessage = "File Not Found";
inline constexpr const char* kExportWriteMessage = "Write Error";

// FILEIMPORT name, cell, kind (0 labels, 1 values, 2 file names, 3 dBase);
// FILEEXPORT name, range, kind (0 worksheet, 1 quoted, 2 comma, 3 dBase);
// FILEMERGE name, cell, source, options ("R", "S" or "D" in the first three
// characters; "F" merges formulas); DBASEIMPORT name, cell, first record,
// records (0 all).
void addTransferCommands(CommandTable& table);

}  // namespace tw
