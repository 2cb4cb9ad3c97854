#include "core/display_format.h"

#include "core/number_text.h"

#include <clocale>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace tw {
namespace {

struct Case {
  uint8_t format;
  double x;
  const char* expected;
};

void ExpectAll(const std::vector<Case>& cases, const FormatOptions& options, int width = 20) {
  for (const Case& c : cases) {
    EXPECT_EQ(FormatNumber(width, c.format, c.x, options), c.expected)
        << "format 0x" << std::hex << int(c.format) << " x " << c.x;
  }
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Results keep their one-character suffix: a space, "%" or ")".
// The general text taken from the shortest round-trip text is the general
// text itself, for numbers of every size and both separators.
TEST(GeneralText, FromTheShortestTextIsTheSame) {
  std::mt19937_64 random(11);
  std::vector<double> xs = {0,
                            1,
                            -1,
                            0.5,
                            1e-5,
                            9.99999e-6,
                            1e6,
                            1e6 + 0.5,
                            999999.9999999999,
                            0.1 + 0.2,
                            25.25,
                            -123456.789,
                            1.0 / 3,
                            2.0 / 3 * 1e5};
  std::uniform_real_distribution<double> exponent(-9, 9);
  std::uniform_real_distribution<double> mantissa(-10, 10);
  for (int i = 0; i < 20000; ++i) {
    double x = mantissa(random) * std::pow(10.0, std::floor(exponent(random)));
    xs.push_back(i % 3 ? x : std::round(x * 100) / 100);
  }
  for (char separator : {'.', ','})
    for (double x : xs) {
      std::string shortest = roundTripText(x, separator);
      std::string plain = GeneralText(x + 0.0, separator);
      GeneralText(12345.678, separator);  // another number in between
      ASSERT_EQ(GeneralTextFromShortest(x, shortest, separator), plain) << x;
    }
}

TEST(FormatNumber, NumericGroups) {
  const std::vector<Case> cases = {
      {0x02, 1234.567, "1234.57 "},
      {0x00, 2.5, "3 "},  // exact ties round away from zero
      {0x02, 0.125, "0.13 "},
      {0x02, -0.0, "0.00 "},
      {0x0F, 0.1, "0.100000000000000 "},
      {0x8A, 1.5, "1.5000000000 "},  // the protection bit is not part of the format
      {0x12, 1234.5, "1.23E+03 "},
      {0x13, 1234.5, "1.235E+03 "},
      {0x10, 9.5, "1E+01 "},
      {0x12, 1e100, "1.00E+100 "},
      {0x11, -0.00012, "-1.2E-04 "},
      {0x31, 0.125, "12.5%"},
      {0x30, -0.5, "-50%"},
      {0x42, -1234.5, "(1,234.50)"},
      {0x40, 1234567, "1,234,567 "},
      {0x42, 999.999, "1,000.00 "},
      {0x4A, 1234.5, "1,234.50 "},
      {0x02, kInf, "ERR "},
      {0x42, kNaN, "ERR "},
  };
  ExpectAll(cases, FormatOptions{});
}

TEST(FormatNumber, Currency) {
  FormatOptions dollars;
  dollars.currencySuffix = "";
  ExpectAll({{0x20, 5, "$5 "}, {0x22, -1234.5, "($1,234.50)"}, {0x22, 0.5, "$0.50 "}}, dollars);

  FormatOptions marks;
  marks.currencyPrefix = "";
  marks.currencySuffix = " DM";
  ExpectAll({{0x22, 1234.5, "1,234.50 DM "}, {0x22, -1234.5, "(1,234.50 DM)"}}, marks);

  // The default suffix " " comes before the one-space suffix every number gets.
  ExpectAll({{0x20, 5, "$5  "}}, FormatOptions{});
}

TEST(FormatNumber, OwnSeparators) {
  FormatOptions european;
  european.decimalSeparator = ',';
  european.thousandsSeparator = '.';
  const std::vector<Case> cases = {
      {0x42, 1234.5, "1.234,50 "}, {0x01, 0.5, "0,5 "},        {0x11, 1500, "1,5E+03 "},
      {0x71, 0.1, "0,1 "},         {0x71, 1.5e20, "1,5E+20 "}, {0x52, 12345, "12,35k "},
  };
  ExpectAll(cases, european);
}

// e = trunc(ln|x| / 2.3 + 0.0001); k = trunc(e / 3), one less for negative e.
TEST(FormatNumber, EngineeringLetters) {
  const std::vector<Case> cases = {
      {0x52, 12345, "12.35k "},
      {0x52, 0.002, "2.00m "},
      {0x52, 0.5, "0.50  "},  // k = 0: the letter is a space
      {0x52, 0, "0.00  "},
      {0x52, 999, "1.00k "},  // ln 999 / 2.3 is just above 3
      {0x52, 0.001, "1000.00u "},
      {0x52, 2e6, "2.00M "},
      {0x52, 3e9, "3.00G "},
      {0x52, 1e12, "1.00T "},
      {0x52, 2.5e-6, "2.50u "},
      {0x52, 5e-9, "5.00n "},
      {0x52, 7e-12, "7.00p "},
      {0x52, 4e-15, "4.00f "},
      {0x52, 6e-18, "6.00a "},
      {0x52, 1e15, "1.0000000000E+15 "},
      {0x52, 1e-20, "1.0000000000E-20 "},
  };
  ExpectAll(cases, FormatOptions{});
}

TEST(FormatNumber, Fractions) {
  const std::vector<Case> cases = {
      {0x2B, 2.25, "2-1/4 "},  {0x2B, 0.25, "1/4 "},        {0x29, 0.99, "1 "},
      {0x29, -2.5, "-2-1/2 "}, {0x2F, 1.0 / 128, "1/128 "}, {0x2B, -0.0625, "-1/8 "},
      {0x28, 2.5, "3 "},       {0x2B, kNaN, "ERR "},
  };
  ExpectAll(cases, FormatOptions{});
  const std::string huge = FormatNumber(20, 0x2B, 1e300, FormatOptions{});
  EXPECT_EQ(huge.size(), 302u);
  EXPECT_EQ(huge.substr(0, 4), "1000");
}

TEST(FormatNumber, Bar) {
  const std::vector<Case> cases = {
      {0x70, 3.4, "+++ "}, {0x70, -2, "-- "}, {0x70, 0, ". "},    {0x70, 0.4, ". "},
      {0x70, 2.5, "+++ "}, {0x70, 240, ""},   {0x70, -1e300, ""}, {0x70, kNaN, "ERR "},
  };
  ExpectAll(cases, FormatOptions{});
  EXPECT_EQ(FormatNumber(20, 0x70, 239, FormatOptions{}), std::string(239, '+') + " ");
}

TEST(FormatNumber, GeneralIsCutToTheWidthOnlyAtDecimals) {
  const FormatOptions o;
  EXPECT_EQ(FormatNumber(5, 0x71, 123.456, o), "123.4 ");
  EXPECT_EQ(FormatNumber(4, 0x71, 123.456, o), "123 ");
  EXPECT_EQ(FormatNumber(3, 0x71, 123.456, o), "123.456 ");  // point beyond the width
  EXPECT_EQ(FormatNumber(3, 0x71, 12345, o), "12345 ");
  EXPECT_EQ(FormatNumber(3, 0x71, 1e20, o), "1E+20 ");
  for (uint8_t f : {0x60, 0x75, 0x7D, 0x7E, 0x7F})
    EXPECT_EQ(FormatNumber(5, f, 123.456, o), "123.4 ");
}

TEST(FormatNumber, ZerosAsBlankAndHidden) {
  FormatOptions blank;
  blank.zerosBlank = true;
  for (uint8_t f : {0x02, 0x12, 0x22, 0x2B, 0x32, 0x42, 0x52, 0x70, 0x71, 0x72, 0x77, 0x7F}) {
    EXPECT_EQ(FormatNumber(10, f, 0, blank), "") << int(f);
    EXPECT_EQ(FormatNumber(10, f, -0.0, blank), "") << int(f);
  }
  EXPECT_EQ(FormatNumber(10, 0x02, 0.001, blank), "0.00 ");
  EXPECT_EQ(FormatNumber(10, 0x76, 5, FormatOptions{}), "");
  EXPECT_EQ(FormatNumber(10, 0x76, kNaN, FormatOptions{}), "");
}

TEST(FormatNumber, DatesAndTimes) {
  FormatOptions twoDigits;
  twoDigits.twoDigitYears = true;
  ExpectAll({{0x72, 36000, "24-Jul-1998 "}, {0x79, 36000, "07/24/1998 "}}, FormatOptions{});
  ExpectAll({{0x72, 36000, "24-Jul-98 "}}, twoDigits);

  const double tenThirty = 10.0 / 24 + 30.0 / 1440;
  const double almostEleven = (10 * 3600 + 59 * 60 + 59.6) / 86400;
  const std::vector<Case> cases = {
      {0x77, 0.75, "6:00:00 pm "},
      {0x7C, 0.75, "18:00 "},
      {0x78, 0.5, "12:00 pm "},
      {0x7B, tenThirty, "10:30:00 "},
      {0x7B, almostEleven, "11:00:00 "},
      {0x7C, almostEleven, "11:00 "},
      {0x7B, (23 * 3600 + 59 * 60 + 59.4) / 86400, "23:59:59 "},
      {0x7B, 0.999999, "00:00:00 "},  // rounds to midnight, wraps
      {0x77, 0.999999, "0:00:00 am "},
      {0x77, (13 * 3600 + 5 * 60 + 9) / 86400.0, "1:05:09 pm "},
      {0x7B, -0.25, "-06:00:00 "},
      {0x7B, 1e300, "00:00:00 "},
      {0x72, 1e300, "ERR "},
      {0x7B, kNaN, "ERR "},
  };
  ExpectAll(cases, FormatOptions{});
}

TEST(GeneralText, FifteenDigitsAndShortExponents) {
  const std::vector<std::pair<double, const char*>> cases = {
      {0, "0"},
      {-0.0, "0"},
      {0.1, "0.1"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {123456.789012345678, "123456.789012346"},
      {1000000, "1000000"},
      {999999.9999999999, "1000000"},
      {1000001, "1.000001E+06"},
      {123456789012, "1.2345678901E+11"},
      {12345678902.5, "1.2345678903E+10"},  // exact tie, away from zero
      {1e20, "1E+20"},
      {1.5e20, "1.5E+20"},
      {-1e100, "-1E+100"},
      {0.00001, "0.00001"},
      {0.0000123, "0.0000123"},
      {0.000005, "5E-06"},
      {1.23456789012345e-6, "1.23456789012345E-06"},
      {0.000001, "1E-06"},
      {2.5e-7, "2.5E-07"},
      {1e-100, "1E-100"},
      {5e-324, "4.9406564584E-324"},
      {kNaN, "ERR"},
  };
  for (const auto& [x, expected] : cases) EXPECT_EQ(GeneralText(x), expected) << x;
  EXPECT_EQ(GeneralText(-2.5e-7, ','), "-2,5E-07");
}

TEST(DateText, JulianDayMethod) {
  struct DateCase {
    int kind;
    double serial;
    bool twoDigits;
    const char* expected;
  };
  const std::vector<DateCase> cases = {
      {2, 36000, false, "24-Jul-1998"},
      {3, 36000, false, "24-Jul"},
      {4, 36000, false, "Jul 1998"},
      {9, 36000, false, "07/24/1998"},
      {10, 36000, false, "24/07/1998"},
      {12, 36000, false, "19980724"},
      {2, 36000.99, false, "24-Jul-1998"},
      {2, 0, false, "30-Dec-1899"},
      {2, 2, false, "01-Jan-1900"},
      {2, 60, false, "28-Feb-1900"},  // 1900 is not a leap year
      {2, 61, false, "01-Mar-1900"},
      {2, 36526, false, "01-Jan-2000"},
      {2, 36585, false, "29-Feb-2000"},
      {2, -115858, false, "15-Oct-1582"},
      {2, -115859, false, "04-Oct-1582"},
      {2, -328652, false, "29-Feb-1000"},  // Julian leap day
      {2, -2415019, false, "01-Jan--4712"},
      {2, 2958465, false, "31-Dec-9999"},
      {2, 2958466, false, "ERR"},
      {2, -2415020, false, "ERR"},
      {2, kInf, false, "ERR"},
      {5, 36000, false, "0/0/0"},
      {2, 36000, true, "24-Jul-98"},
      {9, 2, true, "01/01/00"},
      {12, 36000, true, "980724"},
      {2, -115858, true, "15-Oct-1582"},
  };
  for (const DateCase& c : cases) {
    EXPECT_EQ(DateText(c.kind, c.serial, c.twoDigits), c.expected) << c.kind << " " << c.serial;
  }
}

TEST(ParseFormatCode, Letters) {
  const std::vector<std::pair<const char*, int>> cases = {
      {"F2", 0x02},  {"f2", 0x02}, {"F", 0x00},  {"F15", 0x0F}, {"F123", 0x0C}, {"Fx2", 0x00},
      {"S3", 0x13},  {"E2", 0x52}, {"A2", 0x4A}, {"C0", 0x20},  {"M2", 0x42},   {"G", 0x71},
      {"+", 0x70},   {"P1", 0x31}, {"D1", 0x72}, {"D2", 0x73},  {"D3", 0x74},   {"D4", 0x79},
      {"D5", 0x7A},  {"T", 0x75},  {"T1", 0x77}, {"T2", 0x78},  {"T3", 0x7B},   {"t4", 0x7C},
      {"H", 0x76},   {"X", 0x75},  {"R", 0x7F},  {"L", 0x7E},   {"Q2", 0x7F},   {"", 0x7F},
      {"C99", 0x03},  // 0x20 + 99 kept to seven bits, never the protection bit
  };
  for (const auto& [code, expected] : cases) EXPECT_EQ(ParseFormatCode(code), expected) << code;
}

TEST(FormatCode, Descriptions) {
  const std::vector<std::tuple<int, bool, const char*>> cases = {
      {0x02, false, "F2"},   {0x13, false, "S3"}, {0x22, false, "C2"},   {0x2B, false, "Fr3"},
      {0x31, false, "%1"},   {0x42, false, ",2"}, {0x4A, false, ",2"},   {0x52, false, "E2"},
      {0x0C, false, "F12"},  {0x70, false, "+"},  {0x71, false, "G"},    {0x72, false, "D1"},
      {0x79, false, "D4"},   {0x7C, false, "T4"}, {0x7D, false, ""},     {0x7E, false, "Lb"},
      {0x7F, false, ""},     {0x82, false, "F2"}, {0x82, true, "Pr F2"}, {0x02, true, "Un F2"},
      {0xAB, true, "Pr Fr"}, {0x7D, true, "Un "},
  };
  for (const auto& [format, protection, expected] : cases) {
    EXPECT_EQ(FormatCode(format, protection), expected) << format;
  }
}

// The desktop toolkit sets the C library's locale from the environment;
// the texts must not follow it.
TEST(FormatNumber, IgnoresTheCLocale) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  const char* found = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"}) {
    if ((found = std::setlocale(LC_ALL, name)) != nullptr) break;
  }
  if (found == nullptr || std::localeconv()->decimal_point[0] != ',') {
    std::setlocale(LC_ALL, saved.c_str());
    GTEST_SKIP() << "no locale with a decimal comma is installed";
  }
  const FormatOptions o;
  EXPECT_EQ(FormatNumber(20, 0x02, 1234.567, o), "1234.57 ");
  EXPECT_EQ(FormatNumber(20, 0x42, -1234.5, o), "(1,234.50)");
  EXPECT_EQ(FormatNumber(20, 0x12, 1234.5, o), "1.23E+03 ");
  EXPECT_EQ(FormatNumber(20, 0x52, 12345, o), "12.35k ");
  EXPECT_EQ(GeneralText(0.1), "0.1");
  EXPECT_EQ(GeneralText(1.5e20), "1.5E+20");
  std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
}  // namespace tw
