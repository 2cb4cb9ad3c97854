#include "core/user_functions.h"

#include <algorithm>

#include "core/char_case.h"

namespace tw {

int UserFunctionTable::find(std::string_view name) const {
  if (name.empty()) return 0;
  name = name.substr(0, 12);
  for (size_t i = 0; i < functions_.size(); ++i)
    if (sameText(functions_[i].name, name)) return static_cast<int>(i) + 1;
  return 0;
}

bool UserFunctionTable::add(UserFunction f) {
  if (count() >= kMaxFunctions) return false;
  f.name = f.name.substr(0, 12);
  upperCaseInPlace(f.name);
  if (f.formula.size() > 255) f.formula.resize(255);
  f.argumentCount = std::clamp(f.argumentCount, 0, kMaxArguments);
  functions_.push_back(std::move(f));
  return true;
}

}  // namespace tw
