#include "macros/macro_translate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "macros/macro_keywords.h"

namespace tw::test {
namespace {

std::string translate(std::string_view text, char separator = ',') {
  TranslateContext cx;
  cx.separator = separator;
  cx.isRangeName = [](std::string_view n) { return n == "SUB" || n == "TOTALS"; };
  cx.evaluate = [](std::string_view f) -> std::optional<double> {
    if (f == "+3") return 3;
    if (f == "+0") return 0;
    if (f == "-2") return -2;
    if (f == "+1+1") return 2;
    if (f == "+2.6") return 2.6;
    return std::nullopt;
  };
  return TranslateMacroLine(text, cx);
}

const std::string kEnterKey(1, '\x0D');

TEST(MacroKeywords, TwoSortedRunsThatFindEveryEntry) {
  auto table = MacroKeywordTable();
  ASSERT_EQ(table.size(), 167u);
  EXPECT_EQ(table[0].name, "?");
  EXPECT_EQ(table[kMainKeywords - 1].name, "WRITELN");
  EXPECT_EQ(table[kMainKeywords].name, "BACKSPACE");
  EXPECT_EQ(table.back().name, "XDN");
  EXPECT_TRUE(std::is_sorted(table.begin(), table.begin() + kMainKeywords,
                             [](auto& a, auto& b) { return a.name < b.name; }));
  EXPECT_TRUE(std::is_sorted(table.begin() + kMainKeywords, table.end(),
                             [](auto& a, auto& b) { return a.name < b.name; }));
  std::set<std::string_view> names;
  for (const MacroKeyword& k : table) {
    EXPECT_EQ(findMacroKeyword(k.name), &k) << k.name;
    names.insert(k.name);
    EXPECT_FALSE(k.token.empty()) << k.name;
  }
  EXPECT_EQ(names.size(), 167u);
  // Synonyms share their tokens; key names are one key code.
  EXPECT_EQ(findMacroKeyword("BRANCH")->token, findMacroKeyword("JUMP")->token);
  EXPECT_EQ(findMacroKeyword("DOWN")->token, "\x10");
  EXPECT_EQ(findMacroKeyword("DOWN")->argumentCount, -1);
  EXPECT_EQ(findMacroKeyword("EDIT")->argumentCount, 0);
  EXPECT_EQ(findMacroKeyword("OPEN")->token, "\x14\x15O");
  EXPECT_EQ(findMacroKeyword("GET")->token, "\x14?1");
  EXPECT_EQ(findMacroKeyword("down"), nullptr);  // callers upper-case
  EXPECT_EQ(findMacroKeyword("NOSUCH"), nullptr);
}

TEST(MacroTranslate, KeysCountsAndTyping) {
  EXPECT_EQ(translate("abc~"), "abc" + kEnterKey);
  EXPECT_EQ(translate("{DOWN}"), "\x10");
  EXPECT_EQ(translate("{down 3}"), "\x10\x10\x10");
  // A count that is missing, below 1 or not a number is one key.
  EXPECT_EQ(translate("{DOWN 0}"), "\x10");
  EXPECT_EQ(translate("{DOWN -2}"), "\x10");
  EXPECT_EQ(translate("{DOWN x}"), "\x10");
  EXPECT_EQ(translate("{RIGHT 1+1}"), "\x04\x04");
  EXPECT_EQ(translate("{R 2.6}"), "\x04\x04\x04");  // rounded
  EXPECT_EQ(translate("{BEEP 3}"), "\x14" "B\x14" "B\x14" "B");
  // A key name without a count types what follows, each part then Enter.
  EXPECT_EQ(translate("{EDIT x}"), "\x05x" + kEnterKey);
  // Typographic characters are plain ones.
  EXPECT_EQ(translate("\x93q\x94\x98"), "\"q\"" + kEnterKey);
}

TEST(MacroTranslate, ArgumentsSeparatorsQuotesAndParentheses) {
  const std::string let = "\x14" "E";
  // The separator reads as a space; both end an argument.
  EXPECT_EQ(translate("{LET A1,5}"), let + "A1\x0D" "5\x0D");
  EXPECT_EQ(translate("{LET A1 5}"), let + "A1\x0D" "5\x0D");
  EXPECT_EQ(translate("{LET A1, 5}"), let + "A1\x0D" "5\x0D");
  // Inside parentheses the separator stays what it is; quotes are copied whole.
  EXPECT_EQ(translate("{LET A1,@SUM(B1,B2)}"), let + "A1\x0D@SUM(B1,B2)\x0D");
  EXPECT_EQ(translate("{LET A1,\"a, b}\"}"), let + "A1\x0D\"a, b}\"\x0D");
  // An omitted argument is empty, not dropped.
  EXPECT_EQ(translate("{DATATABLE T1,,I2}"), "\x14" "dtT1\x0D\x0DI2\x0D");
  EXPECT_EQ(translate("{LET A1;5}", ';'), let + "A1\x0D" "5\x0D");
  // "~" inside braces is Enter too.
  EXPECT_EQ(translate("{LET A1,\"x\"&\"~\"}"), let + "A1\x0D\"x\"&\"~\"\x0D");
}

TEST(MacroTranslate, NamesUnknownWordsAndUnclosedQuotes) {
  EXPECT_EQ(translate("{sub}"), "\x14" "CSUB\x0D");
  // Not a keyword nor a name: typed, then the syntax error.
  EXPECT_EQ(translate("a{XYZ 1}b"), "aXYZ 1\x14\x11" "b");
  EXPECT_EQ(translate("{LET A1,\"open}"), "\x14\x11");
  // A line longer than 240 bytes is kept whole.
  std::string longer(300, 'q');
  EXPECT_EQ(translate(longer), longer);
  EXPECT_EQ(translate("{HOME"), "\x07");
}

}  // namespace
}  // namespace tw::test
