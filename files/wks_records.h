// Record types and fixed sizes shared by the worksheet file's writer and
// reader, and the little-endian helpers both use.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "core/cell_address.h"

namespace tw::wks {

// The standard section.
constexpr uint16_t kBof = 0x00;
constexpr uint16_t kEof = 0x01;
constexpr uint16_t kCalcMode = 0x02;
constexpr uint16_t kCalcOrder = 0x03;
constexpr uint16_t kSplit = 0x04;
constexpr uint16_t kSync = 0x05;
constexpr uint16_t kRange = 0x06;
constexpr uint16_t kWindow1 = 0x07;
constexpr uint16_t kColumnWidth1 = 0x08;
constexpr uint16_t kWindow2 = 0x09;
constexpr uint16_t kName = 0x0B;
constexpr uint16_t kBlank = 0x0C;
constexpr uint16_t kInteger = 0x0D;
constexpr uint16_t kNumber = 0x0E;
constexpr uint16_t kLabel = 0x0F;
constexpr uint16_t kFormula = 0x10;
constexpr uint16_t kTable = 0x18;
constexpr uint16_t kQueryRange = 0x19;
constexpr uint16_t kPrintRangeRecord = 0x1A;
constexpr uint16_t kSortRange = 0x1B;
constexpr uint16_t kKeyRange = 0x1D;
constexpr uint16_t kKeyRange2 = 0x23;
constexpr uint16_t kProtect = 0x24;
constexpr uint16_t kFooter = 0x25;
constexpr uint16_t kHeader = 0x26;
constexpr uint16_t kSetup = 0x27;
constexpr uint16_t kMargins = 0x28;
constexpr uint16_t kLabelFormat = 0x29;
constexpr uint16_t kTitles = 0x2A;
constexpr uint16_t kGraph = 0x2D;
constexpr uint16_t kNamedGraph = 0x2E;
constexpr uint16_t kCursorPane = 0x31;
constexpr uint16_t kString = 0x33;
constexpr uint16_t kNameWithFlag = 0x47;
constexpr uint16_t kLastSettingsType = 49;  // combining skips 2..49 but cells and names

// The extension section.
constexpr uint16_t kExtGraph = 45;
constexpr uint16_t kExtNamedGraph = 46;
constexpr uint16_t kExtView = 7;
constexpr uint16_t kExtButton = 80;
constexpr uint16_t kExtSortKeys = 29;
constexpr uint16_t kExtRegression = 103;
constexpr uint16_t kExtColours = 110;
constexpr uint16_t kExtMargins = 112;
constexpr uint16_t kExtTab = 114;
constexpr uint16_t kExtUserFunction = 105;
constexpr uint16_t kExtFontName = 116;
constexpr uint16_t kExtWindowFont = 118;
constexpr uint16_t kExtWindow = 120;
constexpr uint16_t kExtTitle = 122;
constexpr uint16_t kExtComments = 124;
constexpr uint16_t kExtUserName = 126;
constexpr uint16_t kExtCreation = 128;
// The print options beside the Lotus print records: border rows (8), border
// columns (8), flags (1: bit 0 header line, 1 footer line, 2 frame, 3 grid,
// 4 mono, 5 landscape), scale per cent (2).
constexpr uint16_t kExtPrintOptions = 130;
constexpr size_t kPrintOptionsBytes = 19;
constexpr uint16_t kExtAttributes = 8;
constexpr uint16_t kExtColumnWidth = 11;
constexpr uint16_t kExtRowHeight = 10;

constexpr uint16_t kBofVersion = 0x0404;
constexpr uint8_t kTrailerMark = 0x1A;
constexpr size_t kCellHeader = 5;    // format, column, row
constexpr size_t kNameField = 16;    // a name's characters, 0, padding
constexpr size_t kLongestName = 39;  // longer NAME records are skipped
constexpr size_t kWindowBytes = 31;
constexpr size_t kUserFunctionBytes = 274;
constexpr size_t kWindowLayoutBytes = 34;
constexpr size_t kShortWindowLayoutBytes = 26;
constexpr size_t kMaxTabName = 11;
constexpr size_t kMaxWindowText = 80;
constexpr size_t kMaxCommentText = 255;
constexpr size_t kMaxPrintText = 240;

// The value bytes of a formula whose result is ERR.
constexpr std::array<uint8_t, 8> kErrValue{0, 0, 0, 0, 0, 0, 0xF0, 0x7F};

// The program's 16 screen colours as 0x00BBGGRR, which the high nibble of
// an attribute-carrying record type picks as the cell's background.
constexpr std::array<uint32_t, 16> kPalette{
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

inline uint16_t u16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline int16_t i16(const uint8_t* p) {
  return static_cast<int16_t>(u16(p));
}
inline uint32_t u32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline double f64(const uint8_t* p) {
  double d;
  std::memcpy(&d, p, 8);
  return d;
}

}  // namespace tw::wks
