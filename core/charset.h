// The worksheet's texts are Windows-1252 bytes. Text read from other files
// may be UTF-8; it is taken into the program's character set here.
#pragma once

#include <string>
#include <string_view>

namespace tw {

// True when the bytes hold at least one multi-byte UTF-8 sequence (or the
// byte order mark) and every such sequence is well formed.
bool looksLikeUtf8(std::string_view bytes);

// UTF-8 into Windows-1252: every character that has a form there gets it,
// any other becomes "?". A leading byte order mark is dropped.
std::string utf8ToWindows1252(std::string_view utf8);

}  // namespace tw
