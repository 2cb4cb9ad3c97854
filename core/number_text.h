// Conversions between numbers and text that ignore the C library's locale
// and use the program's own decimal separator.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tw {

// The whole text as a number, as typed on the input line: signs, digits,
// E or e and the decimal separator only; a leading point (also after a sign)
// and a trailing point are completed with a zero. Empty when it is not a
// number, or when it is too large for a double.
std::optional<double> parseNumberText(std::string_view text, char decimalSeparator);

// The shortest text that reads back as the same double ("1234.5",
// "1E+20"): what editing a number starts from.
std::string roundTripText(double x, char decimalSeparator);

}  // namespace tw
