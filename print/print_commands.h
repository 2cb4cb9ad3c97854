// The print commands: printing the print range or everything, one page of
// it (the preview's "Print Current Page"), the text-file form, and the
// settings the macro language sets (header, footer, borders, margins and
// options).
#pragma once

#include <string>
#include <string_view>

#include "commands/command.h"

namespace tw {

class CommandTable;
struct PrintOptions;
struct WorksheetSettings;

inline constexpr const char* kNoPrinterMessage = "No Printer Available";
inline constexpr const char* kPrinterErrorMessage = "Printer Error";
inline constexpr const char* kBordersTooTallMessage = "Border Rows Too Tall For Page";
inline constexpr const char* kPrintFileErrorMessage = "Cannot Write Print File";

// Prints the print range (or, with all, A1 to the last used cell); page
// above 0 prints that page only.
CommandResult PrintRange(CommandContext& cx, bool all, int page = 0);
CommandResult PrintCellRange(CommandContext& cx, const CellRange& range, int page = 0);
// Prints a graph (a named one's index from 1, 0 the current definition) on
// a page of its own within the margins and at the scale; the graph window's
// Quick Print uses fixed margins instead (half an inch at the sides, a
// quarter of a portrait page's height above and below).
enum class GraphMargins { Worksheet, QuickPrint };
CommandResult PrintGraph(CommandContext& cx, int graph,
                         GraphMargins margins = GraphMargins::Worksheet);
// Writes the range as text; an empty name asks for one in the save dialog.
CommandResult PrintToFile(CommandContext& cx, const std::string& name, const CellRange& range);

// "L", "R", "T", "B" each followed by a number: the margins in inches.
// False when an item is not one of them (the items before it are applied).
bool applyMarginItems(WorksheetSettings& settings, std::string_view items, char decimal);
// "L" landscape, "P" portrait, "S" and the scale per cent (kept within
// 10..150), "F", "G", "M" and 1 to turn frame, grid or mono on, any other
// number off.
bool applyOptionItems(PrintOptions& options, std::string_view items, char decimal);

// PRINTRANGE, PRINTALL, PRINTPAGE, PRINTFILE, PRINTHEAD, PRINTFOOT,
// PRINTBORDER, PRINTMARGIN, PRINTOPTION, PRINTGRAPH.
void addPrintCommands(CommandTable& table);

}  // namespace tw
