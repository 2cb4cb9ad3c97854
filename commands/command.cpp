#include "commands/command.h"

#include <algorithm>

#include "core/char_case.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

Host& CommandContext::host() const {
  return session.host();
}

void CommandTable::add(CommandEntry entry) {
  entry.name = upperCased(entry.name);
  auto at =
      std::lower_bound(entries_.begin(), entries_.end(), entry.name,
                       [](const CommandEntry& e, const std::string& n) { return e.name < n; });
  if (at != entries_.end() && at->name == entry.name)
    *at = std::move(entry);
  else
    entries_.insert(at, std::move(entry));
}

const CommandEntry* CommandTable::find(std::string_view name) const {
  std::string key = upperCased(name);
  auto at =
      std::lower_bound(entries_.begin(), entries_.end(), key,
                       [](const CommandEntry& e, const std::string& n) { return e.name < n; });
  return at != entries_.end() && at->name == key ? &*at : nullptr;
}

CellRange rangeArg(const CommandContext& cx, const Args& args, size_t n, ArgKind kind) {
  if (n < args.size() && args[n].given) {
    CellRange r = args[n].range.ordered();
    return kind == ArgKind::Address && r.valid() ? CellRange::cell(r.row1, r.col1) : r;
  }
  if (kind == ArgKind::Address) return CellRange::cell(cx.row, cx.col);
  return cx.selection.valid() ? cx.selection.ordered() : CellRange::cell(cx.row, cx.col);
}

double numberArg(const Args& args, size_t n) {
  return n < args.size() && args[n].given ? args[n].number : 0;
}

std::string textArg(const Args& args, size_t n) {
  return n < args.size() && args[n].given ? args[n].text : std::string();
}

CommandResult runCommand(const CommandEntry& entry, CommandContext& cx, const Args& args) {
  if (entry.needs == Needs::Worksheet && !cx.ws) {
    cx.host().beep();
    return CommandResult::failed();
  }
  CommandResult r = entry.run(cx, args);
  cx.session.error().clear();
  return r;
}

}  // namespace tw
