// "Find & Replace" (TFind): the search and replacement texts, the scope
// ("&Global" or "Ran&ge:" with its range), "Case &Insensitive", and the
// buttons "Find &Next", "&Replace" and "Replace &All", which act while the
// dialog stays open. The engine and what the fields hold live on between
// openings; the first opening takes the selection.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "commands/command.h"
#include "commands/find_replace.h"
#include "core/fields_model.h"

namespace tw {

class Worksheet;

// What stays from one opening of the dialog to the next.
struct FindDialogMemory {
  FindReplace engine;
  bool opened = false;
  std::string rangeText;
};

class FindDialogModel : public FieldsModel {
 public:
  // show draws what a button changed: the cell pointer moved to a found
  // cell (moveCursor), or cells replaced.
  FindDialogModel(Worksheet& ws, FindDialogMemory& memory, const CellRange& selection,
                  std::function<void(const CommandResult&)> show);
  std::string_view form() const override { return "Find"; }
  std::string caption() const override { return "Find & Replace"; }

  // The buttons, as the form's buttons and "press=Next|Replace|All" run
  // them; a button that is disabled only beeps.
  void findNext();
  void replace();
  void replaceAll();
  // The enabling rules: the three buttons need a search text; "&Replace"
  // the position's cell to hold it; "Replace &All" has not run since the
  // search text changed.
  bool canFind() const { return !findText.empty(); }
  bool canReplace() const;
  bool canReplaceAll() const;

  // Typing in the boxes.
  void setFind(std::string_view text);
  void setReplace(std::string_view text);
  // A double click on the range box: "Ran&ge:" chosen, the range pointed at.
  void pointAtRange();
  std::string pointPrompt() const { return "Specify Search Range"; }

  const FindReplace& engine() const { return memory_.engine; }
  int counter() const { return memory_.engine.counter(); }

  std::string pointField;  // "range" after a double click
  std::string findText, replaceText, rangeText;
  bool global = true;
  bool caseInsensitive = false;

 private:
  // Hands the scope and the option to the engine; false (the message shown
  // when report is set) when the range does not read as one.
  bool sync(bool report);
  void showFound(bool found);

  Worksheet& ws_;
  FindDialogMemory& memory_;
  std::function<void(const CommandResult&)> show_;
};

}  // namespace tw
