#include "core/user_button.h"

#include <algorithm>

#include "core/cell.h"

namespace tw {

namespace {

constexpr size_t kCaptionAt = 0;
constexpr size_t kMacroAt = kCaptionAt + 1 + kButtonCaptionLength;
constexpr size_t kRowAt = kMacroAt + 1 + kButtonMacroLength;
constexpr size_t kColAt = kRowAt + 2;
constexpr size_t kXAt = kColAt + 2;
constexpr size_t kYAt = kXAt + 4;
constexpr size_t kWidthAt = kYAt + 4;
constexpr size_t kHeightAt = kWidthAt + 4;
static_assert(kHeightAt + 4 == kButtonBytes);

std::string readShort(const ButtonRecord& r, size_t at, size_t longest) {
  size_t n = std::min<size_t>(r[at], longest);
  return std::string(reinterpret_cast<const char*>(r.data() + at + 1), n);
}

void writeShort(ButtonRecord& r, size_t at, const std::string& text, size_t longest) {
  size_t n = std::min(text.size(), longest);
  r[at] = static_cast<uint8_t>(n);
  std::copy_n(text.begin(), n, r.begin() + at + 1);
}

uint16_t read16(const ButtonRecord& r, size_t at) {
  return static_cast<uint16_t>(r[at] | (r[at + 1] << 8));
}

int32_t read32(const ButtonRecord& r, size_t at) {
  uint32_t v = uint32_t(r[at]) | uint32_t(r[at + 1]) << 8 | uint32_t(r[at + 2]) << 16 |
               uint32_t(r[at + 3]) << 24;
  return static_cast<int32_t>(v);
}

void write16(ButtonRecord& r, size_t at, int v) {
  r[at] = static_cast<uint8_t>(v & 0xFF);
  r[at + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
}

void write32(ButtonRecord& r, size_t at, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) r[at + i] = static_cast<uint8_t>((u >> (8 * i)) & 0xFF);
}

}  // namespace

UserButton decodeButton(const ButtonRecord& r) {
  UserButton b;
  b.caption = readShort(r, kCaptionAt, kButtonCaptionLength);
  b.macro = readShort(r, kMacroAt, kButtonMacroLength);
  b.row = std::min<int>(read16(r, kRowAt), kRows - 1);
  b.col = std::min<int>(read16(r, kColAt), kColumns - 1);
  b.x = read32(r, kXAt);
  b.y = read32(r, kYAt);
  // A size past any screen's comes from a damaged record.
  b.width = std::clamp<int32_t>(read32(r, kWidthAt), 1, kMaxButtonPixels);
  b.height = std::clamp<int32_t>(read32(r, kHeightAt), 1, kMaxButtonPixels);
  b.kind = 0;
  return b;
}

ButtonRecord encodeButton(const UserButton& b) {
  ButtonRecord r{};
  writeShort(r, kCaptionAt, b.caption, kButtonCaptionLength);
  writeShort(r, kMacroAt, b.macro, kButtonMacroLength);
  write16(r, kRowAt, std::clamp(b.row, 0, kRows - 1));
  write16(r, kColAt, std::clamp(b.col, 0, kColumns - 1));
  write32(r, kXAt, b.x);
  write32(r, kYAt, b.y);
  write32(r, kWidthAt, b.width);
  write32(r, kHeightAt, b.height);
  return r;
}

}  // namespace tw
