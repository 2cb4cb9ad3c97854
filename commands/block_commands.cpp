#include "commands/block_commands.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/cell_entry.h"
#include "core/dependencies.h"
#include "core/evaluator.h"
#include "core/formula_code.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/undo.h"
#include "core/worksheet.h"

namespace tw {

namespace {

bool protectedCell(const Worksheet& ws, const Cell& c) {
  return ws.settings.protection && c.isProtected();
}

// A source cell as it was before the copy began, so that a target that
// overlaps the source reads the original.
struct SavedCell {
  Cell cell;  // attributes, kind and value; content and links are not used
  std::vector<uint8_t> content;
  bool hasContent = false;
};

void copyAttributes(Cell& to, const Cell& from) {
  to.font = from.font;
  to.size = from.size;
  to.style = from.style;
  to.borders = from.borders;
  to.colour = from.colour;
  to.format = from.format;
}

// Recalculates the cells a command changed, or in manual mode evaluates
// only the new formulas themselves.
void recalcAfter(Worksheet& ws, const CellRange& range, const std::vector<CellHandle>& formulas) {
  if (ws.settings.manualRecalc) {
    for (CellHandle h : formulas) ws.session().evaluator().EvaluateCell(ws, h);
    return;
  }
  RecalcRange(ws, range);
}

class Gauge {
 public:
  Gauge(Host& host, int64_t total) : host_(host), total_(std::max<int64_t>(total, 1)) {}
  ~Gauge() {
    if (shown_) host_.showProgress(-1);
  }
  void step() {
    if ((count_++ & 255) == 0) {
      host_.showProgress(static_cast<int>(count_ * 100 / total_));
      shown_ = true;
    }
  }

 private:
  Host& host_;
  int64_t total_;
  int64_t count_ = 0;
  bool shown_ = false;
};

CommandResult copyBlock(CommandContext& cx, const CellRange& s, const CellRange& t, int lastRow,
                        int lastCol) {
  Worksheet& ws = *cx.ws;
  const int width = s.col2 - s.col1 + 1, height = s.row2 - s.row1 + 1;
  std::vector<SavedCell> saved;
  std::vector<int32_t> at(static_cast<size_t>(width) * height, -1);
  ws.ForEachCell(s, [&](CellHandle, Cell& c) {
    SavedCell sc;
    sc.cell = c;
    if (c.content) {
      sc.content.assign(c.content, c.content + 1 + c.content[0]);
      sc.hasContent = true;
    }
    at[static_cast<size_t>(c.row - s.row1) * width + (c.column - s.col1)] =
        static_cast<int32_t>(saved.size());
    saved.push_back(std::move(sc));
    return true;
  });

  std::vector<CellHandle> formulas;
  int64_t anchors = int64_t(t.row2 - t.row1 + 1) * (t.col2 - t.col1 + 1);
  Gauge gauge(cx.host(), anchors * width * height);
  CommandResult out;
  CellRange changed = CellRange::of(t.row1, t.col1, lastRow, lastCol);
  out.changed.push_back(changed);
  for (int i = t.row1; i <= t.row2; ++i)
    for (int j = t.col1; j <= t.col2; ++j)
      for (int r = s.row1; r <= s.row2; ++r)
        for (int c = s.col1; c <= s.col2; ++c) {
          const int tr = r + (i - s.row1), tc = c + (j - s.col1);
          if (tr == r && tc == c) continue;
          gauge.step();
          int32_t k = at[static_cast<size_t>(r - s.row1) * width + (c - s.col1)];
          if (k < 0) {
            // Nothing there: the target is emptied but keeps its attributes.
            CellHandle h = ws.FindCell(tr, tc);
            if (h != kNoCell && !protectedCell(ws, ws.cell(h))) ws.ClearCell(h);
            continue;
          }
          const SavedCell& from = saved[k];
          CellHandle h = ws.GetOrCreateCell(tr, tc);
          if (h == kNoCell) {
            cx.session.error().clear();
            cx.session.ShowError("Copy Error");
            recalcAfter(ws, changed, formulas);
            out.ok = false;
            return out;
          }
          if (protectedCell(ws, ws.cell(h))) continue;
          ws.ClearCell(h);
          Cell& to = ws.cell(h);
          copyAttributes(to, from.cell);
          to.kind = from.cell.kind & kKindTypeMask;
          to.value.raw = from.cell.type() == CellType::StringFormula ? 0 : from.cell.value.raw;
          if (from.hasContent) to.content = makePString(from.content.data() + 1, from.content[0]);
          if (isFormula(&to)) {
            // Its own result, made by the recalculation that follows.
            to.setType(CellType::NumberFormula);
            to.value.raw = 0;
            if (to.content) RelocateReferences(ws, to.content, tr - r, tc - c);
            cx.session.error().clear();
            RegisterDependencies(ws, h);
            formulas.push_back(h);
          }
        }
  recalcAfter(ws, changed, formulas);
  return out;
}

CommandResult moveBlock(CommandContext& cx, const CellRange& s, const CellRange& t) {
  Worksheet& ws = *cx.ws;
  const int dr = t.row1 - s.row1, dc = t.col1 - s.col1;
  const CellRange target = CellRange::of(t.row1, t.col1, s.row2 + dr, s.col2 + dc);
  const bool protection = ws.settings.protection;

  // Every formula whose links the move can change: the formulas of both
  // blocks and whatever depends on their cells. They let go of their links
  // while cells change places and take them again afterwards, so that a
  // range whose corner moved links the cells it now covers.
  std::vector<CellHandle> affected;
  std::unordered_map<CellHandle, std::vector<CellHandle>> targetDependents;
  auto collect = [&](const CellRange& r, bool isTarget) {
    ws.ForEachCell(r, [&](CellHandle h, Cell& c) {
      if (isFormula(&c)) affected.push_back(h);
      std::vector<CellHandle> deps = DependentsOf(ws, h);
      affected.insert(affected.end(), deps.begin(), deps.end());
      if (isTarget && !deps.empty()) targetDependents[h] = std::move(deps);
      return true;
    });
  };
  collect(s, false);
  collect(target, true);
  std::sort(affected.begin(), affected.end());
  affected.erase(std::unique(affected.begin(), affected.end()), affected.end());
  for (CellHandle f : affected) UnregisterDependencies(ws, f);

  std::vector<CellHandle> destroyed;
  // The walk goes away from the target, so that no cell is overwritten
  // before it has moved.
  const bool rowsUp = t.row1 < s.row1, colsUp = t.col1 < s.col1;
  for (int ri = 0; ri <= s.row2 - s.row1; ++ri) {
    int r = rowsUp ? s.row1 + ri : s.row2 - ri;
    for (int ci = 0; ci <= s.col2 - s.col1; ++ci) {
      int c = colsUp ? s.col1 + ci : s.col2 - ci;
      const int tr = r + dr, tc = c + dc;
      if (tr == r && tc == c) continue;
      CellHandle h = ws.FindCell(r, c);
      if (h == kNoCell || protectedCell(ws, ws.cell(h))) continue;
      CellHandle there = ws.FindCell(tr, tc);
      // Under protection only existing unprotected cells take a moved one.
      if (protection && (there == kNoCell || ws.cell(there).isProtected())) continue;
      if (there != kNoCell) {
        auto deps = targetDependents.find(there);
        NullReferencesTo(ws, there,
                         deps == targetDependents.end() ? std::vector<CellHandle>{} : deps->second);
        ws.forgetRangesAt(tr, tc);
        ws.RemoveCell(there);
        destroyed.push_back(there);
      }
      ws.UnlinkFromRow(h);
      ws.LinkCellAt(h, tr, tc);
    }
  }

  std::sort(destroyed.begin(), destroyed.end());
  std::vector<CellHandle> survivors;
  survivors.reserve(affected.size());
  for (CellHandle f : affected)
    if (!std::binary_search(destroyed.begin(), destroyed.end(), f)) survivors.push_back(f);
  cx.session.error().clear();
  for (CellHandle f : survivors) RegisterDependencies(ws, f);
  AdjustRemembered(ws, dr, dc, s);
  if (!ws.settings.manualRecalc) RecalcCells(ws, survivors);
  ws.modified = true;
  CommandResult out;
  out.changed = {s, target};
  return out;
}

}  // namespace

CommandResult CopyOrMove(CommandContext& cx, bool move, const CellRange& source,
                         const CellRange& target) {
  Worksheet& ws = *cx.ws;
  if (!source.valid() || !target.valid()) return CommandResult::failed();
  CellRange s = source.ordered(), t = target.ordered();
  if (s.col2 > s.col1 || move) t.col2 = t.col1;
  if (s.row2 > s.row1 || move) t.row2 = t.row1;
  const int lastRow = t.row2 + s.row2 - s.row1, lastCol = t.col2 + s.col2 - s.col1;
  if (!validAddress(lastRow, lastCol)) {
    cx.session.ShowError("Copy Error");
    return CommandResult::failed();
  }
  TakeUndoSnapshot(ws);
  ws.maxRow = static_cast<int16_t>(std::max<int>(ws.maxRow, lastRow));
  ws.maxCol = static_cast<int16_t>(std::max<int>(ws.maxCol, lastCol));
  ws.modified = true;
  CommandResult out = move ? moveBlock(cx, s, t) : copyBlock(cx, s, t, lastRow, lastCol);
  out.allChanged = true;  // formulas elsewhere show new results
  return out;
}

CommandResult EraseRange(CommandContext& cx, const CellRange& range) {
  Worksheet& ws = *cx.ws;
  if (!range.valid()) return CommandResult::failed();
  CellRange r = range.ordered();
  TakeUndoSnapshot(ws);
  ws.ForEachCell(r, [&](CellHandle h, Cell& c) {
    if (!protectedCell(ws, c) && c.type() != CellType::Blank) ws.ClearCell(h);
    return true;
  });
  ws.modified = true;
  if (!ws.settings.manualRecalc) RecalcRange(ws, r);
  CommandResult out;
  out.allChanged = true;
  return out;
}

namespace {

// What a value copy reads from a source cell, taken before any target changes.
struct ValueSource {
  int row, col;
  CellType type;
  bool err;
  std::string input;  // the text the input line shows
  std::string label;  // a label's or string result's text
  double number;
  Cell attributes;
};

}  // namespace

CommandResult CopyValues(CommandContext& cx, CopyKind kind, const CellRange& source,
                         const CellRange& target, double factor) {
  Worksheet& ws = *cx.ws;
  if (!source.valid() || !target.valid()) return CommandResult::failed();
  CellRange s = source.ordered(), t = target.ordered();
  const bool single = s.isSingleCell();
  const bool transpose = kind == CopyKind::Transpose;
  int lastRow, lastCol;
  if (single) {
    lastRow = t.row2;
    lastCol = t.col2;
  } else {
    int h = s.row2 - s.row1, w = s.col2 - s.col1;
    if (transpose) std::swap(h, w);
    lastRow = t.row1 + h;
    lastCol = t.col1 + w;
  }
  if (!validAddress(lastRow, lastCol)) {
    cx.session.ShowError("Copy Error");
    return CommandResult::failed();
  }

  std::vector<ValueSource> sources;
  ws.ForEachCell(s, [&](CellHandle h, Cell& c) {
    if (protectedCell(ws, c) || c.type() == CellType::Blank) return true;
    ValueSource v{c.row,           c.column,       c.type(), c.isErr(), CellInputText(ws, h),
                  ws.LabelText(h), numberValue(c), c};
    sources.push_back(std::move(v));
    return true;
  });
  if (single && sources.empty()) return CommandResult{};
  TakeUndoSnapshot(ws);

  Session& session = cx.session;
  bool refused = false;
  auto enter = [&](const std::string& text, int row, int col) {
    EntryResult e = EnterCell(ws, text, row, col);
    if (e == EntryResult::Refused) refused = true;
    return e;
  };
  auto apply = [&](const ValueSource& v, int row, int col) {
    if (kind == CopyKind::Formula) {
      if (enter(v.input, row, col) == EntryResult::SyntaxError) {
        session.error().clear();
        enter(std::string(1, ws.settings.labelPrefix) + v.input, row, col);
      }
      if (Cell* to = ws.cellAt(row, col); to && !refused) copyAttributes(*to, v.attributes);
      return;
    }
    switch (v.type) {
      case CellType::Label:
        enter(v.input, row, col);
        return;
      case CellType::StringFormula:
        if (enter(v.label, row, col) == EntryResult::SyntaxError) {
          session.error().clear();
          enter(std::string(1, ws.settings.labelPrefix) + v.label, row, col);
        }
        return;
      default:
        break;
    }
    double x = v.number;
    if (kind == CopyKind::Scale) x *= factor;
    bool error = v.err;
    if (kind == CopyKind::Invert) {
      if (x == 0)
        error = true;
      else
        x = 1 / x;
    }
    if (error) {
      enter("@ERR", row, col);
      return;
    }
    CellHandle h = ws.FindCell(row, col);
    if (ws.settings.protection && (h == kNoCell || ws.cell(h).isProtected())) {
      session.ShowError("Protected Cell");
      refused = true;
      return;
    }
    if (!EnterNumber(ws, row, col, x)) enter("@ERR", row, col);
  };

  session.bulkUpdate = true;
  if (single) {
    for (int row = t.row1; row <= t.row2 && !refused; ++row)
      for (int col = t.col1; col <= t.col2 && !refused; ++col) apply(sources[0], row, col);
  } else {
    for (const ValueSource& v : sources) {
      int q = v.col - s.col1, r = v.row - s.row1;
      if (transpose) std::swap(q, r);
      apply(v, t.row1 + r, t.col1 + q);
      if (refused) break;
    }
  }
  session.bulkUpdate = false;
  ws.modified = true;
  if (!ws.settings.manualRecalc) RecalcRange(ws, CellRange::of(t.row1, t.col1, lastRow, lastCol));
  CommandResult out;
  out.ok = !refused;
  out.allChanged = true;
  return out;
}

namespace {

void adjustRange(CellRange& r, int dr, int dc, const CellRange& w) {
  if (!r.valid()) return;
  auto inside = [&](int row, int col) {
    return row >= w.row1 && row <= w.row2 && col >= w.col1 && col <= w.col2;
  };
  auto shift = [&](int16_t& row, int16_t& col) {
    if (!inside(row, col)) return;
    row = static_cast<int16_t>(std::clamp(row + dr, 0, kRows - 1));
    col = static_cast<int16_t>(std::clamp(col + dc, 0, kColumns - 1));
  };
  shift(r.row1, r.col1);
  shift(r.row2, r.col2);
}

// The thirteen ranges at the head of a graph record: four little-endian
// words each (column, row, column, row); unset ones hold -1 as column.
void forEachGraphRange(GraphRecord& g, const std::function<void(CellRange&)>& fn) {
  for (size_t i = 0; i < 13; ++i) {
    uint8_t* p = g.lotus.data() + i * 8;
    auto word = [&](int k) { return static_cast<int16_t>(p[2 * k] | (p[2 * k + 1] << 8)); };
    CellRange r = CellRange::of(word(1), word(0), word(3), word(2));
    if (word(0) < 0 || !r.valid()) continue;
    fn(r);
    int16_t words[4] = {r.col1, r.row1, r.col2, r.row2};
    for (int k = 0; k < 4; ++k) {
      p[2 * k] = static_cast<uint8_t>(words[k] & 0xFF);
      p[2 * k + 1] = static_cast<uint8_t>((words[k] >> 8) & 0xFF);
    }
  }
}

}  // namespace

void ForEachRememberedRange(Worksheet& ws, const std::function<void(CellRange&)>& fn) {
  auto set = [&](CellRange& r) {
    if (r.valid()) fn(r);
  };
  for (CellRange& r : ws.settings.ranges) set(r);
  for (CellRange& r : ws.settings.regressionRanges) set(r);
  ws.forEachRegisteredRange(set);
  for (RangeName& n : ws.names.entries()) set(n.range);
  forEachGraphRange(ws.settings.graph, fn);
  for (NamedGraph& g : ws.settings.namedGraphs) forEachGraphRange(g.graph, fn);
}

void AdjustRemembered(Worksheet& ws, int rowDelta, int colDelta, const CellRange& window) {
  CellRange w = window.ordered();
  ForEachRememberedRange(ws, [&](CellRange& r) { adjustRange(r, rowDelta, colDelta, w); });
  if (ws.session().adjustMacroPosition) ws.session().adjustMacroPosition(ws, rowDelta, colDelta, w);
}

void addBlockCommands(CommandTable& t) {
  t.add({"COPY",
         {{ArgKind::Range, "COPY: From Range"}, {ArgKind::Range, "COPY: TO Range"}},
         [](CommandContext& cx, const Args& a) {
           return CopyOrMove(cx, false, rangeArg(cx, a, 0, ArgKind::Range),
                             rangeArg(cx, a, 1, ArgKind::Range));
         }});
  t.add({"MOVE",
         {{ArgKind::Range, "MOVE: From Range"}, {ArgKind::Range, "MOVE: TO Range"}},
         [](CommandContext& cx, const Args& a) {
           return CopyOrMove(cx, true, rangeArg(cx, a, 0, ArgKind::Range),
                             rangeArg(cx, a, 1, ArgKind::Range));
         }});
  t.add(
      {"BLANK", {{ArgKind::Range, "ERASE: Specify Range"}}, [](CommandContext& cx, const Args& a) {
         return EraseRange(cx, rangeArg(cx, a, 0, ArgKind::Range));
       }});
  // The selection, without a prompt (Edit > Delete, the erase button).
  t.add({"ERASE", {{ArgKind::Range, "", true}}, [](CommandContext& cx, const Args& a) {
           return EraseRange(cx, rangeArg(cx, a, 0, ArgKind::Range));
         }});
  struct ValueCommand {
    const char* name;
    CopyKind kind;
    const char* prompt;
  };
  static const ValueCommand kValueCommands[] = {
      {"COPYFORM", CopyKind::Formula, "COPY VALUE: Specify Range"},
      {"COPYVAL", CopyKind::Value, "COPY VALUE: Specify Range"},
      {"COPYTRANS", CopyKind::Transpose, "TRANSPOSE VALUE: Specify Range"},
      {"COPYINV", CopyKind::Invert, "INVERT VALUE: Specify Range"},
  };
  for (const ValueCommand& v : kValueCommands) {
    CopyKind kind = v.kind;
    t.add({v.name,
           {{ArgKind::Range, v.prompt}, {ArgKind::Range, "OUTPUT Range"}},
           [kind](CommandContext& cx, const Args& a) {
             return CopyValues(cx, kind, rangeArg(cx, a, 0, ArgKind::Range),
                               rangeArg(cx, a, 1, ArgKind::Range), 1.0);
           }});
  }
  // From the menu the factor is 2.
  t.add({"COPYSCALE",
         {{ArgKind::Range, "SCALE VALUE: Specify Range"},
          {ArgKind::Range, "OUTPUT Range"},
          {ArgKind::Number, "Factor", true}},
         [](CommandContext& cx, const Args& a) {
           double factor = a.size() > 2 && a[2].given ? a[2].number : 2.0;
           return CopyValues(cx, CopyKind::Scale, rangeArg(cx, a, 0, ArgKind::Range),
                             rangeArg(cx, a, 1, ArgKind::Range), factor);
         }});
  // The copy dialog's: the kind 0 to 4, the ranges and the factor.
  t.add({"COPYVALUE",
         {{ArgKind::Integer, "Kind"},
          {ArgKind::Range, "COPY: From Range"},
          {ArgKind::Range, "COPY: TO Range"},
          {ArgKind::Number, "Factor", true}},
         [](CommandContext& cx, const Args& a) {
           int kind = static_cast<int>(numberArg(a, 0));
           if (kind < 0 || kind > 4) return CommandResult::failed();
           double factor = a.size() > 3 && a[3].given ? a[3].number : 1.0;
           return CopyValues(cx, static_cast<CopyKind>(kind), rangeArg(cx, a, 1, ArgKind::Range),
                             rangeArg(cx, a, 2, ArgKind::Range), factor);
         }});
}

}  // namespace tw
