// File names on Linux: names keep the case they were given, comparisons
// between names ignore it, and a name not found as given is looked up
// without case, so that AUTOEXEC.WKS finds autoexec.wks.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/char_case.h"

namespace tw {

bool sameFileName(std::string_view a, std::string_view b);
// The part after the last "/".
std::string_view baseName(std::string_view path);
// The directory part of a path (before its last "/"); empty when it has none.
std::string directoryOf(const std::string& path);
// A name whose last part has no "." gets ".WKS".
std::string withWorksheetExtension(const std::string& path);
// The backup of a file: its last character replaced by "B", or by "b" when
// that character is lower case (X.WKS gives X.WKB).
std::string backupFileName(const std::string& path);
// The existing file a name stands for: the name itself when it exists,
// otherwise the first match found without case, one path part at a time.
std::optional<std::string> findExistingFile(const std::string& path);
// A regular file (not a directory, device or pipe) that exists.
bool isRegularFile(const std::string& path);

}  // namespace tw
