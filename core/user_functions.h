// User-defined functions: a name, a declared argument count and the formula
// text that computes them. Formulas call them by their number (from 1).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tw {

struct UserFunction {
  std::string name;       // upper case, at most 12 characters
  std::string formula;    // at most 255 characters
  int argumentCount = 0;  // 0..10
};

class UserFunctionTable {
 public:
  static constexpr int kMaxFunctions = 255;
  static constexpr int kMaxArguments = 10;

  // The function's number (1..count) or 0; the name is compared without case.
  int find(std::string_view name) const;
  // Adds a function; false when the table is full.
  bool add(UserFunction f);
  void clear() { functions_.clear(); }
  int count() const { return static_cast<int>(functions_.size()); }
  // Number 1..count; nullptr when there is no such function.
  const UserFunction* get(int number) const {
    return number >= 1 && number <= count() ? &functions_[number - 1] : nullptr;
  }
  const std::vector<UserFunction>& all() const { return functions_; }

 private:
  std::vector<UserFunction> functions_;
};

}  // namespace tw
