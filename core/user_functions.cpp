#include "core/user_functions.h"

#include <algorithm>
#include <cctype>

namespace tw {

static bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

int UserFunctionTable::find(std::string_view name) const {
  if (name.empty()) return 0;
  name = name.substr(0, 12);
  for (size_t i = 0; i < functions_.size(); ++i)
    if (sameName(functions_[i].name, name)) return static_cast<int>(i) + 1;
  return 0;
}

bool UserFunctionTable::add(UserFunction f) {
  if (count() >= kMaxFunctions) return false;
  f.name = f.name.substr(0, 12);
  for (char& c : f.name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (f.formula.size() > 255) f.formula.resize(255);
  f.argumentCount = std::clamp(f.argumentCount, 0, kMaxArguments);
  functions_.push_back(std::move(f));
  return true;
}

}  // namespace tw
