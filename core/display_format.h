// Display formats: how a number, a format byte and a column width become the
// text a cell shows, and the short codes by which formats are typed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tw {

class Worksheet;

// The settings the formats read.
struct FormatOptions {
  char decimalSeparator = '.';
  char thousandsSeparator = ',';
  std::string currencyPrefix = "$";
  std::string currencySuffix = " ";
  bool zerosBlank = false;
  bool twoDigitYears = false;
};

// The options in force for a worksheet (its own block and the program's).
FormatOptions formatOptions(const Worksheet& ws);

// Format byte values of the special group 7.
enum SpecialFormat : uint8_t {
  kFormatBar = 0x70,
  kFormatGeneral = 0x71,
  kFormatD1 = 0x72,
  kFormatD2 = 0x73,
  kFormatD3 = 0x74,
  kFormatText = 0x75,
  kFormatHidden = 0x76,
  kFormatT1 = 0x77,
  kFormatT2 = 0x78,
  kFormatD4 = 0x79,
  kFormatD5 = 0x7A,
  kFormatT3 = 0x7B,
  kFormatT4 = 0x7C,
  kFormatNone = 0x7D,
  kFormatLabel = 0x7E,
  kFormatDefault = 0x7F,
};

// The cell text of x; width is the column width in characters. Leading
// spaces are removed; most results end in one space (see the format rules).
std::string FormatNumber(int width, uint8_t format, double x, const FormatOptions& options);
// The general format without a width: 15 significant digits, display only.
std::string GeneralText(double x, char decimalSeparator = '.');
// Whether x's shortest round-trip text (roundTripText) is its general text
// too: written without an exponent, in the fixed range, in at most 15
// significant digits.
bool GeneralTextIsShortest(double x, std::string_view shortest);
// The same, given x's shortest round-trip text (roundTripText), which is
// very often the answer: the number is then converted once.
std::string GeneralTextFromShortest(double x, const std::string& shortest,
                                    char decimalSeparator = '.');
// "F2", "C0", "D4", "T", "H"...: the format byte; unknown letters give 0x7F.
uint8_t ParseFormatCode(std::string_view code);
// The short description of a format byte; with protectionOn, "Pr " or "Un "
// in front and the whole cut to 5 characters.
std::string FormatCode(uint8_t format, bool protectionOn);
// Date texts: kind is the low four bits of a group 7 format (2, 3, 4, 9, 10)
// or 12 for YYYYMMDD; other kinds give "0/0/0".
std::string DateText(int kind, double serial, bool twoDigitYears = false);
// Time texts: kind is 7, 8, 11 or 12 (T1..T4).
std::string TimeText(int kind, int hours, int minutes, int seconds);

}  // namespace tw
