// The function table: for every opcode of the formula code, its name (as
// written after "@", or the operator's sign), its operand class and its
// handler. The byte code's own opcodes (operands, operators, the calls of
// user functions and named ranges) are entered by the table itself; the
// function library enters each @function with one definition that gives all
// three. The compiler, the lister, every code walker and the evaluator read
// the same table, which the session owns.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tw {

class Evaluator;
struct EvalState;

using Handler = void (*)(Evaluator&, EvalState&);

// Whether a handler looks at its arguments' errors itself; otherwise any ERR
// argument makes the result ERR.
enum class ArgumentErrors : uint8_t { MakeErr, Seen };

struct FunctionEntry {
  std::string_view name;  // empty when the opcode has none
  uint8_t argumentClass;  // see cls:: in formula_code.h
  Handler handler = nullptr;
  ArgumentErrors errors = ArgumentErrors::MakeErr;
  // Its value can change when the worksheet is recalculated again with
  // nothing changed: it reads the clock, chance, the program's state, other
  // files, or cells its code does not name.
  bool unsettled = false;
};

class FunctionTable {
 public:
  FunctionTable();

  const FunctionEntry& operator[](uint8_t opcode) const { return entries_[opcode]; }
  uint8_t operandClass(uint8_t opcode) const { return entries_[opcode].argumentClass; }
  // An @function of the library, or the handler of an opcode of the code itself.
  void define(uint8_t opcode, std::string_view name, uint8_t argumentClass, Handler handler,
              ArgumentErrors errors = ArgumentErrors::MakeErr);
  void markUnsettled(uint8_t opcode) { entries_[opcode].unsettled = true; }
  // The opcode named upperName among 0x08..0xBB, lowest first; 0 when none.
  uint8_t find(std::string_view upperName) const;

 private:
  std::array<FunctionEntry, 256> entries_;
  std::unordered_map<std::string_view, uint8_t> byName_;
};

// Number of arguments for classes 10..14; -1 for others.
int fixedArgumentCount(uint8_t argumentClass);

}  // namespace tw
