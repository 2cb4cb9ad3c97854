// Keystrokes written as text, as macros and talloway-cli's --keys write
// them: characters stand for themselves, "~" is Enter, and key names in
// braces stand for keys ({DOWN}, {RIGHT 3}, {EDIT}, {GOTO}, {ESC}); "{{}"
// and "{}}" are the braces themselves.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/keys.h"

namespace tw {

struct KeyName {
  std::string_view name;
  Key key;
  bool repeats;  // takes a repeat count; otherwise what follows is typed, each part then Enter
};

// The key a name stands for, or null.
const KeyName* findKeyName(std::string_view upperName);

struct KeyText {
  std::vector<KeyPress> keys;
  std::string error;  // empty when the text was read whole
};
KeyText parseKeyText(std::string_view text);

}  // namespace tw
