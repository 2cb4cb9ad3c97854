#include "core/cell.h"

#include <algorithm>

namespace tw {

PString makePString(const uint8_t* bytes, size_t length) {
  length = std::min<size_t>(length, 255);
  auto* s = new uint8_t[length + 1];
  s[0] = static_cast<uint8_t>(length);
  if (length) std::memcpy(s + 1, bytes, length);
  return s;
}

PString makePString(std::string_view text) {
  return makePString(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

}  // namespace tw
