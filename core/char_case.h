// Letter case in the program's single-byte character set. One rule for the
// whole program: the letters a to z and A to Z change case; every other
// byte, accented letters of Windows-1252 among them, stays as it is. The
// rule never depends on the C library's locale, which Qt sets from the
// user's environment.
#pragma once

#include <string>
#include <string_view>

namespace tw {

constexpr char upperChar(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
constexpr char lowerChar(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string upperCased(std::string_view text);
void upperCaseInPlace(std::string& text);
// Equal when upper-cased alike.
bool sameText(std::string_view a, std::string_view b);
// text[at..] begins with upperWord (which is already in upper case).
bool startsWithNoCase(std::string_view text, size_t at, std::string_view upperWord);

}  // namespace tw
