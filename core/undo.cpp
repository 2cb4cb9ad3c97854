#include "core/undo.h"

#include <cstring>
#include <new>

#include "core/dependencies.h"
#include "core/formula_code.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

namespace {
constexpr uint32_t kNoPayload = 0xFFFFFFFF;
}

void UndoSnapshot::clear() {
  taken_ = false;
  heights_.clear();
  heights_.shrink_to_fit();
  cells_.clear();
  cells_.shrink_to_fit();
  bytes_.clear();
  bytes_.shrink_to_fit();
}

bool UndoSnapshot::fail(Worksheet& ws) {
  clear();
  ws.session().ShowError("Out of UNDO memory!");
  return false;
}

bool UndoSnapshot::begin(Worksheet& ws) {
  clear();
  try {
    std::copy(ws.columnWidth.begin(), ws.columnWidth.end(), widths_.begin());
    heights_.assign(ws.rowHeight.begin(), ws.rowHeight.end());
  } catch (const std::bad_alloc&) {
    return fail(ws);
  }
  taken_ = true;
  return true;
}

bool UndoSnapshot::snapshot(Worksheet& ws) {
  if (!taken_ && !begin(ws)) return false;
  try {
    CellRange area = CellRange::of(0, 0, ws.maxRow, ws.maxCol);
    ws.ForEachCell(area, [&](CellHandle, Cell& c) {
      SavedCell s{c.font,     c.size,   c.style,
                  c.borders,  c.colour, c.format,
                  c.column,   c.row,    uint8_t(c.kind & kKindTypeMask),
                  kNoPayload, 0};
      if (isFormula(&c) || c.type() == CellType::Label) {
        if (c.content) {
          s.payload = static_cast<uint32_t>(bytes_.size());
          bytes_.insert(bytes_.end(), c.content, c.content + c.content[0] + 1);
          if (isFormula(&c))
            ConvertReferences(ws, bytes_.data() + s.payload, c.row, c.column, ReferenceForm::File);
        }
        // A formula's value goes back too, so that a manual sheet shows what it showed.
        if (c.type() == CellType::NumberFormula) std::memcpy(&s.value, &c.value.number, 8);
        s.kind = c.kind & (kKindTypeMask | kKindErr);
        if (c.type() == CellType::StringFormula) s.kind = uint8_t(CellType::NumberFormula);
      } else {
        s.value = c.value.raw;
      }
      cells_.push_back(s);
      return true;
    });
  } catch (const std::bad_alloc&) {
    return fail(ws);
  }
  return true;
}

bool UndoSnapshot::restore(Worksheet& ws) {
  if (!taken_) return false;
  ws.FreeAllCells();
  std::copy(widths_.begin(), widths_.end(), ws.columnWidth.begin());
  std::copy(heights_.begin(), heights_.end(), ws.rowHeight.begin());
  std::vector<CellHandle> formulas;
  for (const SavedCell& s : cells_) {
    CellHandle h = ws.GetOrCreateCell(s.row, s.column);
    if (h == kNoCell) continue;
    Cell& c = ws.cell(h);
    c.font = s.font;
    c.size = s.size;
    c.style = s.style;
    c.borders = s.borders;
    c.colour = s.colour;
    c.format = s.format;
    c.kind = s.kind;
    c.value.raw = s.value;
    if (s.payload != kNoPayload) {
      const uint8_t* p = bytes_.data() + s.payload;
      c.content = makePString(p + 1, p[0]);
      if (isFormula(&c)) {
        formulas.push_back(h);
        c.value.raw = s.value;
      }
    }
  }
  // Formulas are converted once every saved cell is back, so that a
  // reference to a saved cell finds its restored record.
  for (CellHandle h : formulas) {
    Cell& c = ws.cell(h);
    ConvertReferences(ws, c.content, c.row, c.column, ReferenceForm::Memory);
  }
  ws.session().error().clear();
  RegisterDependenciesInOrder(ws, formulas);
  clear();
  RecalcAll(ws);
  ws.modified = true;
  return true;
}

void TakeUndoSnapshot(Worksheet& ws) {
  if (!ws.settings.undoEnabled) return;
  if (!ws.undo) ws.undo = std::make_unique<UndoSnapshot>();
  if (ws.undo->begin(ws)) ws.undo->snapshot(ws);
}

}  // namespace tw
