// The formula lister: FormulaCode back into text, for the input line,
// descriptions, printing and every command that shows a formula as text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tw {

class Worksheet;

enum class NameSubstitution { On, Off };

// At most 240 characters. Malformed code gives "NOEND"; an opcode beyond the
// function table "UKW"; a missing user function "@NOFUN"; a destroyed
// reference "ERR"; an error during the listing "OVERFLOW".
std::string ListFormula(const Worksheet& ws, const uint8_t* code,
                        NameSubstitution names = NameSubstitution::On);

// The same for many formulas of one worksheet in turn (a listing of cells),
// keeping its working memory from one formula to the next.
class FormulaLister {
 public:
  explicit FormulaLister(const Worksheet& ws, NameSubstitution names = NameSubstitution::On);
  ~FormulaLister();
  FormulaLister(const FormulaLister&) = delete;
  FormulaLister& operator=(const FormulaLister&) = delete;
  std::string list(const uint8_t* code);

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tw
