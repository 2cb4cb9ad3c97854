// "Data Form" (TFdlg): one record of a database at a time in edit boxes,
// one per field of the header row, with browsing, update, append and
// clone. The boxes hold each cell's input text (a label without its
// prefix); only the boxes typed in are written back, through cell entry.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/cell_address.h"
#include "core/fields_model.h"

namespace tw {

class Worksheet;

class DataFormModel : public FieldsModel {
 public:
  static constexpr int kMaxFields = 50;

  struct Field {
    int column = 0;
    std::string name;    // the header's text without its prefix
    int pixels = 0;      // the column's width; 0: no edit box
    uint8_t format = 0;  // the header's format and protection byte
    std::string text;    // what the box holds
    bool changed = false;
  };

  DataFormModel(Worksheet& ws, const CellRange& range);
  std::string_view form() const override { return "Data Form"; }
  std::string caption() const override { return "Data Form"; }
  // OK (headless answers) writes back what was typed.
  bool check(std::string& message) override;

  const std::vector<Field>& fields() const { return fields_; }
  int record() const { return record_; }
  int count() const { return count_; }
  bool changed() const { return changed_; }  // "&Update" is enabled
  std::string recordText() const;            // "Record:2 of 5"
  // The row a record lies in (record 1 is the row below the header).
  int rowOf(int record) const { return headerRow_ + record; }

  // Typing in box k.
  void edit(size_t k, std::string_view text);
  // The buttons. Each move writes back a changed record first.
  void update();
  void next();
  void prev();
  void top();
  void bottom();
  void add();
  bool clone = false;  // "Clone Last Record"

 private:
  void countRecords();
  void load();
  void write();
  bool anyText() const;

  Worksheet& ws_;
  int headerRow_ = 0;
  std::vector<Field> fields_;
  int record_ = 1;
  int count_ = 0;
  bool changed_ = false;
};

}  // namespace tw
