// Find and replace over the texts of cells as the input line shows them (a
// formula listed, a number as text, a label with its prefix). Replacing
// enters the changed text through cell entry, so a formula is compiled
// again and a label keeps its prefix. The engine keeps its state between
// searches (position, restart flag, counter, the search history), so the
// dialog's buttons and the REPLACE keyword drive the same object.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "commands/command.h"
#include "core/cell_address.h"

namespace tw {

class Worksheet;

class FindReplace {
 public:
  static constexpr size_t kHistorySize = 10;

  // The fields; each change of the texts or the scope raises the restart flag.
  void setSearch(std::string_view text);
  void setReplacement(std::string_view text);
  // Global: from A1 to the last used row and column; otherwise the range.
  void setScope(bool global, const CellRange& range);
  void setCaseInsensitive(bool on) { caseInsensitive_ = on; }
  // The cell the next restart starts at, when it lies in the scope (the
  // dialog's first opening starts at the selection's first cell).
  void startAt(int row, int col);

  const std::string& search() const { return search_; }
  const std::string& replacement() const { return replacement_; }
  bool global() const { return global_; }
  const CellRange& range() const { return range_; }
  bool caseInsensitive() const { return caseInsensitive_; }
  bool restartPending() const { return restart_; }
  int row() const { return row_; }
  int col() const { return col_; }
  int counter() const { return counter_; }
  // The search texts used, newest first, without duplicates.
  const std::vector<std::string>& history() const { return history_; }

  // "Find &Next": true with the position on the found cell; a beep when
  // nothing is left to search.
  bool FindNext(Worksheet& ws);
  // "&Replace": after a restart only finds; otherwise replaces in the cell
  // at the position and finds the next match.
  bool ReplaceOne(Worksheet& ws);
  // "Replace &All": every occurrence in the scope from the position on;
  // returns the number replaced (the counter), or -1 when refused outright
  // (no search text, or a circular replacement). A cell that cannot take its
  // replacement (protected, not compiling, too long) is passed over.
  int ReplaceAll(Worksheet& ws);

  // Whether the cell at the position contains the search text (the
  // "&Replace" button is enabled then).
  bool positionMatches(const Worksheet& ws) const;
  // False after "Replace &All" until the search text changes.
  bool replaceAllEnabled() const { return replaceAllEnabled_; }

 private:
  enum class Outcome { Replaced, NoMatch, Refused, Outside };

  std::string compared(std::string_view text) const;
  size_t matchIn(const Worksheet& ws, int row, int col) const;
  // From the position on, the first visited cell holding the text becomes
  // the position; false (with a beep unless quiet) when there is none.
  bool searchFrom(Worksheet& ws, bool quiet);
  void takeScope(const Worksheet& ws);
  bool circular(Worksheet& ws) const;
  void remember();
  Outcome replaceHere(Worksheet& ws, bool quiet);
  bool inScope(int row, int col) const;
  // A search in another worksheet than the last starts afresh.
  void follow(const Worksheet& ws);

  std::string search_, replacement_;
  bool global_ = true;
  CellRange range_{};
  bool caseInsensitive_ = false;
  bool restart_ = true;
  bool startGiven_ = false;
  int startRow_ = 0, startCol_ = 0;
  CellRange scope_{};
  int row_ = 0, col_ = 0;
  int counter_ = 0;
  bool replaceAllEnabled_ = true;
  std::vector<std::string> history_;
  const Worksheet* sheet_ = nullptr;
};

// REPLACE flag, range, find, replacement: Replace All over the range, the
// case ignored unless bit 0 of the flag is set.
void addFindReplaceCommands(CommandTable& table);

}  // namespace tw
