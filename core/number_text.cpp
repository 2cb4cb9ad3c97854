#include "core/number_text.h"

#include <charconv>
#include <cmath>

namespace tw {

static bool isNumberChar(char c, char decimal) {
  return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'E' || c == 'e' || c == decimal;
}

std::optional<double> parseNumberText(std::string_view text, char decimal) {
  if (text.empty() || text.size() > 255) return std::nullopt;
  for (char c : text)
    if (!isNumberChar(c, decimal)) return std::nullopt;
  if (text.size() > 1 && (text[0] == '+' || text[0] == '-') &&
      ((text[1] >= 'A' && text[1] <= 'Z') || (text[1] >= 'a' && text[1] <= 'z')))
    return std::nullopt;
  bool negative = false;
  size_t i = 0;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    i = 1;
  }
  std::string s;
  s.reserve(text.size() + 2);
  if (i < text.size() && text[i] == decimal) s += '0';
  for (; i < text.size(); ++i) s += text[i] == decimal ? '.' : text[i];
  if (!s.empty() && s.back() == '.') s += '0';
  if (s.empty() || s[0] == '+' || s[0] == '-') return std::nullopt;
  double x = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), x);
  if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(x)) return std::nullopt;
  return negative ? -x : x;
}

std::string roundTripText(double x, char decimal) {
  if (x == 0) return "0";
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x);
  std::string s(buf, ec == std::errc() ? end : buf);
  for (char& c : s) {
    if (c == 'e') c = 'E';
    if (c == '.') c = decimal;
  }
  return s;
}

}  // namespace tw
