// The evaluator: runs a FormulaCode on a value stack and stores the result
// in the cell. Function opcodes go through a 256-slot dispatch table that
// the function library fills.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/cell.h"
#include "core/function_table.h"

namespace tw {

class Session;
class Worksheet;
class Evaluator;

constexpr int kStackSlots = 256;
constexpr size_t kStringPoolSize = 1023;
constexpr int kMaxNesting = 24;  // nested evaluations beyond this give ERR

enum class SlotType : uint8_t { Number = 1, String = 2, Missing = 3 };

struct Slot {
  double number = 0;
  SlotType type = SlotType::Number;
  bool error = false;
  uint8_t rangeAt = 0;  // code position of the range operand that pushed it
  uint16_t text = 0;    // offset of the string in the pool
  CellHandle sourceCell = kNoCell;
};

// Running sums of the list and database functions.
struct Accumulator {
  uint32_t count = 0;
  double sum = 0;
  double maximum = 0;
  double minimum = 0;
  double mean = 0;
  double squares = 0;
  void reset() { *this = Accumulator{}; }
  void add(double x) {
    if (count == 0) {
      maximum = minimum = x;
      sum = 0;
    }
    ++count;
    sum += x;
    if (x > maximum) maximum = x;
    if (x < minimum) minimum = x;
  }
};

// One argument of the user-defined function being called.
struct UserArgument {
  double number = 0;
  bool isString = false;
  std::string text;
};

// The state of one evaluation. Nested evaluations get a state of their own,
// so everything a function keeps between steps lives here.
struct EvalState {
  Worksheet* ws = nullptr;
  CellHandle cell = kNoCell;  // the formula cell; none for a formula given as text
  const uint8_t* code = nullptr;
  size_t pc = 2;
  int sp = 0;  // slot 0 stays empty; the first push goes to slot 1
  Slot slots[kStackSlots + 1];
  uint8_t positions[kStackSlots + 1];  // code position of the opcode behind each slot
  uint8_t pool[kStringPoolSize];
  size_t poolUsed = 0;
  bool error = false;  // the math error flag, folded into the result after each step
  bool fault = false;  // an arithmetic fault or broken code: ends the evaluation as ERR
  int argCount = 0;    // arguments of the function being dispatched
  uint8_t opcode = 0;

  // Kept for the function library, per evaluation.
  CellHandle lastCell = kNoCell;  // the most recently loaded cell
  Worksheet* lastSheet = nullptr;
  Accumulator acc;
  int queryCount = 0;  // database functions entered so far in this formula
  bool inQuery = false;
  double queryX = 0;  // the record value X returns inside a criterion
  std::vector<UserArgument> userArgs;

  void reset(Worksheet* w, CellHandle c, const uint8_t* formula);
  std::string_view text(const Slot& s) const {
    if (s.type != SlotType::String) return {};
    return std::string_view(reinterpret_cast<const char*>(pool + s.text + 1), pool[s.text]);
  }
  Slot& top() { return slots[sp]; }
};

// The outcome of a formula evaluated outside a cell.
struct EvalResult {
  bool error = false;
  bool isString = false;
  double number = 0;
  std::string text;
};

// What a nested evaluation starts with beside its code.
struct NestedOptions {
  // The arguments that A(n) returns; null keeps those of the evaluation
  // that runs this one (so a criterion inside a user function still sees them).
  const std::vector<UserArgument>* arguments = nullptr;
  bool inQuery = false;  // X returns queryX rather than the integration variable
  double queryX = 0;
};

class Evaluator {
 public:
  explicit Evaluator(Session& session);
  ~Evaluator();

  // Evaluates the cell's formula and stores number, string or ERR.
  void EvaluateCell(Worksheet& ws, CellHandle cell);
  // Compiles and evaluates a formula that belongs to no cell; the whole
  // state is kept aside so that it may run inside another evaluation.
  EvalResult EvaluateText(Worksheet& ws, std::string_view text,
                          const NestedOptions* options = nullptr);
  EvalResult EvaluateCode(Worksheet& ws, const uint8_t* code, CellHandle context = kNoCell,
                          const NestedOptions* options = nullptr);

  // --- Stack primitives for the function library -----------------------------
  void PushNumber(EvalState& st, double x);
  void PushString(EvalState& st, std::string_view s);
  void PushCellValue(EvalState& st, Worksheet& ws, CellHandle cell);
  void PushError(EvalState& st);
  Slot Pop(EvalState& st);
  void SetError(EvalState& st) { st.error = true; }
  // Stores a string into the pool for slot s; false (and the error flag)
  // when the pool cannot hold it even after compaction.
  bool setString(EvalState& st, Slot& s, std::string_view text);
  // Result helpers: the result goes into the first argument's slot.
  Slot& argument(EvalState& st, int n) { return st.slots[st.sp - st.argCount + n]; }
  void setResult(EvalState& st, double x);
  void setResultString(EvalState& st, std::string_view text);

  Session& session() { return session_; }
  int depth() const { return depth_; }
  EvalState* current() { return current_; }

  // The integration variable that X returns outside a database criterion.
  double integrationX = 0;
  // Calls of user-defined functions under way, and how many calls the
  // outermost one may still make below it: a function that calls itself more
  // than once would take exponential time to reach the nesting limit.
  int userCallDepth = 0;
  long userCallsLeft = 0;
  // Set when a formula evaluated calls a function marked unsettled, reads
  // another file or worksheet, or runs a sheet function.
  bool unsettledSeen = false;

 private:
  EvalResult run(EvalState& st);
  void step(EvalState& st, uint8_t opcode, size_t at);
  void binary(EvalState& st, uint8_t opcode);
  void external(EvalState& st, size_t at);
  void callFunction(EvalState& st, uint8_t opcode);
  void rangeFunction(EvalState& st, size_t at);
  bool busyWith(const Worksheet& ws, CellHandle h) const;
  EvalState& acquire();
  void compact(EvalState& st);

  Session& session_;
  const FunctionTable& table_;
  std::vector<std::unique_ptr<EvalState>> states_;  // by nesting depth
  int depth_ = 0;
  EvalState* current_ = nullptr;
};

// The handler of opcodes without a function: pops the arguments and leaves ERR.
void unknownOpcode(Evaluator& ev, EvalState& st);

}  // namespace tw
