#include "shell/navigation.h"

#include <algorithm>

#include "core/worksheet.h"

namespace tw {

CellAddress stepFrom(int row, int col, Direction d, int count) {
  switch (d) {
    case Direction::Left:
      col -= count;
      break;
    case Direction::Right:
      col += count;
      break;
    case Direction::Up:
      row -= count;
      break;
    case Direction::Down:
      row += count;
      break;
  }
  return {int16_t(std::clamp(col, 0, kColumns - 1)), int16_t(std::clamp(row, 0, kRows - 1))};
}

CellAddress endMove(const Worksheet& ws, int row, int col, Direction d) {
  int dr = d == Direction::Up ? -1 : (d == Direction::Down ? 1 : 0);
  int dc = d == Direction::Left ? -1 : (d == Direction::Right ? 1 : 0);
  auto filled = [&](int r, int c) { return hasContent(ws.cellPtr(ws.FindCell(r, c))); };
  auto onSheet = [](int r, int c) { return validAddress(r, c); };
  int r = row + dr, c = col + dc;
  if (!onSheet(r, c)) return {int16_t(col), int16_t(row)};
  if (filled(r, c)) {
    while (onSheet(r + dr, c + dc) && filled(r + dr, c + dc)) {
      r += dr;
      c += dc;
    }
    return {int16_t(c), int16_t(r)};
  }
  for (;;) {
    if (filled(r, c)) return {int16_t(c), int16_t(r)};
    bool pastUsed = (dr > 0 && r >= ws.maxRow) || (dc > 0 && c >= ws.maxCol);
    if (pastUsed) {
      return dr > 0 ? CellAddress{int16_t(c), int16_t(kRows - 1)}
                    : CellAddress{int16_t(kColumns - 1), int16_t(r)};
    }
    if (!onSheet(r + dr, c + dc)) return {int16_t(c), int16_t(r)};
    r += dr;
    c += dc;
  }
}

}  // namespace tw
