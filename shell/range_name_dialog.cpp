#include "shell/range_name_dialog.h"

#include <algorithm>
#include <charconv>

#include "core/char_case.h"
#include "core/range_names.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "shell/frame.h"

namespace tw {

namespace {

bool allDigits(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

RangeNameModel::RangeNameModel(Frame& frame, std::string selection)
    : range(selection), frame_(frame), selection_(std::move(selection)) {
  addField(
      "page", [this] { return std::to_string(page); },
      [this](std::string_view v) {
        std::string u = upperCased(v);
        int p = u == "NAMES" || u == "0"   ? 0
                : u == "BUILD" || u == "1" ? 1
                : u == "TABLE" || u == "2" ? 2
                                           : -1;
        if (p < 0) return false;
        page = p;
        return true;
      });
  addText("name", name, 80);
  addText("range", range, 80);
  addText("source", source, 80);
  addText("target", target, 80);
  addField(
      "pick", [] { return std::string(); },
      [this](std::string_view v) {
        int n = 0;
        auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
        if (ec != std::errc() || end != v.data() + v.size() || n < 1 ||
            n > static_cast<int>(entries().size()))
          return false;
        pick(n - 1);
        return true;
      });
  // A button, as a click on it: create, delete, reset, build or table.
  addField(
      "press", [] { return std::string(); },
      [this](std::string_view v) {
        std::string u = upperCased(v);
        if (u == "CREATE")
          create();
        else if (u == "DELETE")
          remove();
        else if (u == "RESET")
          reset();
        else if (u == "BUILD")
          build();
        else if (u == "TABLE")
          table();
        else
          return false;
        return true;
      });
  // Pointing at a field's range on the sheet, as a double click on it asks.
  addField(
      "point", [] { return std::string(); },
      [this](std::string_view v) {
        std::string u = upperCased(v);
        point = u == "RANGE"    ? Point::Range
                : u == "SOURCE" ? Point::Source
                : u == "TARGET" ? Point::Target
                                : Point::None;
        return point != Point::None;
      });
  addReadOnly("message", [this] { return message; });
  addReadOnly("total", [this] { return total(); });
}

std::vector<std::pair<std::string, std::string>> RangeNameModel::entries() const {
  std::vector<std::pair<std::string, std::string>> out;
  WindowState* w = frame_.active();
  if (!w) return out;
  const Worksheet& ws = w->worksheet();
  for (const RangeName& n : ws.names.entries()) {
    if (n.name.empty()) continue;
    out.push_back({n.name, n.range.valid() ? ws.rangeText(n.range) : std::string()});
  }
  return out;
}

std::string RangeNameModel::total() const {
  return "Total: " + std::to_string(entries().size());
}

void RangeNameModel::pick(int index) {
  auto list = entries();
  if (index < 0 || index >= static_cast<int>(list.size())) return;
  name = list[index].first;
  range = list[index].second;
}

bool RangeNameModel::canDelete() const {
  WindowState* w = frame_.active();
  return w && !name.empty() && w->worksheet().names.FindName(name) > 0;
}

void RangeNameModel::create() {
  message.clear();
  Host& host = frame_.session().host();
  std::optional<CellRange> r = frame_.parsePromptRange(range);
  if (!r) return host.beep();
  std::string n = RangeNameTable::normalise(name);
  if (n.empty() || allDigits(n)) {
    message = " All Digits in Name!";
    return host.beep();
  }
  if (!frame_.execute("RANGECREATE", {Arg::ofText(n), Arg::ofRange(*r)}).ok)
    message = "The name was not created.";
}

void RangeNameModel::remove() {
  message.clear();
  if (!canDelete()) return frame_.session().host().beep();
  frame_.execute("RANGEDELETE", {Arg::ofText(name)});
  name.clear();
  range.clear();
}

void RangeNameModel::reset() {
  message.clear();
  Host& host = frame_.session().host();
  if (host.askYesNoCancel("Reset All Names: Are You Sure?", "Range Name") != Answer::Yes) return;
  frame_.execute("RANGERESET");
}

void RangeNameModel::build() {
  message.clear();
  std::optional<CellRange> r = frame_.parsePromptRange(source);
  if (!r) return frame_.session().host().beep();
  frame_.execute("RANGEBUILD", {Arg::ofRange(*r)});
}

void RangeNameModel::table() {
  message.clear();
  std::optional<CellRange> r = frame_.parsePromptRange(target);
  if (!r) return frame_.session().host().beep();
  frame_.execute("RANGETABLE", {Arg::ofRange(*r)});
}

const char* RangeNameModel::pointPrompt() const {
  switch (point) {
    case Point::Source:
      return "BUILD: Specify Source";
    case Point::Target:
      return "TABLE: Specify Target";
    default:
      return "NAME: Specify Range";
  }
}

std::string& RangeNameModel::pointedField() {
  switch (point) {
    case Point::Source:
      return source;
    case Point::Target:
      return target;
    default:
      return range;
  }
}

}  // namespace tw
