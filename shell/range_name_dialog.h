// "Range Name": the names of the active worksheet with their ranges, and the
// three pages that change them: Names (create, delete, reset), Build (names
// from a block of labels) and Table (every name written into the sheet).
// The buttons run the range-name commands through the frame; a range field
// can be pointed at on the sheet, after which the dialog comes back.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "shell/dialog_models.h"

namespace tw {

class Frame;

class RangeNameModel : public FieldsModel {
 public:
  RangeNameModel(Frame& frame, std::string selection);
  std::string_view form() const override { return "RangeName"; }
  std::string caption() const override { return "Range Name"; }

  // The list: each entry's name and range text, in table order.
  std::vector<std::pair<std::string, std::string>> entries() const;
  std::string total() const;  // "Total:" and the count
  void pick(int index);       // a list entry's name and range into the fields
  bool canDelete() const;     // the typed name exists

  // The buttons. Each leaves its outcome in message (empty when it went well).
  void create();
  void remove();
  void reset();  // asks "Reset All Names: Are You Sure?"
  void build();
  void table();

  // A range field to point at on the sheet: the dialog closes, the frame
  // asks with the prompt, and the answer comes back into the field.
  enum class Point { None, Range, Source, Target };
  void requestPoint(Point field) { point = field; }
  const char* pointPrompt() const;
  std::string& pointedField();
  std::string& pointStart() { return selection_; }

  int page = 0;  // 0 Names, 1 Build, 2 Table
  std::string name;
  std::string range;
  std::string source;
  std::string target;
  std::string message;
  Point point = Point::None;

 private:
  Frame& frame_;
  std::string selection_;
};

}  // namespace tw
