// Writing a whole file so that a failure never leaves it half written: the
// bytes go to a file beside it, which is then renamed over it.
#pragma once

#include <string>
#include <string_view>

namespace tw {

// False when the file could not be written; the old one is then as it was.
bool ReplaceFileWith(const std::string& path, std::string_view bytes);

}  // namespace tw
