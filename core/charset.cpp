#include "core/charset.h"

#include <cstdint>

namespace tw {

namespace {

// The characters of Windows-1252 at 0x80..0x9F (0: no character there).
constexpr char32_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// One UTF-8 sequence at bytes[at]: its code point and length, or length 0
// when it is not well formed.
size_t decode(std::string_view bytes, size_t at, char32_t& cp) {
  auto b = [&](size_t k) { return static_cast<uint8_t>(bytes[at + k]); };
  uint8_t lead = b(0);
  size_t n = lead < 0x80         ? 1
             : (lead >> 5) == 6  ? 2
             : (lead >> 4) == 14 ? 3
             : (lead >> 3) == 30 ? 4
                                 : 0;
  if (n == 0 || at + n > bytes.size()) return 0;
  cp = n == 1 ? lead : n == 2 ? lead & 0x1F : n == 3 ? lead & 0x0F : lead & 0x07;
  for (size_t k = 1; k < n; ++k) {
    if ((b(k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(k) & 0x3F);
  }
  // Overlong forms, surrogates and code points past the last one are not UTF-8.
  static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kLeast[n] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return 0;
  return n;
}

}  // namespace

bool looksLikeUtf8(std::string_view bytes) {
  bool multi = false;
  for (size_t at = 0; at < bytes.size();) {
    char32_t cp;
    size_t n = decode(bytes, at, cp);
    if (n == 0) return false;
    multi |= n > 1;
    at += n;
  }
  return multi;
}

std::string utf8ToWindows1252(std::string_view utf8) {
  if (utf8.substr(0, 3) == "\xEF\xBB\xBF") utf8.remove_prefix(3);
  std::string out;
  out.reserve(utf8.size());
  for (size_t at = 0; at < utf8.size();) {
    char32_t cp = 0;
    size_t n = decode(utf8, at, cp);
    if (n == 0) {  // a stray byte: kept as it is
      out += utf8[at++];
      continue;
    }
    at += n;
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      out += static_cast<char>(cp);
      continue;
    }
    char c = '?';
    for (int k = 0; k < 32; ++k)
      if (kHigh[k] == cp) c = static_cast<char>(0x80 + k);
    out += c;
  }
  return out;
}

}  // namespace tw
