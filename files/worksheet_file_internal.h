// What the worksheet file's units share beyond the public interface.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/range_names.h"
#include "files/worksheet_file.h"

namespace tw {

class UserFunctionTable;

// The check every loaded formula passes before it is linked: a walk that
// stays inside the code and ends at its last byte, known opcodes only, a
// stack that never runs dry and ends with one value, user functions that
// exist with at most 10 arguments, and references on the sheet. The code is
// in file form, for a cell in column col.
bool formulaCodeValid(const uint8_t* code, int col, const UserFunctionTable& functions);

// The range names a file defines, the settings name excepted, in file order.
bool readFileNames(const std::string& path, std::vector<RangeName>& names);

// Load's reader: ws is null in link mode; linkKey names the file in the
// link table. False when the file cannot be opened or the named source is
// not in it.
bool loadFile(Session& session, Worksheet* ws, const std::string& path, const LoadOptions& options,
              const std::string& linkKey, LoadReport& report);

}  // namespace tw
