#include "graphs/graph_commands.h"

#include <algorithm>
#include <cctype>

#include "commands/settings_commands.h"
#include "core/display_format.h"
#include "core/host.h"
#include "core/number_text.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "core/bmp_file.h"
#include "graphs/graph_draw.h"

namespace tw {

namespace {

// A letter and the text up to the next letter that starts an item.
struct Item {
  char letter;
  std::string value;
};

std::vector<Item> itemsOf(std::string_view text, std::string_view valueLetters = {}) {
  std::vector<Item> out;
  for (size_t i = 0; i < text.size();) {
    char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    if (c == ' ' || c == ',' || c == ';') {
      ++i;
      continue;
    }
    Item item{c, {}};
    ++i;
    // A format code's letters belong to it (F takes "C2", "D4", ...).
    // A grid item takes one letter (GB), a format item a code (FC2, FF1).
    size_t letters = valueLetters.find(c) == std::string_view::npos ? 0 : (c == 'G' ? 1 : 2);
    while (i < text.size()) {
      char v = text[i];
      bool numeric =
          std::isdigit(static_cast<unsigned char>(v)) || v == '.' || v == '-' || v == '+';
      if (letters == 1 && !item.value.empty()) break;
      if (!numeric && !(item.value.size() < letters && v != ' ' && v != ',')) break;
      item.value += v;
      ++i;
    }
    out.push_back(item);
  }
  return out;
}

std::optional<double> numberOf(const std::string& v, char decimal) {
  if (v.empty()) return std::nullopt;
  return parseNumberText(v, decimal);
}

uint8_t clampByte(double v, int lo, int hi) {
  return static_cast<uint8_t>(std::clamp(static_cast<int>(v), lo, hi));
}

int intArg(const Args& a, size_t n) {
  return static_cast<int>(numberArg(a, n));
}

CommandResult changed(CommandContext& cx, const GraphDefinition& g) {
  setCurrentGraph(*cx.ws, g);
  return {};
}

}  // namespace

bool applyScaleItems(AxisScale& axis, std::string_view text, char decimal) {
  for (const Item& item : itemsOf(text, "F")) {
    std::optional<double> x = numberOf(item.value, decimal);
    switch (item.letter) {
      case 'M':
        axis.manual = true;
        break;
      case 'A':
        axis.manual = false;
        break;
      case 'L':
        if (!x) return false;
        axis.lower = *x;
        break;
      case 'U':
        if (!x) return false;
        axis.upper = *x;
        break;
      case 'F':
        axis.format = ParseFormatCode(item.value);
        break;
      case 'K':
        if (!x) return false;
        axis.intervals = clampByte(*x, 0, 100);
        break;
      case 'D':
        if (!x) return false;
        axis.divisions = clampByte(*x, 0, 100);
        break;
      case 'E':
        axis.exponential = true;
        break;
      case 'N':
        axis.exponential = false;
        break;
      default:
        return false;
    }
  }
  return true;
}

bool applyOptionItems(GraphDefinition& g, int n, std::string_view text, char decimal) {
  if (n >= 1 && n <= kSeriesCount) {
    SeriesFormat& f = g.series[n - 1];
    for (const Item& item : itemsOf(text)) {
      std::optional<double> x = numberOf(item.value, decimal);
      if (!x) return false;
      switch (item.letter) {
        case 'F':
          g.colours[n] = clampByte(*x, 0, 15);
          break;
        case 'B':
          g.backColours[n - 1] = clampByte(*x, 0, 15);
          break;
        case 'M':
          f.mark = clampByte(*x + 1, 1, 16);
          break;
        case 'H':
          f.hatch = clampByte(*x, 1, 8);
          break;
        case 'T':
          f.thickness = clampByte(*x, 1, 5);
          break;
        case 'S':
          f.style = clampByte(*x, 1, 6);
          break;
        case 'O':
          f.option = clampByte(*x, 0, 3);
          break;
        default:
          return false;
      }
    }
    return true;
  }
  for (const Item& item : itemsOf(text, "G")) {
    switch (item.letter) {
      case 'G': {
        char which = item.value.empty() ? 0 : static_cast<char>(std::toupper(item.value[0]));
        const std::string_view kinds = "NHVB";
        size_t k = kinds.find(which);
        if (k == std::string_view::npos || !which) return false;
        g.grid = static_cast<uint8_t>(k);
        break;
      }
      case 'S':
        g.solidGrid = true;
        break;
      case 'D':
        g.solidGrid = false;
        break;
      case 'I':
      case 'O': {
        std::optional<double> x = numberOf(item.value, decimal);
        if (!x) return false;
        g.colours[item.letter == 'I' ? kElementPlot : kElementBackground] = clampByte(*x, 0, 15);
        break;
      }
      default:
        return false;
    }
  }
  return true;
}

std::string QuickGraph(CommandContext& cx, const CellRange& selection) {
  Worksheet& ws = *cx.ws;
  CellRange s = selection.ordered();
  if (!s.valid() || s.row1 == s.row2 || s.col1 == s.col2) {
    cx.host().beep();
    return {};
  }
  if (ws.settings.namedGraphs.size() >= kMaxNamedGraphs) {
    cx.session.ShowError(kMaxGraphsMessage);
    return {};
  }
  GraphDefinition g = currentGraph(ws);
  g.ranges.fill(kEmptyRange);
  for (int k = 0; k < 7 && s.col1 + k <= s.col2; ++k)
    g.ranges[k] = CellRange::of(s.row1, s.col1 + k, s.row2, s.col1 + k);
  setCurrentGraph(ws, g);
  int index = NewGraphName(ws);
  if (index <= 0) {
    cx.session.ShowError(kMaxGraphsMessage);
    return {};
  }
  cx.session.quickGraphName = ws.settings.namedGraphs[index - 1].name;
  return cx.session.quickGraphName;
}

CommandResult SaveGraphPicture(CommandContext& cx, const std::string& path, int graph, int width,
                               int height) {
  Worksheet& ws = *cx.ws;
  GraphDefinition g = graph > 0 ? namedGraph(ws, graph) : currentGraph(ws);
  auto draw = [&](Canvas& canvas) { DrawGraph(canvas, ws, g, width, height); };
  std::string lower = path;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  bool ok = false;
  if (lower.ends_with(".png") || lower.ends_with(".svg")) {
    ok = cx.host().writePicture(
        path, lower.ends_with(".png") ? Host::PictureFile::Png : Host::PictureFile::Svg, width,
        height, draw);
  } else {
    Bitmap b;
    ok = cx.host().renderPicture(width, height, draw, b) && writeBmpFile(path, b);
  }
  if (!ok) {
    cx.session.ShowError(kPictureErrorMessage);
    return CommandResult::failed();
  }
  cx.host().beep();
  return {};
}

CommandResult CopyGraphToClipboard(CommandContext& cx, int graph, int width, int height) {
  Worksheet& ws = *cx.ws;
  GraphDefinition g = graph > 0 ? namedGraph(ws, graph) : currentGraph(ws);
  Bitmap b;
  if (!cx.host().renderPicture(
          width, height, [&](Canvas& c) { DrawGraph(c, ws, g, width, height); }, b))
    return CommandResult::failed();
  cx.host().setClipboardBitmap(b);
  return {};
}

void addGraphCommands(CommandTable& t) {
  // Group 2: "XBPSLMHRADOC" (2-D types and contour); any other: "SPDWBT" (3-D).
  t.add({"GRAPHTYPE",
         {{ArgKind::Integer, "Group (2 or 3)"}, {ArgKind::Text, "Type letter"}},
         [](CommandContext& cx, const Args& a) {
           GraphDefinition g = currentGraph(*cx.ws);
           std::string letter = textArg(a, 0 + 1);
           if (letter.empty()) return CommandResult::failed();
           char c = static_cast<char>(std::toupper(static_cast<unsigned char>(letter[0])));
           static const uint8_t kTwoD[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13};
           static const uint8_t kThreeD[] = {11, 14, 15, 12, 16, 17};
           std::string_view letters = intArg(a, 0) == 2 ? "XBPSLMHRADOC" : "SPDWBT";
           size_t k = letters.find(c);
           if (k == std::string_view::npos) return CommandResult{};  // the type stays
           g.type = intArg(a, 0) == 2 ? kTwoD[k] : kThreeD[k];
           return changed(cx, g);
         }});
  t.add({"GRAPHSERIES",
         {{ArgKind::Integer, "Series (0 X, 1 to 6 A to F)"},
          {ArgKind::Range, "GRAPH: Specify Range"}},
         [](CommandContext& cx, const Args& a) {
           int n = intArg(a, 0);
           if (n < 0 || n > 6) return CommandResult::failed();
           GraphDefinition g = currentGraph(*cx.ws);
           g.ranges[n] = a.size() > 1 && a[1].given ? a[1].range.ordered() : kEmptyRange;
           return changed(cx, g);
         }});
  t.add({"GRAPHLEGEND",
         {{ArgKind::Integer, "Series (1 to 6)"},
          {ArgKind::Text, "Legend", true},
          {ArgKind::Integer, "", true}},
         [](CommandContext& cx, const Args& a) {
           int n = intArg(a, 0);
           if (n < 1 || n > 6) return CommandResult::failed();
           GraphDefinition g = currentGraph(*cx.ws);
           g.legends[n - 1] = textArg(a, 1).substr(0, kMaxLegend);
           return changed(cx, g);
         }});
  t.add({"GRAPHHEADING",
         {{ArgKind::Integer, "Line (0 to 3)"}, {ArgKind::Text, "Heading", true}},
         [](CommandContext& cx, const Args& a) {
           int n = intArg(a, 0);
           if (n < 0 || n > 3) return CommandResult::failed();
           GraphDefinition g = currentGraph(*cx.ws);
           g.headings[n] = textArg(a, 1).substr(0, kMaxHeading);
           return changed(cx, g);
         }});
  t.add({"GRAPHLABEL",
         {{ArgKind::Integer, "Entry"},
          {ArgKind::Range, "LABELS: Specify Range"},
          {ArgKind::Integer, "Series (1 to 6)"}},
         [](CommandContext& cx, const Args& a) {
           int entry = intArg(a, 0), s = intArg(a, 2);
           if (s < 1 || s > 6) return CommandResult{};  // a series outside 1..6 changes nothing
           GraphDefinition g = currentGraph(*cx.ws);
           g.labelRanges[s - 1] = a.size() > 1 && a[1].given ? a[1].range.ordered() : kEmptyRange;
           if (entry >= 0 && entry < 6) g.labelTable[entry] = static_cast<uint8_t>(s);
           if (g.labelPlaces[s - 1] == kLabelNone) g.labelPlaces[s - 1] = kLabelAbove;
           return changed(cx, g);
         }});
  t.add({"GRAPHFONT",
         {{ArgKind::Integer, "Item (0 to 6)"}, {ArgKind::Text, "Font (typeface,size,style)"}},
         [](CommandContext& cx, const Args& a) {
           int n = intArg(a, 0);
           if (n < 0 || n >= kGraphFontCount) return CommandResult::failed();
           FontSpec asked = parseFontSpec(textArg(a, 1));
           GraphDefinition g = currentGraph(*cx.ws);
           GraphFont& f = g.fonts[n];
           if (asked.typeface) f.typeface = asked.typeface->substr(0, kMaxGraphTypeface);
           if (asked.size) f.size = clampByte(*asked.size, 1, 144);
           if (asked.style) f.style = *asked.style & 7;
           return changed(cx, g);
         }});
  t.add({"GRAPHSCALE",
         {{ArgKind::Integer, "Axis (0 X, 1 Y)"},
          {ArgKind::Text, "Scale (M, A, L, U, F, K, D, E, N)"}},
         [](CommandContext& cx, const Args& a) {
           int axis = intArg(a, 0);
           if (axis != 0 && axis != 1) return CommandResult::failed();
           GraphDefinition g = currentGraph(*cx.ws);
           if (!applyScaleItems(axis == 0 ? g.x : g.y, textArg(a, 1),
                                cx.session.settings().decimalSeparator)) {
             cx.host().beep();
             return CommandResult::failed();
           }
           return changed(cx, g);
         }});
  t.add({"GRAPHOPTIONS",
         {{ArgKind::Integer, "Series (1 to 6) or 0"}, {ArgKind::Text, "Options"}},
         [](CommandContext& cx, const Args& a) {
           GraphDefinition g = currentGraph(*cx.ws);
           if (!applyOptionItems(g, intArg(a, 0), textArg(a, 1),
                                 cx.session.settings().decimalSeparator)) {
             cx.host().beep();
             return CommandResult::failed();
           }
           return changed(cx, g);
         }});
  // 0 save under the name, 1 make it current, 2 delete it.
  t.add({"GRAPHNAME",
         {{ArgKind::Integer, "Action (0 save, 1 use, 2 delete)"}, {ArgKind::Text, "Graph name"}},
         [](CommandContext& cx, const Args& a) {
           std::string name = textArg(a, 1);
           switch (intArg(a, 0)) {
             case 0:
               if (name.empty() || name[0] == '*') return CommandResult::failed();
               if (SaveGraphAs(*cx.ws, name) == 0) {
                 cx.session.ShowError(std::string(kTooManyGraphsMessage) +
                                      std::to_string(kMaxNamedGraphs));
                 return CommandResult::failed();
               }
               return CommandResult{};
             case 1:
               UseGraph(*cx.ws, name);
               return CommandResult{};
             case 2:
               DeleteGraph(*cx.ws, name);
               return CommandResult{};
             default:
               return CommandResult::failed();
           }
         }});
  // A named graph (none: the current one) into a .bmp, .png or .svg file.
  t.add({"GRAPHPICTURE",
         {{ArgKind::Text, "File name"},
          {ArgKind::Text, "Graph name", true},
          {ArgKind::Integer, "Width", true},
          {ArgKind::Integer, "Height", true}},
         [](CommandContext& cx, const Args& a) {
           std::string path = textArg(a, 0);
           if (path.empty()) return CommandResult::failed();
           int index = 0;
           if (std::string name = textArg(a, 1); !name.empty()) {
             index = FindGraph(*cx.ws, name);
             if (index == 0) {
               cx.session.ShowError("No Graph Named " + graphName(name));
               return CommandResult::failed();
             }
           }
           int w = a.size() > 2 && a[2].given ? intArg(a, 2) : 640;
           int h = a.size() > 3 && a[3].given ? intArg(a, 3) : 480;
           if (w < 16 || h < 16 || w > 10000 || h > 10000) {
             cx.session.ShowError("Picture size from 16 to 10000 pixels");
             return CommandResult::failed();
           }
           return SaveGraphPicture(cx, path, index, w, h);
         }});
}

}  // namespace tw
