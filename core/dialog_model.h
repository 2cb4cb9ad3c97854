// A dialog apart from its widgets: its caption and fields as texts, and the
// check it makes before it closes. The desktop program shows a Qt form over
// the model; headless runs fill the fields from scripted answers; tests set
// them directly. Each model knows what its OK does.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tw {

class DialogModel {
 public:
  virtual ~DialogModel() = default;

  // The form's name, by which a host picks the widgets that show it.
  virtual std::string_view form() const = 0;
  virtual std::string caption() const = 0;
  // The names of the fields that answers may set, in the form's order.
  virtual std::vector<std::string> fieldNames() const = 0;
  virtual std::string field(std::string_view name) const = 0;
  // False when there is no such field or the value is not one it takes.
  virtual bool setField(std::string_view name, std::string_view value) = 0;
  // Called on OK: false with the message to show keeps the dialog open.
  virtual bool check(std::string& /*message*/) { return true; }
};

// Sets fields from an answer such as "code=F2;what=row": items separated by
// ";", each a field name, "=" and the value. An empty answer sets nothing.
// False (with the reason) when an item names no field or has a bad value.
bool applyAnswer(DialogModel& model, std::string_view answer, std::string& reason);

}  // namespace tw
