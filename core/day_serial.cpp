#include "core/day_serial.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "core/numeric_rules.h"

namespace tw {

double DateSerial(double year, double month, double day) {
  double y = std::abs(integerRule(year));
  double m = integerRule(month);
  double d = integerRule(day);
  if (y <= 99) y += 1900;
  if (m < 3) {
    m += 12;
    y -= 1;
  }
  double s = std::floor(365.25 * y) + std::trunc(30.6001 * (m + 1)) + d - 694024;
  if (s >= -115848) {
    double h = std::floor(y / 100);
    s = s - h + std::floor(h / 4) + 2;
  }
  return s;
}

double TimeSerial(double hours, double minutes, double seconds) {
  return hours / 24 + minutes / 1440 + seconds / 86400;
}

CalendarDate SerialToDate(double serial) {
  if (!std::isfinite(serial)) serial = 0;
  serial = std::clamp(serial, -2.0e9, 2.0e9);
  double j = std::trunc(serial + 2415019);
  if (serial >= kGregorianStart) {
    double b = std::trunc((j - 1867216.25) / 36524.25);
    j = j + 1 + b - std::trunc(b / 4);
  }
  double a = j + 1524;
  double c = std::trunc((a - 122.1) / 365.25);
  double d = std::trunc(365.25 * c);
  double e = std::trunc((a - d) / 30.6001);
  CalendarDate out;
  out.day = static_cast<int>(a - d - std::trunc(30.6001 * e));
  out.month = static_cast<int>(e > 13.5 ? e - 13 : e - 1);
  out.year = static_cast<int>(out.month < 3 ? c - 4715 : c - 4716);
  return out;
}

ClockTime SerialToTime(double serial) {
  if (!std::isfinite(serial)) return {};
  double t = (serial - std::floor(serial)) * 24;
  int hour = static_cast<int>(std::trunc(t));
  double t2 = (t - hour + 0.0000694) * 60;
  int minute = static_cast<int>(std::trunc(t2));
  int second = static_cast<int>(std::trunc((t2 - minute) * 60));
  if (second >= 60) {
    second -= 60;
    ++minute;
  }
  if (minute >= 60) {
    minute -= 60;
    ++hour;
  }
  if (hour >= 24) hour -= 24;
  return {hour, minute, second};
}

namespace {

std::vector<double> fields(std::string_view text) {
  std::vector<double> out;
  std::string run;
  auto flush = [&] {
    if (run.empty()) return;
    // A run such as "--" or "1-2" reads as far as it is a number.
    bool negative = false;
    size_t i = 0;
    while (i < run.size() && run[i] == '-') {
      negative = !negative;
      ++i;
    }
    double v = 0;
    for (; i < run.size() && std::isdigit(static_cast<unsigned char>(run[i])); ++i)
      v = std::min(v * 10 + (run[i] - '0'), 1e15);
    out.push_back(negative ? -v : v);
    run.clear();
  };
  for (char c : text) {
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '-')
      run += c;
    else
      flush();
  }
  flush();
  return out;
}

}  // namespace

bool hasDateFields(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

double DateValue(std::string_view text, bool monthFirst) {
  std::vector<double> f = fields(text);
  f.resize(std::max<size_t>(f.size(), 3), 0);
  double month = monthFirst ? f[0] : f[1];
  double day = monthFirst ? f[1] : f[0];
  return DateSerial(f[2], month, day);
}

double TimeValue(std::string_view text) {
  std::vector<double> f = fields(text);
  f.resize(std::max<size_t>(f.size(), 3), 0);
  double hour = f[0];
  bool pm = std::any_of(text.begin(), text.end(), [](char c) { return c == 'p' || c == 'P'; });
  if (hour >= 0 && hour < 12 && pm) hour += 12;
  if (hour < 0) return -TimeSerial(-hour, f[1], f[2]);
  return TimeSerial(hour, f[1], f[2]);
}

}  // namespace tw
