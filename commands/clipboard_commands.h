// Cut, copy and paste through the system clipboard. A block goes there in
// two forms: plain text (each cell as the grid shows it) for other programs,
// and the program's own form (each cell as typed, with its attributes) for
// worksheets. Paste prefers the program's form and falls back to the text.
#pragma once

#include <string>
#include <string_view>

#include "commands/command.h"
#include "core/host.h"

namespace tw {

class Worksheet;

// The most a block may take in either form, in bytes.
constexpr size_t kClipboardBytes = 64000;
// A pasted line of plain text keeps this many characters.
constexpr size_t kClipboardLine = 255;

// Both forms of the block, rows ended by CR LF, cells separated by TAB.
ClipboardData ClipboardForms(const Worksheet& ws, const CellRange& range);

CommandResult CopyToClipboard(CommandContext& cx, const CellRange& range, bool cut);
CommandResult PasteFromClipboard(CommandContext& cx, const CellRange& range);

// EDITCOPY, EDITCUT (a range) and EDITPASTE (a cell).
void addClipboardCommands(CommandTable& table);

}  // namespace tw
