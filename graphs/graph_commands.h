// The graph commands: the current definition set field by field (as the
// macro keywords do), the named graphs, Quick Graph, and the drawing saved
// as a bitmap, a PNG or an SVG picture or put on the clipboard.
#pragma once

#include <string>
#include <string_view>

#include "commands/command.h"
#include "graphs/graph_definition.h"

namespace tw {

class CommandTable;

// The scale items of GRAPHSCALE: "M" manual, "A" automatic, "L" and "U"
// with numbers the limits, "F" and a format code, "K" and a number the
// major intervals, "D" and a number the divisions, "E" exponential, "N"
// normal. False at an item it does not know (those before it apply).
bool applyScaleItems(AxisScale& axis, std::string_view items, char decimal);
// The options of GRAPHOPTIONS: n from 1 to 6 a series' (F, B colours, M
// mark from 0, H hatch, T thickness, S style, O drawing option), else the
// graph's (G with N, H, V or B; S solid, D dotted; I and O colours).
bool applyOptionItems(GraphDefinition& g, int n, std::string_view items, char decimal);

// Quick Graph: the selection's columns become the X range and the series
// (up to A to F), saved under a new name, which is returned ("" when it
// failed; the message is shown).
std::string QuickGraph(CommandContext& cx, const CellRange& selection);

// The named graph (0 the current definition) drawn at its size into a
// picture file: .bmp by the program's own writer, .png and .svg by the host.
CommandResult SaveGraphPicture(CommandContext& cx, const std::string& path, int graph, int width,
                               int height);
CommandResult CopyGraphToClipboard(CommandContext& cx, int graph, int width, int height);

// GRAPHTYPE, GRAPHSERIES, GRAPHLEGEND, GRAPHHEADING, GRAPHLABEL, GRAPHFONT,
// GRAPHSCALE, GRAPHOPTIONS, GRAPHNAME, GRAPHPICTURE.
void addGraphCommands(CommandTable& table);

inline constexpr const char* kPictureErrorMessage = "Cannot Save the Picture";

}  // namespace tw
