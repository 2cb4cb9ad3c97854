// A dialog model whose fields are a table of named getters and setters:
// the common ground of the frame's dialogs and those of graphs and printing.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/dialog_model.h"

namespace tw {

// A model whose fields are a table of named getters and setters.
class FieldsModel : public DialogModel {
 public:
  FieldsModel() = default;
  // The fields point into the model itself.
  FieldsModel(const FieldsModel&) = delete;
  FieldsModel& operator=(const FieldsModel&) = delete;
  std::vector<std::string> fieldNames() const override;
  std::string field(std::string_view name) const override;
  bool setField(std::string_view name, std::string_view value) override;

 protected:
  void addField(std::string name, std::function<std::string()> get,
                std::function<bool(std::string_view)> set);
  // "1", "Y", "YES", "ON" and "TRUE" are on; "0", "N", "NO", "OFF" and "FALSE" off.
  void addFlag(std::string name, bool& target);
  void addChar(std::string name, char& target);
  void addText(std::string name, std::string& target, size_t longest);
  void addReadOnly(std::string name, std::function<std::string()> get);

 private:
  struct Field {
    std::string name;
    std::function<std::string()> get;
    std::function<bool(std::string_view)> set;
  };
  std::vector<Field> fields_;
};

// A whole number typed in a field, blanks around it allowed.
std::optional<int> integerOf(std::string_view text);

}  // namespace tw
