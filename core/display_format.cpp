#include "core/display_format.h"

#include <bit>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>

#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

FormatOptions formatOptions(const Worksheet& ws) {
  const ProgramSettings& program = ws.session().settings();
  FormatOptions options;
  options.decimalSeparator = program.decimalSeparator;
  options.thousandsSeparator = program.thousandsSeparator;
  options.currencyPrefix = ws.settings.currencyPrefix;
  options.currencySuffix = ws.settings.currencySuffix;
  options.zerosBlank = ws.settings.zerosHidden;
  options.twoDigitYears = program.twoDigitYears;
  return options;
}

namespace {

// What a value that cannot be shown in its format (NaN, infinity, a date off
// the calendar) shows instead.
constexpr const char* kNotShowable = "ERR";

// Enough for any double in fixed notation with the decimals asked for here
// (309 integer digits, or up to ~360 decimals for the tie test of tiny values).
using TextBuffer = std::array<char, 1200>;

std::string intText(long long n) {
  std::array<char, 24> buf;
  auto r = std::to_chars(buf.data(), buf.data() + buf.size(), n);
  return std::string(buf.data(), r.ptr);
}

// n with at least `digits` digits, zeros in front (after a minus sign).
std::string paddedInt(long long n, int digits) {
  std::string s = intText(n < 0 ? -n : n);
  if (static_cast<int>(s.size()) < digits) s.insert(0, digits - s.size(), '0');
  if (n < 0) s.insert(0, 1, '-');
  return s;
}

// The library conversions are locale-independent and round correctly, but
// they send exact ties to the even digit; a spreadsheet rounds them away from
// zero (2.5 shows 3, 0.125 shows 0.13), so ties are found and done by hand.
std::string fixedDigits(double ax, int decimals) {
  TextBuffer buf;
  auto r =
      std::to_chars(buf.data(), buf.data() + buf.size(), ax, std::chars_format::fixed, decimals);
  if (r.ec != std::errc()) return kNotShowable;
  return std::string(buf.data(), r.ptr);
}

// The whole decimal expansion of ax when it ends within `decimals` places.
// x = m * 2^e has a finite expansion with d places exactly when x * 2^d is
// an integer, which the scaling by a power of two tests without rounding.
std::optional<std::string> exactFixedDigits(double ax, int decimals) {
  const double scaled = std::ldexp(ax, decimals);
  if (!std::isfinite(scaled) || std::trunc(scaled) != scaled) return std::nullopt;
  return fixedDigits(ax, decimals);
}

// One unit added in the last place of a digit string that may hold a point.
void incrementLastDigit(std::string& s) {
  for (size_t i = s.size(); i-- > 0;) {
    if (s[i] == '.') continue;
    if (s[i] != '9') {
      ++s[i];
      return;
    }
    s[i] = '0';
  }
  s.insert(s.begin(), '1');
}

// ax (finite, not negative) with `decimals` places, ties away from zero.
std::string roundedFixed(double ax, int decimals) {
  if (ax != std::trunc(ax)) {
    std::optional<std::string> exact = exactFixedDigits(ax, decimals + 1);
    if (exact && exact->back() == '5') {
      exact->pop_back();
      if (exact->back() == '.') exact->pop_back();
      incrementLastDigit(*exact);
      return *exact;
    }
  }
  return fixedDigits(ax, decimals);
}

struct ScientificDigits {
  std::string digits;  // decimals + 1 significant digits, no point
  int exponent = 0;
};

// ax (finite, not negative) rounded to decimals + 1 significant digits,
// ties away from zero.
ScientificDigits roundedScientific(double ax, int decimals) {
  TextBuffer buf;
  auto r = std::to_chars(buf.data(), buf.data() + buf.size(), ax, std::chars_format::scientific,
                         decimals);
  const std::string_view text(buf.data(), r.ptr - buf.data());
  const size_t e = text.find('e');
  ScientificDigits out;
  out.digits = text.substr(0, 1);
  if (decimals > 0) out.digits += text.substr(2, e - 2);
  const bool negativeExponent = text[e + 1] == '-';
  std::from_chars(text.data() + e + 2, text.data() + text.size(), out.exponent);
  if (negativeExponent) out.exponent = -out.exponent;

  // A tie needs the whole expansion to end one digit after the kept ones.
  // When the library carried into a new leading digit (9.5 -> 1E+01) the
  // test below is stricter than needed, but a carry already rounded away.
  const int places = std::max(decimals + 1 - out.exponent, 0);
  std::optional<std::string> exact = exactFixedDigits(ax, places);
  if (!exact) return out;
  const size_t point = std::min(exact->find('.'), exact->size());
  std::string significant = *exact;
  if (point < significant.size()) significant.erase(point, 1);
  const size_t lead = significant.find_first_not_of('0');
  if (lead == std::string::npos) return out;
  int exponent = static_cast<int>(point) - 1 - static_cast<int>(lead);
  significant.erase(0, lead);
  significant.erase(significant.find_last_not_of('0') + 1);
  if (static_cast<int>(significant.size()) != decimals + 2 || significant.back() != '5') {
    return out;
  }
  significant.pop_back();
  incrementLastDigit(significant);
  if (static_cast<int>(significant.size()) > decimals + 1) {
    significant.pop_back();
    ++exponent;
  }
  out.digits = significant;
  out.exponent = exponent;
  return out;
}

// "E", the sign and at least two exponent digits: E+03, E-07, E+100.
std::string exponentText(int exponent) {
  std::string s = exponent < 0 ? "E-" : "E+";
  s += paddedInt(exponent < 0 ? -exponent : exponent, 2);
  return s;
}

std::string withSeparator(std::string s, char decimalSeparator) {
  std::replace(s.begin(), s.end(), '.', decimalSeparator);
  return s;
}

void dropTrailingZeros(std::string& s) {
  if (s.find('.') == std::string::npos) return;
  s.erase(s.find_last_not_of('0') + 1);
  if (s.back() == '.') s.pop_back();
}

std::string signedFixed(double x, int decimals, char decimalSeparator) {
  std::string s = x < 0 ? "-" : "";
  s += withSeparator(roundedFixed(std::fabs(x), decimals), decimalSeparator);
  return s;
}

std::string scientificText(double x, int decimals, char decimalSeparator) {
  const ScientificDigits parts = roundedScientific(std::fabs(x), decimals);
  std::string s = x < 0 ? "-" : "";
  s += parts.digits[0];
  if (decimals > 0) {
    s += decimalSeparator;
    s.append(parts.digits, 1);
  }
  s += exponentText(parts.exponent);
  return s;
}

// |x| with thousands separators; the caller adds sign and parentheses.
std::string groupedText(double ax, int decimals, const FormatOptions& options) {
  const std::string digits = roundedFixed(ax, decimals);
  const size_t point = std::min(digits.find('.'), digits.size());
  std::string s;
  // Grouping follows the rounded digits, so 999.999 at two places reads
  // 1,000.00 like every other four-digit number.
  for (size_t i = 0; i < point; ++i) {
    if (i > 0 && (point - i) % 3 == 0) s += options.thousandsSeparator;
    s += digits[i];
  }
  if (point < digits.size()) {
    s += options.decimalSeparator;
    s.append(digits, point + 1);
  }
  return s;
}

std::string fractionText(double x, int power) {
  const double ax = std::fabs(x);
  int denominator = 1 << power;
  const double whole = std::trunc(ax);
  // The part after the point is in [0, 1), so the numerator is 0..denominator.
  int numerator = static_cast<int>(std::round((ax - whole) * denominator));
  while (numerator > 0 && numerator % 2 == 0) {
    numerator /= 2;
    denominator /= 2;
  }
  std::string s = x < 0 ? "-" : " ";
  if (numerator > 0 && numerator == denominator) {
    s += fixedDigits(whole + 1, 0);
  } else if (numerator > 0) {
    if (whole != 0) s += fixedDigits(whole, 0) + "-";
    s += intText(numerator) + "/" + intText(denominator);
  } else {
    s += fixedDigits(whole, 0);
  }
  return s;
}

std::string engineeringText(double x, int decimals, char decimalSeparator) {
  int k = 0;
  if (x != 0) {
    // 2.3 rather than ln 10 decides where the letter changes; |ln x| is at
    // most about 745 for a finite double, so the exponent fits an int.
    const int e = static_cast<int>(std::trunc(std::log(std::fabs(x)) / 2.3 + 0.0001));
    k = e / 3;
    if (e < 0) --k;
  }
  if (k < -6 || k > 4) return scientificText(x, 10, decimalSeparator);
  double power = 1;
  for (int i = 0; i < std::abs(k); ++i) power *= 1000;
  const double scaled = k >= 0 ? x / power : x * power;
  static constexpr std::string_view kLetters = "afpnum kMGT";
  return signedFixed(scaled, decimals, decimalSeparator) + kLetters[k + 6];
}

std::string barText(double x) {
  const double n = std::round(x);
  if (n == 0) return ".";
  if (!(std::fabs(n) < 240)) return {};
  return std::string(static_cast<size_t>(std::fabs(n)), n > 0 ? '+' : '-');
}

std::string generalCell(int width, double x, char decimalSeparator) {
  std::string s = GeneralText(x, decimalSeparator);
  const size_t point = s.find(decimalSeparator);
  if (width >= 0 && static_cast<int>(s.size()) > width && s.find('E') == std::string::npos &&
      point != std::string::npos && static_cast<int>(point) < width) {
    s.resize(width);
    if (s.back() == decimalSeparator) s.pop_back();
  }
  return s;
}

std::string timeCell(int kind, double x) {
  const double ax = std::fabs(x);
  // Rounded to the second; the last half second of a day shows the
  // midnight it rounds to rather than 24:00:00.
  const long seconds = static_cast<long>(std::round((ax - std::floor(ax)) * 86400)) % 86400;
  std::string s = x < 0 ? "-" : "";
  s += TimeText(kind, static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                static_cast<int>(seconds % 60));
  return s;
}

constexpr std::array<const char*, 12> kMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The first and last days a date format shows: Julian day 0 (1 January
// 4713 BC), where the day-number method stops working for earlier days, and
// 31 December 9999, the last four-digit year.
constexpr double kFirstDateSerial = -2415019;
constexpr double kLastDateSerial = 2958465;

}  // namespace

namespace {

// Listings and windows ask for the same number's general text twice in a
// row (its value, then how it shows): the last answer is kept.
struct LastGeneralText {
  uint64_t bits = 0;
  char separator = 0;
  bool valid = false;
  std::string text;
};
thread_local LastGeneralText lastGeneral;

std::string generalTextOf(double x, char decimalSeparator);

const std::string& remembered(double x, char separator, std::string text) {
  lastGeneral.bits = std::bit_cast<uint64_t>(x);
  lastGeneral.separator = separator;
  lastGeneral.valid = true;
  lastGeneral.text = std::move(text);
  return lastGeneral.text;
}

}  // namespace

std::string GeneralText(double x, char decimalSeparator) {
  if (lastGeneral.valid && lastGeneral.bits == std::bit_cast<uint64_t>(x) &&
      lastGeneral.separator == decimalSeparator)
    return lastGeneral.text;
  return remembered(x, decimalSeparator, generalTextOf(x, decimalSeparator));
}

bool GeneralTextIsShortest(double x, std::string_view shortest) {
  const double ax = std::fabs(x);
  if (x == 0 || !std::isfinite(x) || ax < 0.00001 || ax > 1000000 ||
      shortest.find('E') != std::string_view::npos)
    return false;
  int significant = 0;
  bool started = false;
  for (char c : shortest) {
    if (c < '0' || c > '9') continue;
    if (c != '0') started = true;
    if (started) ++significant;
  }
  return significant <= 15;
}

std::string GeneralTextFromShortest(double x, const std::string& shortest, char decimalSeparator) {
  if (GeneralTextIsShortest(x, shortest)) return remembered(x, decimalSeparator, shortest);
  return GeneralText(x, decimalSeparator);
}

namespace {

std::string generalTextOf(double x, char decimalSeparator) {
  if (x == 0) return "0";
  if (!std::isfinite(x)) return kNotShowable;
  const double ax = std::fabs(x);
  if (ax >= 0.00001 && ax <= 1000000) {
    // Most numbers have a shortest form of at most 15 significant digits,
    // which is then exactly their 15-digit rounding.
    char buf[40];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed);
    if (ec == std::errc()) {
      int significant = 0;
      bool started = false;
      for (const char* p = buf; p != end; ++p) {
        if (*p < '0' || *p > '9') continue;
        if (*p != '0') started = true;
        if (started) ++significant;
      }
      if (significant <= 15) return withSeparator(std::string(buf, end), decimalSeparator);
    }
  }
  std::string s = x < 0 ? "-" : "";
  std::string body;
  if (ax >= 0.000001 && ax <= 1000000) {
    const ScientificDigits parts = roundedScientific(ax, 14);
    if (ax >= 0.00001) {
      const int e = parts.exponent;  // -5..6 in this range
      if (e >= 0) {
        body = parts.digits.substr(0, e + 1) + "." + parts.digits.substr(e + 1);
      } else {
        body = "0." + std::string(-e - 1, '0') + parts.digits;
      }
      dropTrailingZeros(body);
      return s + withSeparator(body, decimalSeparator);
    }
    body = parts.digits.substr(0, 1) + "." + parts.digits.substr(1);
    dropTrailingZeros(body);
    body += exponentText(parts.exponent);
  } else {
    const ScientificDigits parts = roundedScientific(ax, 10);
    body = parts.digits.substr(0, 1) + "." + parts.digits.substr(1);
    dropTrailingZeros(body);
    body += exponentText(parts.exponent);
  }
  return s + withSeparator(body, decimalSeparator);
}

}  // namespace

std::string FormatNumber(int width, uint8_t format, double x, const FormatOptions& options) {
  format &= kFormatMask;
  if (options.zerosBlank && x == 0) format = kFormatHidden;
  if (format == kFormatHidden) return {};
  const int group = format >> 4;
  const int low = format & 0x0F;
  const char separator = options.decimalSeparator;
  std::string body;
  std::string suffix = " ";
  if (!std::isfinite(x)) {
    body = kNotShowable;
  } else {
    switch (group) {
      case 0:
        body = signedFixed(x, low, separator);
        break;
      case 1:
        body = scientificText(x, low, separator);
        break;
      case 2:
        if (low & 8) {
          body = fractionText(x, low & 7);
        } else {
          const std::string digits = groupedText(std::fabs(x), low & 7, options);
          body = x < 0 ? "(" : "";
          body += options.currencyPrefix + digits + options.currencySuffix;
          if (x < 0) suffix = ")";
        }
        break;
      case 3: {
        const double percent = x * 100;
        if (!std::isfinite(percent)) {
          body = kNotShowable;
        } else {
          body = signedFixed(percent, low & 7, separator);
          suffix = "%";
        }
        break;
      }
      case 4:
        body = groupedText(std::fabs(x), low & 7, options);
        if (x < 0) {
          body.insert(0, 1, '(');
          suffix = ")";
        }
        break;
      case 5:
        body = engineeringText(x, low, separator);
        break;
      case 6:
        body = generalCell(width, x, separator);
        break;
      default:
        switch (format) {
          case kFormatBar:
            body = barText(x);
            break;
          case kFormatD1:
          case kFormatD2:
          case kFormatD3:
          case kFormatD4:
          case kFormatD5:
            body = DateText(low, x, options.twoDigitYears);
            break;
          case kFormatT1:
          case kFormatT2:
          case kFormatT3:
          case kFormatT4:
            body = timeCell(low, x);
            break;
          default:  // general, text, none, label, default
            body = generalCell(width, x, separator);
            break;
        }
        break;
    }
  }
  body += suffix;
  body.erase(0, body.find_first_not_of(' '));
  return body;
}

uint8_t ParseFormatCode(std::string_view code) {
  static constexpr std::string_view kLetters = "FSEACMG+PDTHXRL";
  if (code.empty()) return kFormatDefault;
  char letter = code[0];
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
  if (kLetters.find(letter) == std::string_view::npos) return kFormatDefault;
  int n = 0;
  for (size_t i = 1; i < code.size() && i <= 2 && code[i] >= '0' && code[i] <= '9'; ++i) {
    n = n * 10 + (code[i] - '0');
  }
  int format = kFormatDefault;
  switch (letter) {
    case 'F':
      format = n;
      break;
    case 'S':
      format = 0x10 + n;
      break;
    case 'E':
      format = 0x50 + n;
      break;
    case 'A':
      format = 0x48 + n;
      break;
    case 'C':
      format = 0x20 + n;
      break;
    case 'M':
      format = 0x40 + n;
      break;
    case 'G':
      format = kFormatGeneral;
      break;
    case '+':
      format = kFormatBar;
      break;
    case 'P':
      format = 0x30 + n;
      break;
    case 'D':
      format = 0x70 + (n < 4 ? n + 1 : n + 5);
      break;
    case 'T':
      format = n == 0 ? kFormatText : 0x70 + (n < 3 ? n + 6 : n + 8);
      break;
    case 'H':
      format = kFormatHidden;
      break;
    case 'X':
      format = kFormatText;
      break;
    case 'R':
      format = kFormatDefault;
      break;
    case 'L':
      format = kFormatLabel;
      break;
  }
  // A large number must not spill into the protection bit.
  return static_cast<uint8_t>(format & kFormatMask);
}

std::string FormatCode(uint8_t format, bool protectionOn) {
  static constexpr std::array<const char*, 16> kSpecialCodes = {
      "+", "G", "D1", "D2", "D3", "T", "H", "T1", "T2", "D4", "D5", "T3", "T4", "", "Lb", ""};
  const int group = (format >> 4) & 7;
  const int low = format & 0x0F;
  std::string code;
  if (group == 7) {
    code = kSpecialCodes[low];
  } else if (group == 2 && (low & 8)) {
    code = "Fr" + intText(low & 7);
  } else {
    // Fixed, scientific and engineering keep four bits of decimals; the
    // others three.
    code = "FSC%,EG"[group];
    code += intText(group == 0 || group == 1 || group == 5 ? low : low & 7);
  }
  if (protectionOn) {
    code.insert(0, (format & kFormatProtected) ? "Pr " : "Un ");
    if (code.size() > 5) code.resize(5);
  }
  return code;
}

std::string DateText(int kind, double serial, bool twoDigitYears) {
  if (kind != 2 && kind != 3 && kind != 4 && kind != 9 && kind != 10 && kind != 12) {
    return "0/0/0";
  }
  if (!(serial > kFirstDateSerial - 1 && serial < kLastDateSerial + 1)) return kNotShowable;

  // Julian day number to calendar date; the Gregorian correction starts at
  // 15 October 1582 (serial -115858), earlier days are Julian calendar.
  long long j = static_cast<long long>(serial + 2415019);
  if (serial >= -115858) {
    const long long a = static_cast<long long>((j - 1867216.25) / 36524.25);
    j = j + 1 + a - a / 4;
  }
  const long long b = j + 1524;
  const long long c = static_cast<long long>((b - 122.1) / 365.25);
  const long long dd = static_cast<long long>(365.25 * c);
  const long long e = static_cast<long long>((b - dd) / 30.6001);
  const int day = static_cast<int>(b - dd - static_cast<long long>(30.6001 * e));
  const int month = static_cast<int>(e > 13 ? e - 13 : e - 1);
  long long year = month < 3 ? c - 4715 : c - 4716;

  int yearDigits = 4;
  // Only the twentieth century has a two-digit form; other years stay whole.
  if (twoDigitYears && year >= 1900 && year <= 1999) {
    year -= 1900;
    yearDigits = 2;
  }
  const std::string dayText = paddedInt(day, 2);
  const std::string monthText = paddedInt(month, 2);
  const std::string yearText = paddedInt(year, yearDigits);
  const std::string monthName = month >= 1 && month <= 12 ? kMonthNames[month - 1] : "???";
  switch (kind) {
    case 2:
      return dayText + "-" + monthName + "-" + yearText;
    case 3:
      return dayText + "-" + monthName;
    case 4:
      return monthName + " " + yearText;
    case 9:
      return monthText + "/" + dayText + "/" + yearText;
    case 10:
      return dayText + "/" + monthText + "/" + yearText;
    default:
      return yearText + monthText + dayText;
  }
}

std::string TimeText(int kind, int hours, int minutes, int seconds) {
  const bool twelveHour = kind == 7 || kind == 8;
  const bool withSeconds = kind == 7 || kind == 11;
  if (!twelveHour && kind != 11 && kind != 12) return {};
  std::string s = twelveHour ? intText(hours > 12 ? hours - 12 : hours) : paddedInt(hours, 2);
  s += ":" + paddedInt(minutes, 2);
  if (withSeconds) s += ":" + paddedInt(seconds, 2);
  if (twelveHour) s += hours < 12 ? " am" : " pm";
  return s;
}

}  // namespace tw
