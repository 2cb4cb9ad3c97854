#include "core/dialog_model.h"

namespace tw {

bool applyAnswer(DialogModel& model, std::string_view answer, std::string& reason) {
  while (!answer.empty()) {
    size_t end = answer.find(';');
    std::string_view item = answer.substr(0, end);
    answer = end == std::string_view::npos ? std::string_view() : answer.substr(end + 1);
    if (item.empty()) continue;
    size_t eq = item.find('=');
    if (eq == std::string_view::npos) {
      reason = "\"" + std::string(item) + "\" is not FIELD=VALUE";
      return false;
    }
    std::string_view name = item.substr(0, eq), value = item.substr(eq + 1);
    if (!model.setField(name, value)) {
      reason = "the " + std::string(model.form()) + " dialog has no field " + std::string(name) +
               " that takes \"" + std::string(value) + "\"";
      return false;
    }
  }
  return true;
}

}  // namespace tw
