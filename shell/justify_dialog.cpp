#include "shell/justify_dialog.h"

#include <charconv>
#include <cmath>

#include "commands/justify.h"
#include "core/display_format.h"
#include "core/evaluator.h"
#include "core/range_parse.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

// --- Justify --------------------------------------------------------------------

JustifyDialogModel::JustifyDialogModel(Worksheet& ws, const CellRange& selection) : ws_(ws) {
  if (selection.valid()) setRange(ws.rangeText(selection.ordered()));
  addField(
      "range", [this] { return rangeText; },
      [this](std::string_view v) {
        setRange(v);
        return true;
      });
  addField(
      "width", [this] { return width; }, [this](std::string_view v) { return leaveWidth(v); });
  addFlag("pad", pad);
  addField(
      "point", [] { return std::string(); },
      [this](std::string_view) {
        pointField = "range";
        return true;
      });
}

std::optional<CellRange> JustifyDialogModel::range() const {
  if (rangeText.find_first_not_of(' ') == std::string::npos) return std::nullopt;
  ParsedRange p = ParseRange(ws_, rangeText, kRangeWords | kSingleDot);
  ws_.session().error().clear();
  if (!p.ok || !p.range.valid()) return std::nullopt;
  return p.range.ordered();
}

void JustifyDialogModel::setRange(std::string_view text) {
  rangeText = std::string(text.substr(0, 255));
  std::optional<CellRange> r = range();
  if (!r) return;
  int pixels = 0;
  for (int c = r->col1; c <= r->col2; ++c) pixels += ws_.columnPixels(c);
  width = std::to_string(pixels / 4);
}

std::optional<double> JustifyDialogModel::widthValue() const {
  if (width.find_first_not_of(' ') == std::string::npos) return std::nullopt;
  EvalResult r = ws_.session().evaluator().EvaluateText(ws_, width);
  ws_.session().error().clear();
  if (r.error || r.isString || !std::isfinite(r.number)) return std::nullopt;
  return r.number;
}

bool JustifyDialogModel::leaveWidth(std::string_view text) {
  std::string was = width;
  width = std::string(text.substr(0, 255));
  std::optional<double> x = widthValue();
  if (!x) {
    width = was;
    return false;
  }
  width = GeneralText(*x);
  return true;
}

bool JustifyDialogModel::command(std::string& keyword, Args& args, std::string& message) const {
  keyword = "JUSTIFY";
  args.clear();
  std::optional<CellRange> r = range();
  if (!r) {
    message = "Invalid Justify Range: " + rangeText;
    return false;
  }
  std::optional<double> w = widthValue();
  // The lines are 4 pixels narrower than the width: a unit leaves none.
  if (!w || *w <= 1 || *w > 100000) {
    message = "Invalid Width: " + width;
    return false;
  }
  args.push_back(Arg::ofRange(*r));
  args.push_back(Arg::ofNumber(std::floor(*w * 4)));
  args.push_back(Arg::ofNumber(pad ? 1 : 0));
  return true;
}

bool JustifyDialogModel::check(std::string& message) {
  if (!pointField.empty()) return true;
  std::string keyword;
  Args args;
  return command(keyword, args, message);
}

// --- Word -----------------------------------------------------------------------

WordDialogModel::WordDialogModel(Worksheet& ws, const CellRange& selection)
    : lines(editorLines(ws, selection)) {
  if (selection.valid()) {
    const CellRange r = selection.ordered();
    row = r.row1;
    col = r.col1;
  }
}

std::string WordDialogModel::text() const {
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) out += (i ? "\n" : "") + lines[i];
  return out;
}

void WordDialogModel::setText(std::string_view text) {
  lines = splitLines(text);
}

void WordDialogModel::command(std::string& keyword, Args& args) const {
  keyword = "WORDEDIT";
  args = {Arg::ofRange(CellRange::cell(row, col)), Arg::ofText(text())};
}

std::optional<size_t> WordDialogModel::lineIndex(std::string_view name) const {
  if (name.size() < 5 || name.substr(0, 4) != "line") return std::nullopt;
  size_t n = 0;
  auto [end, ec] = std::from_chars(name.data() + 4, name.data() + name.size(), n);
  if (ec != std::errc() || end != name.data() + name.size() || n < 1) return std::nullopt;
  return n - 1;
}

std::vector<std::string> WordDialogModel::fieldNames() const {
  std::vector<std::string> names = {"text", "count"};
  for (size_t i = 0; i < lines.size(); ++i) names.push_back("line" + std::to_string(i + 1));
  return names;
}

std::string WordDialogModel::field(std::string_view name) const {
  if (name == "text") return text();
  if (name == "count") return std::to_string(lines.size());
  if (auto i = lineIndex(name)) return *i < lines.size() ? lines[*i] : std::string();
  return {};
}

bool WordDialogModel::setField(std::string_view name, std::string_view value) {
  if (name == "text") {
    setText(value);
    return true;
  }
  if (name == "count") {
    std::optional<int> n = integerOf(value);
    if (!n || *n < 0 || *n > kRows) return false;
    lines.resize(static_cast<size_t>(*n));
    return true;
  }
  if (auto i = lineIndex(name)) {
    // Lines are added one at a time, as an edit box grows.
    if (*i > lines.size()) return false;
    if (*i == lines.size()) lines.emplace_back();
    lines[*i] = std::string(value.substr(0, 255));
    return true;
  }
  return false;
}

}  // namespace tw
