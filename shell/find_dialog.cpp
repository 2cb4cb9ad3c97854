#include "shell/find_dialog.h"

#include "core/cell.h"
#include "core/char_case.h"
#include "core/host.h"
#include "core/range_parse.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

namespace {

std::optional<bool> flagOf(std::string_view v) {
  for (const char* on : {"1", "Y", "YES", "ON", "TRUE"})
    if (sameText(v, on)) return true;
  for (const char* off : {"0", "N", "NO", "OFF", "FALSE"})
    if (sameText(v, off)) return false;
  return std::nullopt;
}

}  // namespace

FindDialogModel::FindDialogModel(Worksheet& ws, FindDialogMemory& memory,
                                 const CellRange& selection,
                                 std::function<void(const CommandResult&)> show)
    : ws_(ws), memory_(memory), show_(std::move(show)) {
  FindReplace& e = memory.engine;
  if (!memory.opened && selection.valid()) {
    // The first opening searches the selection when it is more than a
    // cell, and starts at its first cell.
    const CellRange r = selection.ordered();
    memory.rangeText = ws.rangeText(r);
    e.setScope(r.isSingleCell(), r);
    e.startAt(r.row1, r.col1);
  }
  memory.opened = true;
  findText = e.search();
  replaceText = e.replacement();
  rangeText = memory.rangeText;
  global = e.global();
  caseInsensitive = e.caseInsensitive();

  addField(
      "find", [this] { return findText; },
      [this](std::string_view v) {
        setFind(v);
        return true;
      });
  addField(
      "replace", [this] { return replaceText; },
      [this](std::string_view v) {
        setReplace(v);
        return true;
      });
  addField(
      "global", [this] { return std::string(global ? "1" : "0"); },
      [this](std::string_view v) {
        std::optional<bool> on = sameText(v, "Global")  ? true
                                 : sameText(v, "Range") ? false
                                                        : flagOf(v);
        if (!on) return false;
        global = *on;
        sync(false);
        return true;
      });
  addField(
      "range", [this] { return rangeText; },
      [this](std::string_view v) {
        rangeText = std::string(v.substr(0, 255));
        sync(false);
        return true;
      });
  addField(
      "case", [this] { return std::string(caseInsensitive ? "1" : "0"); },
      [this](std::string_view v) {
        std::optional<bool> on = flagOf(v);
        if (!on) return false;
        caseInsensitive = *on;
        sync(false);
        return true;
      });
  addField(
      "press", [] { return std::string(); },
      [this](std::string_view v) {
        if (v == "Next")
          findNext();
        else if (v == "Replace")
          replace();
        else if (v == "All")
          replaceAll();
        else
          return false;
        return true;
      });
  addField(
      "point", [] { return std::string(); },
      [this](std::string_view) {
        pointAtRange();
        return true;
      });
  addReadOnly("count", [this] { return std::to_string(counter()); });
  addReadOnly("cell", [this] {
    const FindReplace& en = memory_.engine;
    return validAddress(en.row(), en.col()) ? ws_.addressText(en.row(), en.col()) : std::string();
  });
  addReadOnly("history", [this] {
    std::string out;
    for (const std::string& h : memory_.engine.history()) out += (out.empty() ? "" : "|") + h;
    return out;
  });
}

bool FindDialogModel::canReplace() const {
  return canFind() && memory_.engine.positionMatches(ws_);
}

bool FindDialogModel::canReplaceAll() const {
  return canFind() && memory_.engine.replaceAllEnabled();
}

void FindDialogModel::setFind(std::string_view text) {
  findText = std::string(text.substr(0, kMaxText));
  memory_.engine.setSearch(findText);
}

void FindDialogModel::setReplace(std::string_view text) {
  replaceText = std::string(text.substr(0, kMaxText));
  memory_.engine.setReplacement(replaceText);
}

void FindDialogModel::pointAtRange() {
  global = false;
  pointField = "range";
  sync(false);
}

bool FindDialogModel::sync(bool report) {
  FindReplace& e = memory_.engine;
  memory_.rangeText = rangeText;
  e.setCaseInsensitive(caseInsensitive);
  CellRange r = e.range();
  bool ok = true;
  if (rangeText.find_first_not_of(' ') != std::string::npos) {
    ParsedRange p = ParseRange(ws_, rangeText, kRangeWords | kSingleDot);
    ws_.session().error().clear();
    if (p.ok && p.range.valid())
      r = p.range.ordered();
    else
      ok = false;
  } else {
    ok = false;
  }
  if (ok || global) e.setScope(global, ok ? r : e.range());
  if (!ok && !global && report) ws_.session().ShowError("Invalid Search Range: " + rangeText);
  return ok || global;
}

void FindDialogModel::showFound(bool found) {
  CommandResult r;
  const FindReplace& e = memory_.engine;
  if (found) {
    r.moveCursor = true;
    r.cursorRow = e.row();
    r.cursorCol = e.col();
  }
  if (show_) show_(r);
}

void FindDialogModel::findNext() {
  if (!canFind()) return ws_.session().host().beep();
  if (!sync(true)) return;
  showFound(memory_.engine.FindNext(ws_));
}

void FindDialogModel::replace() {
  if (!canFind()) return ws_.session().host().beep();
  if (!sync(true)) return;
  if (!canReplace()) return ws_.session().host().beep();
  showFound(memory_.engine.ReplaceOne(ws_));
}

void FindDialogModel::replaceAll() {
  if (!canReplaceAll()) return ws_.session().host().beep();
  if (!sync(true)) return;
  memory_.engine.ReplaceAll(ws_);
  if (show_) show_(CommandResult::everything());
}

}  // namespace tw
