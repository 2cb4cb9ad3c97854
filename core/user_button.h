// A push button placed on a worksheet window (TMbtn) as its worksheet's
// file keeps it: caption, macro text, the anchor cell and the offset of the
// button's top-left corner from that cell's corner, and its size.
#pragma once

#include <cstdint>
#include <string>

#include "core/worksheet_settings.h"

namespace tw {

constexpr size_t kButtonCaptionLength = 20;
constexpr size_t kButtonMacroLength = 255;
constexpr int32_t kMaxButtonPixels = 32767;

struct UserButton {
  std::string caption;  // at most 20 characters
  std::string macro;    // at most 255 characters
  int row = 0;          // the anchor cell
  int col = 0;
  int32_t x = 0;  // pixels from the anchor cell's top-left corner
  int32_t y = 0;
  int32_t width = 40;
  int32_t height = 20;
  int kind = 1;  // 1 drawn by the user, 0 read from a file
  bool operator==(const UserButton&) const = default;
};

// Record layout, little-endian: caption (1 + 20), macro (1 + 255), row (2),
// column (2), x (4), y (4), width (4), height (4).
// Lengths beyond their fields are cut; the anchor is kept inside the sheet
// and the size between 1 and kMaxButtonPixels.
UserButton decodeButton(const ButtonRecord& record);
ButtonRecord encodeButton(const UserButton& button);

}  // namespace tw
