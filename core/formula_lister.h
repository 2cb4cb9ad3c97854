// The formula lister: FormulaCode back into text, for the input line,
// descriptions, printing and every command that shows a formula as text.
#pragma once

#include <string>

namespace tw {

class Worksheet;

enum class NameSubstitution { On, Off };

// At most 240 characters. Malformed code gives "NOEND"; an opcode beyond the
// function table "UKW"; a missing user function "@NOFUN"; a destroyed
// reference "ERR"; an error during the listing "OVERFLOW".
std::string ListFormula(const Worksheet& ws, const uint8_t* code,
                        NameSubstitution names = NameSubstitution::On);

}  // namespace tw
