// Query and what-if tables: records of a database range that match a
// criteria range copied to an output range, and blocks of a formula's
// results for a series of input values.
#pragma once

#include <string_view>

#include "commands/command.h"

namespace tw {

class CommandTable;

// The query's modes; only extraction writes anything.
enum class QueryMode { Find = 1, Extract = 2 };

// Each criteria row below the criteria's field names is one alternative:
// the AND of its non-blank criteria (a number equal to the field, a label
// pattern, or a formula that gives 1 for the record). Every record that
// matches a row is written below the output's field names, once per row it
// matches. The ranges are remembered in the worksheet's settings.
CommandResult QueryExtract(CommandContext& cx, const CellRange& input, const CellRange& criteria,
                           const CellRange& output, QueryMode mode);

// A label pattern against a field's text: "~" negates, "?" is any one
// character, "*" matches the rest, a leading "..." asks whether the rest
// occurs anywhere, in either case; otherwise the texts must be equal.
bool labelPatternMatches(std::string_view pattern, std::string_view text);

// One input (kind 1): values down the table's first column, a formula at
// the head of each further column. Two inputs (kind 2): the formula in the
// corner, values for the first input down the first column and for the
// second along the first row. Results are stored as values; the input cells
// are restored as they were.
CommandResult WhatIfTable(CommandContext& cx, int kind);

inline constexpr const char* kProtectedInputMessage = "Protected Cell";

// DATAQUERY input, criteria, output; DATATABLE table, input 1 [, input 2];
// WHATIF1 input, table and WHATIF2 input 1, input 2, table (the menus' order).
void addQueryCommands(CommandTable& table);

}  // namespace tw
