// Translating a macro cell's text into the interpreter's line: typed
// characters stay, "~" becomes Enter (0x0D), and each {keyword} becomes its
// token, followed by its arguments (each ended by 0x0D) or repeated by its
// count. A {name} that is a range name becomes a call of it; anything else
// in braces is typed and then stops the macro with a syntax error.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

struct TranslateContext {
  char separator = ',';  // the argument separator setting, read as a space
  // Whether a range of this (upper-case) name exists.
  std::function<bool(std::string_view)> isRangeName;
  // A repeat count's value; nullopt when it does not evaluate.
  std::function<std::optional<double>(std::string_view)> evaluate;
};

std::string TranslateMacroLine(std::string_view text, const TranslateContext& context);

}  // namespace tw
