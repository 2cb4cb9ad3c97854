#include "shell/data_form.h"

#include "core/cell.h"
#include "core/cell_entry.h"
#include "core/display_format.h"
#include "core/host.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

namespace {

// The box's text for a cell: its input text, a label's without the prefix.
std::string boxText(const Worksheet& ws, CellHandle h) {
  if (h == kNoCell) return {};
  std::string text = CellInputText(ws, h);
  if (ws.cell(h).type() == CellType::Label && !text.empty()) text.erase(0, 1);
  return text;
}

}  // namespace

DataFormModel::DataFormModel(Worksheet& ws, const CellRange& range) : ws_(ws) {
  const CellRange r = range.ordered();
  headerRow_ = r.row1;
  for (int c = r.col1; c <= r.col2 && fields_.size() < kMaxFields; ++c) {
    CellHandle h = ws.FindCell(r.row1, c);
    if (h == kNoCell) continue;
    const Cell& header = ws.cell(h);
    if (!header.isProtected() || (ws.effectiveFormat(header) & 0x7F) == kFormatHidden) continue;
    Field f;
    f.column = c;
    f.name = boxText(ws, h);
    f.pixels = ws.columnPixels(c);
    f.format = header.format;
    fields_.push_back(std::move(f));
  }
  countRecords();
  load();
  for (size_t k = 0; k < fields_.size(); ++k) {
    addField(
        fields_[k].name, [this, k] { return fields_[k].text; },
        [this, k](std::string_view v) {
          edit(k, v);
          return true;
        });
  }
  addFlag("clone", clone);
  // The buttons by name, for scripted answers: "press=Next".
  addField(
      "press", [] { return std::string(); },
      [this](std::string_view v) {
        if (v == "Update")
          update();
        else if (v == "Next")
          next();
        else if (v == "Prev")
          prev();
        else if (v == "Top")
          top();
        else if (v == "Bot")
          bottom();
        else if (v == "Add")
          add();
        else
          return false;
        return true;
      });
  addReadOnly("record", [this] { return recordText(); });
}

void DataFormModel::countRecords() {
  count_ = 0;
  for (int row = headerRow_ + 1; row <= kRows - 1 && !fields_.empty(); ++row) {
    bool shows = false;
    for (const Field& f : fields_) {
      CellHandle h = ws_.FindCell(row, f.column);
      if (h == kNoCell) continue;
      const Cell& c = ws_.cell(h);
      if (isNumber(&c) || !boxText(ws_, h).empty() || !ws_.LabelText(h).empty()) {
        shows = true;
        break;
      }
    }
    if (!shows) break;
    ++count_;
  }
}

std::string DataFormModel::recordText() const {
  return "Record:" + std::to_string(record_) + " of " + std::to_string(count_);
}

void DataFormModel::load() {
  const int row = rowOf(record_);
  for (Field& f : fields_) {
    f.text = row < kRows ? boxText(ws_, ws_.FindCell(row, f.column)) : std::string();
    f.changed = false;
  }
  changed_ = false;
}

void DataFormModel::edit(size_t k, std::string_view text) {
  if (k >= fields_.size() || fields_[k].text == text) return;
  fields_[k].text = std::string(text);
  fields_[k].changed = true;
  changed_ = true;
}

// The boxes typed in go to the record's row; a new cell takes its header's
// format and protection.
void DataFormModel::write() {
  const int row = rowOf(record_);
  if (row > kRows - 1) return;
  Session& session = ws_.session();
  for (Field& f : fields_) {
    if (!f.changed) continue;
    CellHandle existing = ws_.FindCell(row, f.column);
    if (f.text.empty()) {
      // An emptied box erases the field's cell.
      if (existing != kNoCell && !(ws_.settings.protection && ws_.cell(existing).isProtected())) {
        ws_.ClearCell(existing);
        ws_.modified = true;
      }
      f.changed = false;
      continue;
    }
    if (existing == kNoCell) {
      CellHandle h = ws_.GetOrCreateCell(row, f.column);
      if (h != kNoCell) ws_.cell(h).format = f.format;
    }
    EntryResult r = EnterCell(ws_, f.text, row, f.column);
    if (r == EntryResult::SyntaxError) {
      // What does not compile is kept as a label rather than lost.
      session.error().clear();
      EnterCell(ws_, std::string(1, ws_.settings.labelPrefix) + f.text, row, f.column);
    }
    session.error().clear();
    f.changed = false;
  }
  changed_ = false;
  if (!ws_.settings.manualRecalc) RecalcAll(ws_);
}

void DataFormModel::update() {
  if (changed_) write();
}

bool DataFormModel::anyText() const {
  for (const Field& f : fields_)
    if (!f.text.empty()) return true;
  return false;
}

void DataFormModel::next() {
  update();
  if (record_ < count_) {
    ++record_;
    load();
    return;
  }
  // Past the last record: a new one, empty or a copy of the one shown.
  if (!anyText()) return ws_.session().host().beep();
  if (rowOf(count_ + 1) > kRows - 1) return ws_.session().host().beep();
  ++count_;
  record_ = count_;
  for (Field& f : fields_) {
    if (!clone) f.text.clear();
    f.changed = true;
  }
  changed_ = true;
  write();
}

void DataFormModel::prev() {
  update();
  if (record_ > 1) --record_;
  load();
}

void DataFormModel::top() {
  update();
  record_ = 1;
  load();
}

void DataFormModel::bottom() {
  update();
  record_ = count_ < 1 ? 1 : count_;
  load();
}

void DataFormModel::add() {
  if (rowOf(count_ + 1) > kRows - 1) return ws_.session().host().beep();
  ++count_;
  record_ = count_;
  for (Field& f : fields_) f.changed = true;
  changed_ = true;
  write();
}

bool DataFormModel::check(std::string&) {
  update();
  return true;
}

}  // namespace tw
