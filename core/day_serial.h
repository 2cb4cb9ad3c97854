// Day serials: dates as day numbers with the time of day as the fraction.
// Serial 2 is 1 January 1900; from 15 October 1582 (serial -115858) the
// Gregorian calendar applies, before it the Julian calendar.
#pragma once

#include <string_view>

namespace tw {

constexpr double kGregorianStart = -115858;

// y, m and d go through the integer rule; years 0..99 mean 1900..1999, a
// negative year counts as its magnitude; month and day are not checked, so
// day 0 is the last day of the previous month.
double DateSerial(double year, double month, double day);
double TimeSerial(double hours, double minutes, double seconds);

struct CalendarDate {
  int year = 0;
  int month = 0;
  int day = 0;
};
// The inverse of DateSerial for the whole part of the serial. Serials beyond
// what a calendar can show are clamped to a range that keeps the arithmetic
// exact (about +-2^31 days).
CalendarDate SerialToDate(double serial);

// Hours, minutes and seconds of the fraction of a serial, with a quarter of a
// second added before truncation so 10:30:00 never shows as 10:29:59; a unit
// that reaches 60 carries into the next.
struct ClockTime {
  int hour = 0;
  int minute = 0;
  int second = 0;
};
ClockTime SerialToTime(double serial);

// Fields are maximal runs of digits and minus signs; everything else
// separates. The first three fields are month, day, year (monthFirst) or day,
// month, year. hasFields tells whether the text had any digit at all.
double DateValue(std::string_view text, bool monthFirst);
double TimeValue(std::string_view text);
bool hasDateFields(std::string_view text);

}  // namespace tw
