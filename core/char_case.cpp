#include "core/char_case.h"

#include <algorithm>

namespace tw {

std::string upperCased(std::string_view text) {
  std::string s(text);
  upperCaseInPlace(s);
  return s;
}

void upperCaseInPlace(std::string& text) {
  for (char& c : text) c = upperChar(c);
}

bool sameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return upperChar(x) == upperChar(y);
         });
}

bool startsWithNoCase(std::string_view text, size_t at, std::string_view upperWord) {
  if (at > text.size() || text.size() - at < upperWord.size()) return false;
  for (size_t k = 0; k < upperWord.size(); ++k)
    if (upperChar(text[at + k]) != upperWord[k]) return false;
  return true;
}

}  // namespace tw
