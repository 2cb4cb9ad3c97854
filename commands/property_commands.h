// The display attributes of cells over a range: the number format. The
// properties dialog, the format bar and their macro keywords add the other
// attributes here.
#pragma once

#include <cstdint>

#include "commands/command.h"

namespace tw {

class CommandTable;

// Every cell of the range gets the format (bits 0-6), created where
// missing; with the worksheet's protection on, protected cells keep theirs.
CommandResult SetRangeFormat(CommandContext& cx, const CellRange& range, uint8_t format);

// RANGEFORMAT range, format code.
void addPropertyCommands(CommandTable& table);

}  // namespace tw
