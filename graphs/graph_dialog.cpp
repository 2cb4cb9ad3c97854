#include "graphs/graph_dialog.h"

#include <charconv>

#include "commands/settings_commands.h"
#include "core/char_case.h"
#include "core/display_format.h"
#include "core/evaluator.h"
#include "core/range_parse.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

namespace {

std::string numberText(double x) {
  return GeneralText(x);
}

const char* kPlaces[] = {"", "above", "below", "left", "right", "none"};
const char* kGrids[] = {"none", "horiz", "vert", "both"};

}  // namespace

GraphDialogModel::GraphDialogModel(Worksheet& ws, int startPage)
    : graph(currentGraph(ws)), page(std::clamp(startPage, 0, kPageCount - 1)), ws_(ws) {
  addField(
      "page", [this] { return std::to_string(page); },
      [this](std::string_view v) {
        std::optional<int> n = integerOf(v);
        if (!n || *n < 0 || *n >= kPageCount) return false;
        page = *n;
        return true;
      });
  addField(
      "type", [this] { return std::to_string(graph.type); },
      [this](std::string_view v) {
        std::optional<int> n = integerOf(v);
        if (!n || *n < 0 || *n >= kGraphTypeCount) return false;
        graph.type = static_cast<uint8_t>(*n);
        return true;
      });
  const char* rangeNames[] = {"x", "a", "b", "c", "d", "e", "f"};
  for (int r = 0; r < 7; ++r)
    addField(
        rangeNames[r], [this, r] { return rangeText(graph.ranges[r]); },
        [this, r](std::string_view v) { return setRange(graph.ranges[r], v); });
  for (int s = 0; s < 6; ++s) {
    std::string n = std::to_string(s + 1);
    addField(
        "label" + n, [this, s] { return rangeText(graph.labelRanges[s]); },
        [this, s](std::string_view v) { return setRange(graph.labelRanges[s], v); });
    addField(
        "place" + n, [this, s] { return std::string(kPlaces[graph.labelPlaces[s] % 6]); },
        [this, s](std::string_view v) {
          for (uint8_t p = 1; p <= 5; ++p)
            if (sameText(v, kPlaces[p])) {
              graph.labelPlaces[s] = p;
              return true;
            }
          return false;
        });
    addText("legend" + n, graph.legends[s], kMaxLegend);
    // Series options: colours, mark, hatch, thickness, style, drawing option.
    auto byte = [this](std::string field, uint8_t& target, int lo, int hi) {
      addField(
          std::move(field), [&target] { return std::to_string(target); },
          [&target, lo, hi](std::string_view v) {
            std::optional<int> k = integerOf(v);
            if (!k || *k < lo || *k > hi) return false;
            target = static_cast<uint8_t>(*k);
            return true;
          });
    };
    std::string p = "s" + n;
    byte(p + "fore", graph.colours[s + 1], 0, 15);
    byte(p + "back", graph.backColours[s], 0, 15);
    byte(p + "mark", graph.series[s].mark, 1, 16);
    byte(p + "hatch", graph.series[s].hatch, 1, 8);
    byte(p + "thick", graph.series[s].thickness, 1, 5);
    byte(p + "style", graph.series[s].style, 1, 6);
    byte(p + "option", graph.series[s].option, 0, 3);
  }
  const char* headingNames[] = {"main", "second", "xtitle", "ytitle"};
  for (int h = 0; h < 4; ++h) addText(headingNames[h], graph.headings[h], kMaxHeading);
  addField(
      "legendtype", [this] { return std::string(graph.legendTable ? "table" : "row"); },
      [this](std::string_view v) {
        if (!sameText(v, "table") && !sameText(v, "row")) return false;
        graph.legendTable = sameText(v, "table");
        return true;
      });
  addField(
      "grid", [this] { return std::string(kGrids[graph.grid & 3]); },
      [this](std::string_view v) {
        for (uint8_t k = 0; k < 4; ++k)
          if (sameText(v, kGrids[k])) {
            graph.grid = k;
            return true;
          }
        return false;
      });
  addField(
      "gridstyle", [this] { return std::string(graph.solidGrid ? "solid" : "dots"); },
      [this](std::string_view v) {
        if (!sameText(v, "solid") && !sameText(v, "dots")) return false;
        graph.solidGrid = sameText(v, "solid");
        return true;
      });
  auto colourField = [this](std::string field, int element) {
    addField(
        std::move(field), [this, element] { return std::to_string(graph.colours[element]); },
        [this, element](std::string_view v) {
          std::optional<int> k = integerOf(v);
          if (!k || *k < 0 || *k > 15) return false;
          graph.colours[element] = static_cast<uint8_t>(*k);
          return true;
        });
  };
  colourField("inside", kElementPlot);
  colourField("outside", kElementBackground);
  for (int f = 0; f < kGraphFontCount; ++f) {
    std::string n = "font" + std::to_string(f);
    colourField(n + "colour", kElementMainTitle + f);
    addField(
        n,
        [this, f] {
          const GraphFont& gf = graph.fonts[f];
          return gf.typeface + "," + std::to_string(gf.size) + "," + std::to_string(gf.style);
        },
        [this, f](std::string_view v) {
          FontSpec asked = parseFontSpec(v);
          GraphFont& gf = graph.fonts[f];
          if (asked.typeface) gf.typeface = asked.typeface->substr(0, kMaxGraphTypeface);
          if (asked.size) gf.size = static_cast<uint8_t>(std::clamp(*asked.size, 1, 144));
          if (asked.style) gf.style = *asked.style & 7;
          return true;
        });
  }
  for (int axis = 0; axis < 2; ++axis) {
    std::string a = axis == 0 ? "x" : "y";
    AxisScale& s = axis == 0 ? graph.x : graph.y;
    addFlag(a + "manual", s.manual);
    addFlag(a + "exp", s.exponential);
    auto limit = [this](std::string field, double& target) {
      addField(
          std::move(field), [&target] { return numberText(target); },
          [this, &target](std::string_view v) {
            std::optional<double> x = evaluate(v);
            if (!x) return false;
            target = *x;
            return true;
          });
    };
    limit(a + "lower", s.lower);
    limit(a + "upper", s.upper);
    auto count = [this](std::string field, uint8_t& target) {
      addField(
          std::move(field), [&target] { return std::to_string(target); },
          [this, &target](std::string_view v) {
            std::optional<double> x = evaluate(v);
            if (!x || *x < 0 || *x > 100) return false;
            target = static_cast<uint8_t>(*x);
            return true;
          });
    };
    count(a + "step", s.intervals);
    count(a + "div", s.divisions);
    addField(
        a + "format", [this, &s] { return FormatCode(s.format, false); },
        [&s](std::string_view v) {
          s.format = ParseFormatCode(v);
          return true;
        });
  }
  addText("name", name, kMaxGraphName);
  addField(
      "press", [] { return std::string(); },
      [this](std::string_view v) {
        if (sameText(v, "new"))
          pressNew();
        else if (sameText(v, "delete"))
          pressDelete();
        else if (sameText(v, "use"))
          pressUse();
        else if (sameText(v, "merge"))
          pressMerge();
        else if (sameText(v, "reset"))
          pressReset();
        else
          return false;
        return true;
      });
}

std::string GraphDialogModel::caption() const {
  switch (page) {
    case kType:
      return "Select Type";
    case kRanges:
      return "Specify Ranges";
    case kOptions:
      return "Options";
    case kScales:
      return scaleTab == 0 ? "Scale: Set X-Axis" : "Scale: Set Y-Axis";
    case kNames:
      return "Names";
    case kHeadings:
      return "Headings";
    case kColors:
      return "Colors";
    case kFonts:
      return "Fonts";
    default:
      return "Legends";
  }
}

bool GraphDialogModel::check(std::string&) {
  return true;
}

std::optional<double> GraphDialogModel::evaluate(std::string_view text) const {
  std::string t(text);
  if (t.find_first_not_of(' ') == std::string::npos) return 0.0;
  EvalResult r = ws_.session().evaluator().EvaluateText(ws_, t);
  ws_.session().error().clear();
  if (r.error || r.isString) return std::nullopt;
  return r.number;
}

std::string GraphDialogModel::rangeText(const CellRange& r) const {
  return r.valid() ? ws_.rangeText(r) : std::string();
}

bool GraphDialogModel::setRange(CellRange& target, std::string_view text) {
  if (text.find_first_not_of(' ') == std::string_view::npos) {
    target = kEmptyRange;
    return true;
  }
  ParsedRange p = ParseRange(ws_, text, kRangeWords | kSingleDot);
  ws_.session().error().clear();
  if (!p.ok || !p.range.valid()) return false;
  target = p.range.ordered();
  return true;
}

std::vector<std::string> GraphDialogModel::names() const {
  std::vector<std::string> out{"* Default *"};
  for (const NamedGraph& g : ws_.settings.namedGraphs) out.push_back(g.name);
  return out;
}

void GraphDialogModel::pressNew() {
  message.clear();
  if (name.empty()) return;
  if (name[0] == '*') {
    message = "A graph name cannot begin with *";
    return;
  }
  setCurrentGraph(ws_, graph);
  if (SaveGraphAs(ws_, name) == 0) {
    message = std::string(kTooManyGraphsMessage) + std::to_string(kMaxNamedGraphs);
    ws_.session().ShowError(message);
    return;
  }
  graph = currentGraph(ws_);
}

void GraphDialogModel::pressDelete() {
  message.clear();
  if (DeleteGraph(ws_, name) == 0) message = "No Graph Named " + graphName(name);
}

void GraphDialogModel::pressUse() {
  message.clear();
  if (UseGraph(ws_, name) == 0) {
    message = "No Graph Named " + graphName(name);
    return;
  }
  graph = currentGraph(ws_);
  showWindow = true;
}

void GraphDialogModel::pressMerge() {
  message.clear();
  graph.overlay = FindGraph(ws_, name) > 0 ? graphName(name) : std::string();
  showWindow = !graph.overlay.empty();
}

void GraphDialogModel::pressReset() {
  graph.overlay.clear();
}

}  // namespace tw
