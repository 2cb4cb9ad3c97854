#include "core/function_table.h"

#include "core/formula_code.h"

namespace tw {

namespace {

struct Operator {
  uint8_t opcode;
  const char* name;
  uint8_t argumentClass;
};

constexpr Operator kOperators[] = {
    {0x08, "-", cls::kUnary},      {0x09, "+", cls::kBinary},    {0x0A, "-", cls::kBinary},
    {0x0B, "*", cls::kBinary},     {0x0C, "/", cls::kBinary},    {0x0D, "^", cls::kBinary},
    {0x0E, "=", cls::kBinary},     {0x0F, "<>", cls::kBinary},   {0x10, "<=", cls::kBinary},
    {0x11, ">=", cls::kBinary},    {0x12, "<", cls::kBinary},    {0x13, ">", cls::kBinary},
    {0x14, "#AND#", cls::kBinary}, {0x15, "#OR#", cls::kBinary}, {0x16, "NOT", cls::kArgs1},
    {0x17, "+", cls::kUnary},      {0x18, "&", cls::kBinary},    {0x19, "%", cls::kPostfix},
    {0x1A, "!", cls::kPostfix},
};

}  // namespace

FunctionTable::FunctionTable() {
  // Opcodes the code does not assign take one argument.
  entries_.fill({"", cls::kArgs1});
  entries_[op::kConstant] = {"", cls::kConstant};
  entries_[op::kRef] = {"", cls::kRef};
  entries_[op::kRange] = {"", cls::kRange};
  entries_[op::kEnd] = {"", cls::kEnd};
  entries_[op::kParen] = {"", cls::kParen};
  entries_[op::kInteger] = {"", cls::kInteger};
  entries_[op::kString] = {"", cls::kString};
  entries_[op::kExternal] = {"", cls::kExternal};
  entries_[op::kUserFunction] = {"", cls::kUserFunction};
  entries_[op::kUserFunction].unsettled = true;
  entries_[op::kRangeFunction] = {"", cls::kArgs1};
  for (const Operator& o : kOperators) {
    entries_[o.opcode] = {o.name, o.argumentClass};
    byName_.try_emplace(o.name, o.opcode);
  }
}

void FunctionTable::define(uint8_t opcode, std::string_view name, uint8_t argumentClass,
                           Handler handler, ArgumentErrors errors) {
  entries_[opcode] = {name, argumentClass, handler, errors, entries_[opcode].unsettled};
  if (name.empty() || opcode > op::kLastFunction) return;
  auto [it, added] = byName_.try_emplace(name, opcode);
  if (!added && opcode < it->second) it->second = opcode;
}

uint8_t FunctionTable::find(std::string_view upperName) const {
  if (upperName.empty()) return 0;
  auto it = byName_.find(upperName);
  return it == byName_.end() ? 0 : it->second;
}

int fixedArgumentCount(uint8_t argumentClass) {
  return argumentClass >= cls::kArgs0 && argumentClass <= cls::kArgs4 ? argumentClass - cls::kArgs0
                                                                      : -1;
}

}  // namespace tw
