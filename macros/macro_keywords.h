// The macro language's keywords: 167 entries in two sorted runs (the main
// run, then the long and one-letter synonyms), each with its argument
// count (-1: a key name that takes a repeat count) and the token it is
// translated into: a key code below 0x20, or the command byte 0x14 and the
// command's letters.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace tw {

struct MacroKeyword {
  std::string_view name;
  int16_t argumentCount;
  std::string_view token;
};

// The byte that starts a command token, and the token of a syntax error.
constexpr char kCommandByte = 0x14;
constexpr char kFileIoByte = 0x15;
constexpr char kSyntaxErrorLetter = 0x11;

// Entries 1 to 148, then 149 to 167.
std::span<const MacroKeyword> MacroKeywordTable();
constexpr size_t kMainKeywords = 148;
// The keyword (upper case) by binary search in the first run, then the second; null when none.
const MacroKeyword* findMacroKeyword(std::string_view upperName);

}  // namespace tw
