// Names and argument classes of every opcode: the part of the function
// table that the compiler and the lister need. Handlers live with the
// function library.
#pragma once

#include <cstdint>
#include <string_view>

namespace tw {

struct OpcodeInfo {
  std::string_view name;  // as written after "@"; empty when the opcode has none
  uint8_t argumentClass;  // see cls:: in formula_code.h
};

const OpcodeInfo& opcodeInfo(uint8_t opcode);
// The opcode named name (upper case) among 0x08..0xBB, lowest first; 0 when none.
uint8_t findFunctionOpcode(std::string_view upperName);
// Number of arguments for classes 10..14; -1 for others.
int fixedArgumentCount(uint8_t argumentClass);

}  // namespace tw
