#include "commands/find_replace.h"

#include <algorithm>
#include <cmath>

#include "core/cell.h"
#include "core/cell_entry.h"
#include "core/char_case.h"
#include "core/host.h"
#include "core/session.h"
#include "core/undo.h"
#include "core/worksheet.h"

namespace tw {

namespace {

constexpr const char* kCircular = "Circular Replace Detected";

}  // namespace

void FindReplace::setSearch(std::string_view text) {
  if (text == search_) return;
  search_ = std::string(text);
  restart_ = true;
  replaceAllEnabled_ = true;
}

void FindReplace::setReplacement(std::string_view text) {
  if (text == replacement_) return;
  replacement_ = std::string(text);
  restart_ = true;
}

void FindReplace::setScope(bool global, const CellRange& range) {
  if (global == global_ && range == range_) return;
  global_ = global;
  range_ = range;
  restart_ = true;
}

void FindReplace::startAt(int row, int col) {
  startGiven_ = true;
  startRow_ = row_ = row;
  startCol_ = col_ = col;
  restart_ = true;
}

std::string FindReplace::compared(std::string_view text) const {
  return caseInsensitive_ ? upperCased(text) : std::string(text);
}

size_t FindReplace::matchIn(const Worksheet& ws, int row, int col) const {
  if (search_.empty() || row < 0 || row >= kRows || col < 0 || col >= kColumns)
    return std::string::npos;
  CellHandle h = ws.FindCell(row, col);
  if (h == kNoCell) return std::string::npos;
  return compared(CellInputText(ws, h)).find(compared(search_));
}

bool FindReplace::positionMatches(const Worksheet& ws) const {
  return matchIn(ws, row_, col_) != std::string::npos;
}

bool FindReplace::inScope(int row, int col) const {
  return scope_.valid() && scope_.contains(row, col);
}

void FindReplace::follow(const Worksheet& ws) {
  if (sheet_ != &ws) restart_ = true;
  sheet_ = &ws;
}

void FindReplace::takeScope(const Worksheet& ws) {
  scope_ = global_ ? CellRange::of(0, 0, ws.maxRow, ws.maxCol) : range_.ordered();
  if (startGiven_ && inScope(startRow_, startCol_)) {
    row_ = startRow_;
    col_ = startCol_;
  } else if (scope_.valid()) {
    row_ = scope_.row1;
    col_ = scope_.col1;
  }
  startGiven_ = false;
  restart_ = false;
}

bool FindReplace::searchFrom(Worksheet& ws, bool quiet) {
  if (scope_.valid()) {
    const std::string wanted = compared(search_);
    for (int row = std::max<int>(row_, scope_.row1); row <= scope_.row2; ++row) {
      int from = row == row_ ? std::max<int>(col_, scope_.col1) : scope_.col1;
      if (from > scope_.col2) continue;
      for (CellHandle h = ws.FindCellAtOrAfter(row, from); h != kNoCell; h = ws.cell(h).next) {
        const Cell& c = ws.cell(h);
        if (c.column > scope_.col2) break;
        if (compared(CellInputText(ws, h)).find(wanted) != std::string::npos) {
          row_ = row;
          col_ = c.column;
          return true;
        }
      }
    }
    // Past the scope's last cell: a later search beeps at once.
    row_ = scope_.row2;
    col_ = scope_.col2 + 1;
  }
  if (!quiet) ws.session().host().beep();
  return false;
}

bool FindReplace::circular(Worksheet& ws) const {
  if (upperCased(replacement_).find(upperCased(search_)) == std::string::npos) return false;
  ws.session().ShowError(kCircular);
  return true;
}

void FindReplace::remember() {
  history_.erase(std::remove(history_.begin(), history_.end(), search_), history_.end());
  history_.insert(history_.begin(), search_);
  if (history_.size() > kHistorySize) history_.resize(kHistorySize);
}

FindReplace::Outcome FindReplace::replaceHere(Worksheet& ws, bool quiet) {
  Session& session = ws.session();
  if (!inScope(row_, col_)) {
    if (!quiet) session.host().beep();
    return Outcome::Outside;
  }
  CellHandle h = ws.FindCell(row_, col_);
  const std::string before = h == kNoCell ? std::string() : CellInputText(ws, h);
  const size_t at = compared(before).find(compared(search_));
  if (at == std::string::npos) {
    ++col_;
    return Outcome::NoMatch;
  }
  const std::string after =
      before.substr(0, at) + replacement_ + before.substr(at + search_.size());
  // What would not fit a cell, or would leave nothing of it, is not entered:
  // the cell keeps its text and the search moves on.
  bool refused = after.size() > static_cast<size_t>(kMaxText) || after.empty();
  if (!refused && ws.settings.protection && ws.cell(h).isProtected()) {
    if (!quiet) session.ShowError("Protected Cell");
    ++col_;
    return Outcome::Refused;
  }
  if (!refused) {
    EntryResult r = EnterCell(ws, after, row_, col_);
    session.error().clear();
    h = ws.FindCell(row_, col_);
    // A replacement that compiles back to the same listing changed nothing,
    // and searching it again would never end.
    refused = r != EntryResult::Stored || (h != kNoCell && CellInputText(ws, h) == before);
  }
  if (refused) {
    if (!quiet) session.host().beep();
    ++col_;
    return Outcome::Refused;
  }
  ++counter_;
  if (!positionMatches(ws)) ++col_;
  return Outcome::Replaced;
}

bool FindReplace::FindNext(Worksheet& ws) {
  follow(ws);
  if (search_.empty()) {
    ws.session().host().beep();
    return false;
  }
  remember();
  if (restart_)
    takeScope(ws);
  else
    ++col_;
  return searchFrom(ws, false);
}

bool FindReplace::ReplaceOne(Worksheet& ws) {
  follow(ws);
  if (search_.empty()) {
    ws.session().host().beep();
    return false;
  }
  if (circular(ws)) return false;
  remember();
  if (restart_) {
    takeScope(ws);
    return searchFrom(ws, false);
  }
  if (replaceHere(ws, false) == Outcome::Outside) return false;
  return searchFrom(ws, false);
}

int FindReplace::ReplaceAll(Worksheet& ws) {
  follow(ws);
  if (search_.empty()) {
    ws.session().host().beep();
    return -1;
  }
  if (circular(ws)) return -1;
  remember();
  counter_ = 0;
  if (restart_) takeScope(ws);
  TakeUndoSnapshot(ws);
  int skipped = 0;
  // A cell's own replacements are bounded by its length; a formula whose
  // listing brings the text back would otherwise be found for ever.
  int lastRow = -1, lastCol = -1, inCell = 0;
  while (searchFrom(ws, true)) {
    if (row_ == lastRow && col_ == lastCol) {
      if (++inCell > kMaxText) {
        ++skipped;
        ++col_;
        continue;
      }
    } else {
      lastRow = row_, lastCol = col_, inCell = 0;
    }
    Outcome o = replaceHere(ws, true);
    if (o == Outcome::Refused) ++skipped;
    if (o == Outcome::Outside) break;
  }
  replaceAllEnabled_ = false;
  if (counter_ == 0 || skipped > 0) ws.session().host().beep();
  return counter_;
}

void addFindReplaceCommands(CommandTable& t) {
  t.add({"REPLACE",
         {{ArgKind::Integer, "Flag"},
          {ArgKind::Range, "REPLACE: Specify Range"},
          {ArgKind::Text, "Find"},
          {ArgKind::Text, "Replace with"}},
         [](CommandContext& cx, const Args& a) {
           CellRange r = rangeArg(cx, a, 1, ArgKind::Range);
           if (!r.valid()) {
             cx.host().beep();
             return CommandResult::failed();
           }
           FindReplace engine;
           // Bit 0 of the flag asks for the case to count.
           const double flag = numberArg(a, 0);
           const bool caseCounts =
               std::isfinite(flag) && std::fabs(flag) < 1e15 && (static_cast<long long>(flag) & 1);
           engine.setCaseInsensitive(!caseCounts);
           engine.setScope(false, r);
           engine.setSearch(textArg(a, 2));
           engine.setReplacement(textArg(a, 3));
           if (engine.ReplaceAll(*cx.ws) < 0) return CommandResult::failed();
           return CommandResult::everything();
         }});
}

}  // namespace tw
