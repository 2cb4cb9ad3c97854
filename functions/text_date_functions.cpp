#include "functions/text_date_functions.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "core/cell.h"
#include "core/char_case.h"
#include "core/day_serial.h"
#include "core/display_format.h"
#include "core/evaluator.h"
#include "core/formula_code.h"
#include "core/number_text.h"
#include "core/session.h"
#include "functions/financial_functions.h"
#include "functions/handler_support.h"
#include "functions/system_functions.h"

namespace tw {

namespace {

constexpr size_t kLimit = kMaxText;

std::string text(Evaluator& ev, EvalState& st, int n) {
  return argumentText(ev, st, n);
}
int integer(Evaluator& ev, EvalState& st, int n) {
  return argumentInteger(ev, st, n);
}
double number(Evaluator& ev, EvalState& st, int n) {
  return argumentNumber(ev, st, n);
}

// --- Strings -------------------------------------------------------------------

void fnLENGTH(Evaluator& ev, EvalState& st) {
  ev.setResult(st, static_cast<double>(text(ev, st, 1).size()));
}

// The leading number of s with the spaces taken out: "12 345abc" reads 12345,
// "1.5.2" reads 1.5, "abc" reads 0. Thousands separators are not skipped, so
// "1,234" reads 1.
MathResult leadingNumber(std::string_view s, char decimal) {
  std::string t;
  for (char c : s)
    if (c != ' ') t += c;
  auto isDigit = [&](size_t i) { return i < t.size() && t[i] >= '0' && t[i] <= '9'; };
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  size_t digits = 0;
  for (; isDigit(i); ++i) ++digits;
  if (i < t.size() && t[i] == decimal) {
    ++i;
    for (; isDigit(i); ++i) ++digits;
  }
  if (digits == 0) return {0, false};
  size_t end = i;
  bool negativeExponent = false;
  if (i < t.size() && (t[i] == 'E' || t[i] == 'e')) {
    size_t j = i + 1;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) {
      negativeExponent = t[j] == '-';
      ++j;
    }
    if (isDigit(j)) {
      while (isDigit(j)) ++j;
      end = j;
    }
  }
  if (auto x = parseNumberText(std::string_view(t).substr(0, end), decimal)) return {*x, false};
  // Out of the double range: too small reads as 0, too large cannot be held.
  if (negativeExponent) return {0, false};
  return {1, true};
}

void fnVAL(Evaluator& ev, EvalState& st) {
  giveResult(ev, st, leadingNumber(text(ev, st, 1), ev.session().settings().decimalSeparator));
}

void fnORD(Evaluator& ev, EvalState& st) {
  std::string s = text(ev, st, 1);
  ev.setResult(st, s.empty() ? 0 : static_cast<unsigned char>(s[0]));
}

void fnCHR(Evaluator& ev, EvalState& st) {
  char c = static_cast<char>(static_cast<uint8_t>(integer(ev, st, 1) & 0xFF));
  ev.setResultString(st, std::string_view(&c, 1));
}

void fnSTR(Evaluator& ev, EvalState& st) {
  double x = number(ev, st, 1);
  // The fixed formats go to 15 places, beyond which a double has no digits left.
  int places = std::clamp(integer(ev, st, 2), 0, 15);
  FormatOptions options;
  options.decimalSeparator = ev.session().settings().decimalSeparator;
  std::string s = FormatNumber(0, static_cast<uint8_t>(places), x, options);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  // A negative number that rounds to zero reads as zero, not "-0.00".
  if (!s.empty() && s[0] == '-' && s.find_first_of("123456789") == std::string::npos) s.erase(0, 1);
  ev.setResultString(st, s);
}

void fnMID(Evaluator& ev, EvalState& st) {
  std::string s = text(ev, st, 1);
  int start = std::max(integer(ev, st, 2), 1);
  int count = integer(ev, st, 3);
  if (count <= 0 || static_cast<size_t>(start) > s.size()) {
    ev.setResultString(st, "");
    return;
  }
  ev.setResultString(st, s.substr(start - 1, count));
}

void fnLEFT(Evaluator& ev, EvalState& st) {
  std::string s = text(ev, st, 1);
  int count = integer(ev, st, 2);
  ev.setResultString(st, count <= 0 ? std::string() : s.substr(0, count));
}

void fnRIGHT(Evaluator& ev, EvalState& st) {
  std::string s = text(ev, st, 1);
  int count = integer(ev, st, 2);
  if (count <= 0) {
    ev.setResultString(st, "");
    return;
  }
  size_t start = static_cast<size_t>(count) >= s.size() ? 0 : s.size() - count;
  ev.setResultString(st, s.substr(start));
}

void fnREPEAT(Evaluator& ev, EvalState& st) {
  std::string s = text(ev, st, 1);
  int count = integer(ev, st, 2);
  std::string out;
  // Stops at the string limit: REPEAT("ab", 32767) costs no more than 240 characters.
  for (int i = 0; i < count && !s.empty() && out.size() < kLimit; ++i) out += s;
  if (out.size() > kLimit) out.resize(kLimit);
  ev.setResultString(st, out);
}

// The search starts at position max(p, 1); the result counts from p, so p = 0
// gives 0-based positions. A start below 0 counts like 0 so that a found text
// never gets a negative position.
void fnFIND(Evaluator& ev, EvalState& st) {
  std::string search = text(ev, st, 1);
  std::string s = text(ev, st, 2);
  int p = integer(ev, st, 3);
  size_t from = static_cast<size_t>(std::max(p, 1)) - 1;
  size_t at = from <= s.size() ? s.find(search, from) : std::string::npos;
  double result = at == std::string::npos ? 0 : std::max(p, 0) + static_cast<double>(at - from);
  ev.setResult(st, result);
}

void fnEXACT(Evaluator& ev, EvalState& st) {
  ev.setResult(st, text(ev, st, 1) == text(ev, st, 2) ? 1 : 0);
}

void fnUPPER(Evaluator& ev, EvalState& st) {
  std::string s = text(ev, st, 1);
  std::transform(s.begin(), s.end(), s.begin(), upperChar);
  ev.setResultString(st, s);
}

void fnLOWER(Evaluator& ev, EvalState& st) {
  std::string s = text(ev, st, 1);
  std::transform(s.begin(), s.end(), s.begin(), lowerChar);
  ev.setResultString(st, s);
}

// Every other character gets bit 0x20: that lowers the letters, and also
// turns "@" into "`" and "[" .. "_" into "{" .. DEL, which worksheets see.
void fnPROPER(Evaluator& ev, EvalState& st) {
  std::string s = text(ev, st, 1);
  for (size_t i = 0; i < s.size(); ++i) {
    if (i == 0 || s[i - 1] == ' ')
      s[i] = upperChar(s[i]);
    else
      s[i] = static_cast<char>(s[i] | 0x20);
  }
  ev.setResultString(st, s);
}

void fnTRIM(Evaluator& ev, EvalState& st) {
  std::string s = text(ev, st, 1);
  std::string out;
  for (char c : s)
    if (c != ' ' || out.empty() || out.back() != ' ') out += c;
  if (!out.empty() && out.front() == ' ') out.erase(0, 1);
  if (!out.empty() && out.back() == ' ') out.pop_back();
  ev.setResultString(st, out);
}

void fnCLEAN(Evaluator& ev, EvalState& st) {
  std::string s = text(ev, st, 1);
  std::erase_if(s, [](char c) {
    auto u = static_cast<unsigned char>(c);
    return u < 32 || u > 127;
  });
  ev.setResultString(st, s);
}

// --- Dates and times --------------------------------------------------------------

void fnDATE(Evaluator& ev, EvalState& st) {
  ev.setResult(st, DateSerial(number(ev, st, 1), number(ev, st, 2), number(ev, st, 3)));
}

void fnDAY(Evaluator& ev, EvalState& st) {
  ev.setResult(st, SerialToDate(number(ev, st, 1)).day);
}
void fnMONTH(Evaluator& ev, EvalState& st) {
  ev.setResult(st, SerialToDate(number(ev, st, 1)).month);
}
void fnYEAR(Evaluator& ev, EvalState& st) {
  ev.setResult(st, SerialToDate(number(ev, st, 1)).year);
}

void fnTIME(Evaluator& ev, EvalState& st) {
  giveResult(ev, st, {TimeSerial(number(ev, st, 1), number(ev, st, 2), number(ev, st, 3)), false});
}

void fnHOUR(Evaluator& ev, EvalState& st) {
  ev.setResult(st, SerialToTime(number(ev, st, 1)).hour);
}
void fnMINUTE(Evaluator& ev, EvalState& st) {
  ev.setResult(st, SerialToTime(number(ev, st, 1)).minute);
}
void fnSECOND(Evaluator& ev, EvalState& st) {
  ev.setResult(st, SerialToTime(number(ev, st, 1)).second);
}

void fnTODAY(Evaluator& ev, EvalState& st) {
  Host& host = ev.session().host();
  ev.setResult(st, host.daySerialToday() + host.secondsSinceMidnight() / 86400);
}

void fnDATEVAL(Evaluator& ev, EvalState& st) {
  ev.setResult(st, DateValue(text(ev, st, 1), ev.session().settings().usDates));
}

void fnTIMEVAL(Evaluator& ev, EvalState& st) {
  giveResult(ev, st, {TimeValue(text(ev, st, 1)), false});
}

}  // namespace

void installTextDateFunctions(FunctionTable& t) {
  // The table names it and gives it one argument; it has no function of its own.
  t.define(0x6A, "REPLACE", cls::kArgs1, nullptr);
  t.define(0x46, "LENGTH", cls::kArgs1, fnLENGTH);
  t.define(0x47, "VAL", cls::kArgs1, fnVAL);
  t.define(0x48, "STR", cls::kArgs2, fnSTR);
  t.define(0x49, "MID", cls::kArgs3, fnMID);
  t.define(0x4A, "CHR", cls::kArgs1, fnCHR);
  t.define(0x4B, "ORD", cls::kArgs1, fnORD);
  t.define(0x4C, "FIND", cls::kArgs3, fnFIND);
  t.define(0x65, "REPEAT", cls::kArgs2, fnREPEAT);
  t.define(0x66, "UPPER", cls::kArgs1, fnUPPER);
  t.define(0x67, "LOWER", cls::kArgs1, fnLOWER);
  t.define(0x68, "LEFT", cls::kArgs2, fnLEFT);
  t.define(0x69, "RIGHT", cls::kArgs2, fnRIGHT);
  t.define(0x6B, "PROPER", cls::kArgs1, fnPROPER);
  t.define(0x6D, "TRIM", cls::kArgs1, fnTRIM);
  t.define(0x6E, "CLEAN", cls::kArgs1, fnCLEAN);
  t.define(0x71, "EXACT", cls::kArgs2, fnEXACT);

  t.define(0x36, "DATE", cls::kArgs3, fnDATE);
  t.define(0x37, "TODAY", cls::kArgs0, fnTODAY);
  t.define(0x3C, "DAY", cls::kArgs1, fnDAY);
  t.define(0x3D, "MONTH", cls::kArgs1, fnMONTH);
  t.define(0x3E, "YEAR", cls::kArgs1, fnYEAR);
  t.define(0x40, "TIME", cls::kArgs3, fnTIME);
  t.define(0x41, "HOUR", cls::kArgs1, fnHOUR);
  t.define(0x42, "MINUTE", cls::kArgs1, fnMINUTE);
  t.define(0x43, "SECOND", cls::kArgs1, fnSECOND);
  t.define(0x4D, "DATEVAL", cls::kArgs1, fnDATEVAL);
  t.define(0x4E, "TIMEVAL", cls::kArgs1, fnTIMEVAL);

  installFinancialFunctions(t);
  installSystemFunctions(t);
}

}  // namespace tw
