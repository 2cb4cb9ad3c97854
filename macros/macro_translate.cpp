#include "macros/macro_translate.h"

#include <cmath>
#include <vector>

#include "core/char_case.h"
#include "macros/macro_keywords.h"

namespace tw {

namespace {

constexpr char kEnter = 0x0D;

char folded(char c) {
  switch (static_cast<unsigned char>(c)) {
    case 0x93:
    case 0x94:
      return '"';
    case 0x82:
      return ',';
    case 0x88:
      return '^';
    case 0x98:
      return '~';
    case 0xA6:
      return '|';
    case 0xB7:
      return '.';
    default:
      return c;
  }
}

// The arguments inside the braces. A separator always ends an argument, so
// that an omitted one reads as empty; spaces end one that has begun.
// Neither ends an argument inside parentheses or double quotes, where the
// separator stays what it is ({LET A1,@SUM(B1,B2)}). False for a double
// quote that is not closed.
bool splitArguments(std::string_view text, char separator, std::vector<std::string>& out) {
  std::string current;
  bool afterSeparator = false;
  int depth = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') {
      size_t close = text.find('"', i + 1);
      if (close == std::string_view::npos) return false;
      current.append(text.substr(i, close - i + 1));
      i = close;
      continue;
    }
    if (depth == 0 && c == separator) {
      out.push_back(std::move(current));
      current.clear();
      afterSeparator = true;
      continue;
    }
    if (depth == 0 && c == ' ') {
      if (!current.empty()) {
        out.push_back(std::move(current));
        current.clear();
        afterSeparator = false;
      }
      continue;
    }
    if (c == '(') ++depth;
    if (c == ')' && depth > 0) --depth;
    current += c == '~' ? kEnter : c;
  }
  if (!current.empty() || afterSeparator) out.push_back(std::move(current));
  return true;
}

int repeatCount(std::string_view text, const TranslateContext& cx) {
  size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos || !cx.evaluate) return 1;
  std::string formula(text.substr(start));
  while (!formula.empty() && formula.back() == ' ') formula.pop_back();
  if (formula[0] != '+' && formula[0] != '-') formula.insert(0, 1, '+');
  std::optional<double> x = cx.evaluate(formula);
  if (!x || !std::isfinite(*x) || *x < 1) return 1;
  return static_cast<int>(std::min(std::round(*x), 32767.0));
}

}  // namespace

std::string TranslateMacroLine(std::string_view raw, const TranslateContext& cx) {
  std::string text(raw);
  for (char& c : text) c = folded(c);
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '~') {
      out += kEnter;
      continue;
    }
    if (c != '{') {
      out += c;
      continue;
    }
    const size_t open = i;
    size_t nameEnd = text.find_first_of(" }", i + 1);
    if (nameEnd == std::string::npos) nameEnd = text.size();
    // The arguments run to the closing brace; a brace inside quotes is theirs.
    size_t close = nameEnd;
    bool quoted = false;
    while (close < text.size() && (quoted || text[close] != '}')) {
      if (text[close] == '"') quoted = !quoted;
      ++close;
    }
    if (quoted) return std::string{kCommandByte, kSyntaxErrorLetter};
    std::string name = upperCased(std::string_view(text).substr(i + 1, nameEnd - i - 1));
    std::string_view args =
        nameEnd < close ? std::string_view(text).substr(nameEnd, close - nameEnd) : std::string_view();
    if (!args.empty() && args[0] == ' ') args.remove_prefix(1);
    i = close;  // at the "}" or past the end
    if (const MacroKeyword* k = findMacroKeyword(name)) {
      if (k->argumentCount < 0) {
        int count = repeatCount(args, cx);
        for (int n = 0; n < count; ++n) out += k->token;
        continue;
      }
      std::vector<std::string> parts;
      if (!splitArguments(args, cx.separator, parts))
        return std::string{kCommandByte, kSyntaxErrorLetter};
      out += k->token;
      for (const std::string& p : parts) {
        out += p;
        out += kEnter;
      }
      continue;
    }
    if (!name.empty() && cx.isRangeName && cx.isRangeName(name)) {
      out += kCommandByte;
      out += 'C';
      out += name;
      out += kEnter;
      continue;
    }
    // Typed as it stands, then the syntax error stops the macro there.
    out.append(std::string_view(text).substr(open + 1, close - open - 1));
    out += kCommandByte;
    out += kSyntaxErrorLetter;
  }
  return out;
}

}  // namespace tw
