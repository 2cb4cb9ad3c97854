// What the worksheet file's units share beyond the public interface.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/range_names.h"
#include "files/worksheet_file.h"

namespace tw {

class UserFunctionTable;

// The range names a file defines, the settings name excepted, in file order.
bool readFileNames(const std::string& path, std::vector<RangeName>& names);

// Load's reader: ws is null in link mode; linkKey names the file in the
// link table. False when the file cannot be opened or the named source is
// not in it.
bool loadFile(Session& session, Worksheet* ws, const std::string& path, const LoadOptions& options,
              const std::string& linkKey, LoadReport& report);

}  // namespace tw
