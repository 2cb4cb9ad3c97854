#include "core/char_case.h"

#include <gtest/gtest.h>

#include <clocale>

namespace tw::test {
namespace {

TEST(CharCase, OnlyTheLettersAToZChangeWhateverTheLocale) {
  // A locale that knows accented letters must not change the rule.
  std::setlocale(LC_ALL, "C.UTF-8");
  EXPECT_EQ(upperCased("autoexec.wks"), "AUTOEXEC.WKS");
  EXPECT_EQ(upperCased("caf\xE9 \xDF{}"), "CAF\xE9 \xDF{}");
  EXPECT_EQ(lowerChar('Q'), 'q');
  EXPECT_EQ(lowerChar('\xC9'), '\xC9');
  EXPECT_TRUE(sameText("Sheet1.wk1", "SHEET1.WK1"));
  EXPECT_FALSE(sameText("\xE9", "\xC9"));
  EXPECT_FALSE(sameText("AB", "ABC"));
  EXPECT_TRUE(startsWithNoCase("x#and#y", 1, "#AND#"));
  EXPECT_FALSE(startsWithNoCase("x#an", 1, "#AND#"));
  EXPECT_FALSE(startsWithNoCase("ab", 5, "A"));
  std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace tw::test
