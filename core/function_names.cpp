#include "core/function_names.h"

#include <array>
#include <string>
#include <unordered_map>

#include "core/formula_code.h"

namespace tw {

namespace {

struct NamedOpcode {
  uint8_t opcode;
  const char* name;
  uint8_t argumentClass;
};

// Classes: 10..14 take 0..4 arguments, 15 a counted list.
constexpr NamedOpcode kNamed[] = {
    {0x08, "-", 8},         {0x09, "+", 9},        {0x0A, "-", 9},        {0x0B, "*", 9},
    {0x0C, "/", 9},         {0x0D, "^", 9},        {0x0E, "=", 9},        {0x0F, "<>", 9},
    {0x10, "<=", 9},        {0x11, ">=", 9},       {0x12, "<", 9},        {0x13, ">", 9},
    {0x14, "#AND#", 9},     {0x15, "#OR#", 9},     {0x16, "NOT", 11},     {0x17, "+", 8},
    {0x18, "&", 9},         {0x19, "%", 16},       {0x1A, "!", 16},       {0x1F, "NA", 10},
    {0x20, "ERR", 10},      {0x21, "ABS", 11},     {0x22, "INT", 11},     {0x23, "SQRT", 11},
    {0x24, "LOG", 11},      {0x25, "LN", 11},      {0x26, "PI", 10},      {0x27, "SIN", 11},
    {0x28, "COS", 11},      {0x29, "TAN", 11},     {0x2A, "", 11},        {0x2B, "ATAN", 11},
    {0x2C, "ASIN", 11},     {0x2D, "ACOS", 11},    {0x2E, "EXP", 11},     {0x2F, "MOD", 12},
    {0x30, "CASE", 15},     {0x31, "ISNA", 11},    {0x32, "ISERR", 11},   {0x33, "FALSE", 10},
    {0x34, "TRUE", 10},     {0x35, "RAND", 10},    {0x36, "DATE", 13},    {0x37, "TODAY", 10},
    {0x38, "PMT", 13},      {0x39, "PV", 13},      {0x3A, "FV", 13},      {0x3B, "IF", 13},
    {0x3C, "DAY", 11},      {0x3D, "MONTH", 11},   {0x3E, "YEAR", 11},    {0x3F, "ROUND", 12},
    {0x40, "TIME", 13},     {0x41, "HOUR", 11},    {0x42, "MINUTE", 11},  {0x43, "SECOND", 11},
    {0x44, "ISNUM", 11},    {0x45, "ISSTR", 11},   {0x46, "LENGTH", 11},  {0x47, "VAL", 11},
    {0x48, "STR", 12},      {0x49, "MID", 13},     {0x4A, "CHR", 11},     {0x4B, "ORD", 11},
    {0x4C, "FIND", 13},     {0x4D, "DATEVAL", 11}, {0x4E, "TIMEVAL", 11}, {0x4F, "CELLPT", 11},
    {0x50, "SUM", 15},      {0x51, "AVG", 15},     {0x52, "COUNT", 15},   {0x53, "MIN", 15},
    {0x54, "MAX", 15},      {0x55, "VTABLE", 13},  {0x56, "NPV", 12},     {0x57, "VAR", 15},
    {0x58, "STD", 15},      {0x59, "IRR", 12},     {0x5A, "HTABLE", 13},  {0x5B, "QSUM", 13},
    {0x5C, "QAVG", 13},     {0x5D, "QCOUNT", 13},  {0x5E, "QMIN", 13},    {0x5F, "QMAX", 13},
    {0x60, "QVAR", 13},     {0x61, "QSTD", 13},    {0x62, "INDEX", 13},   {0x63, "COLS", 11},
    {0x64, "ROWS", 11},     {0x65, "REPEAT", 12},  {0x66, "UPPER", 11},   {0x67, "LOWER", 11},
    {0x68, "LEFT", 12},     {0x69, "RIGHT", 12},   {0x6A, "REPLACE", 11}, {0x6B, "PROPER", 11},
    {0x6C, "CELL", 12},     {0x6D, "TRIM", 11},    {0x6E, "CLEAN", 11},   {0x6F, "S", 11},
    {0x70, "N", 11},        {0x71, "EXACT", 12},   {0x72, "", 11},        {0x73, "@", 11},
    {0x74, "RATE", 13},     {0x75, "TERM", 13},    {0x76, "CTERM", 13},   {0x77, "SLN", 13},
    {0x78, "SYD", 14},      {0x79, "DDB", 14},     {0x7A, "FACT", 11},    {0x7B, "LINK", 11},
    {0x7C, "HTERP", 13},    {0x7D, "VTERP", 13},   {0x7E, "CSC", 11},     {0x7F, "CTN", 11},
    {0x80, "SEC", 11},      {0x81, "COSH", 11},    {0x82, "SINH", 11},    {0x83, "TANH", 11},
    {0x84, "ASINH", 11},    {0x85, "ACOSH", 11},   {0x86, "ATANH", 11},   {0x87, "COMB", 12},
    {0x88, "PERM", 12},     {0x89, "GAMMALN", 11}, {0x8A, "X", 10},       {0x8B, "MEMAVAIL", 11},
    {0x8C, "PSUM", 12},     {0x8D, "DOSVER", 10},  {0x8E, "VERSION", 10}, {0x8F, "AUTO", 10},
    {0x90, "PROTECT", 10},  {0x91, "QVIEW", 11},   {0x92, "HEX", 11},     {0x93, "DEC", 11},
    {0x94, "PATH", 10},     {0x95, "VARU", 15},    {0x96, "STDU", 15},    {0x97, "FILEINFO", 12},
    {0x98, "IORESULT", 10}, {0x99, "BAL", 14},     {0x9A, "ACI", 14},     {0x9B, "PMTP", 14},
    {0x9C, "FILENAME", 10}, {0x9D, "ERF", 11},     {0x9E, "BESSELJ", 12}, {0x9F, "BESSELY", 12},
    {0xA0, "BESSELI", 12},  {0xA1, "BESSELK", 12}, {0xA2, "MEDIAN", 11},  {0xA3, "DET", 11},
    {0xA4, "RANK", 11},     {0xA5, "TRACE", 11},   {0xA6, "BETA", 12},    {0xA7, "BETAI", 13},
    {0xA8, "GAMMAP", 12},   {0xA9, "GAMMAQ", 12},  {0xAA, "AVEDEV", 11},  {0xAB, "SKEW", 11},
    {0xAC, "KURT", 11},     {0xAD, "COV", 11},     {0xAE, "LOGB", 12},    {0xAF, "CEIL", 12},
    {0xB0, "FLOOR", 12},    {0xB1, "GAUSS", 13},   {0xB2, "POISSON", 13}, {0xB3, "A", 11},
    {0xB4, "DMS", 11},      {0xB5, "COUNTA", 11},  {0xB6, "INTG", 13},    {0xB7, "XYTERP", 13},
    {0xB8, "RECUR", 13},    {0xB9, "RGB", 13},     {0xBA, "OSVER", 10},   {0xBB, "COVAR", 12},
};

struct Tables {
  std::array<OpcodeInfo, 256> info;
  std::unordered_map<std::string, uint8_t> byName;

  Tables() {
    // Unassigned opcodes take one argument.
    for (auto& i : info) i = {"", cls::kArgs1};
    info[op::kConstant] = {"", cls::kConstant};
    info[op::kRef] = {"", cls::kRef};
    info[op::kRange] = {"", cls::kRange};
    info[op::kEnd] = {"", cls::kEnd};
    info[op::kParen] = {"", cls::kParen};
    info[op::kInteger] = {"", cls::kInteger};
    info[op::kString] = {"", cls::kString};
    info[op::kExternal] = {"", cls::kExternal};
    info[op::kUserFunction] = {"", cls::kUserFunction};
    info[op::kRangeFunction] = {"", cls::kArgs1};
    for (const NamedOpcode& n : kNamed) {
      info[n.opcode] = {n.name, n.argumentClass};
      if (*n.name && !byName.count(n.name)) byName.emplace(n.name, n.opcode);
    }
  }
};

const Tables& tables() {
  static const Tables t;
  return t;
}

}  // namespace

const OpcodeInfo& opcodeInfo(uint8_t opcode) {
  return tables().info[opcode];
}

uint8_t operandClass(uint8_t opcode) {
  return tables().info[opcode].argumentClass;
}

uint8_t findFunctionOpcode(std::string_view upperName) {
  if (upperName.empty()) return 0;
  const auto& m = tables().byName;
  auto it = m.find(std::string(upperName));
  return it == m.end() ? 0 : it->second;
}

int fixedArgumentCount(uint8_t argumentClass) {
  return argumentClass >= cls::kArgs0 && argumentClass <= cls::kArgs4 ? argumentClass - cls::kArgs0
                                                                      : -1;
}

}  // namespace tw
