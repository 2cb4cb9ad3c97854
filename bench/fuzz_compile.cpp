// libFuzzer target: any text given to the compiler either compiles or
// raises the error flag; whatever compiles is listed and evaluated.
//   CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DTALLOWAY_FUZZ=ON -DTALLOWAY_UI=OFF
//   -DTALLOWAY_TESTS=OFF cmake --build build-fuzz --target fuzz_compile &&
//   build-fuzz/bench/fuzz_compile -max_total_time=300
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "cli/headless_host.h"
#include "core/compiler.h"
#include "core/evaluator.h"
#include "core/formula_lister.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "functions/function_library.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static tw::HeadlessHost host;
  static tw::Session session(host);
  static tw::Worksheet& ws = []() -> tw::Worksheet& {
    tw::installFunctionLibrary(session);
    tw::Worksheet& w = session.openWorksheet("FUZZ.WKS");
    w.names.DefineName("NAMED", tw::CellRange::of(0, 0, 2, 1));
    w.names.DefineName("FN", tw::CellRange::of(10, 0, 11, 1));
    w.functions.add({"TWICE", "@A(1)*2", 1});
    w.functions.add({"SELF", "@SELF(@A(1))", 1});
    return w;
  }();
  std::string_view text(reinterpret_cast<const char*>(data), size);
  tw::FormulaCode code;
  if (tw::CompileFormula(ws, text, code)) {
    if (!code.wellFormed()) __builtin_trap();
    std::string listing = tw::ListFormula(ws, code.bytes);
    tw::FormulaCode again;
    if (!tw::CompileFormula(ws, listing, again)) session.error().clear();
    session.evaluator().EvaluateCode(ws, code.bytes);
  }
  session.error().clear();
  // Fixed-layout code from anywhere must not break the evaluator or the lister either.
  uint8_t raw[256] = {};
  size_t n = size < 237 ? size : 237;
  raw[0] = static_cast<uint8_t>(n + 2);
  for (size_t i = 0; i < n; ++i) raw[2 + i] = data[i];
  raw[n + 2] = 0x03;
  // Reference words must hold live handles; zero them rather than invent cells.
  tw::forEachReferenceWord(session.functionTable(), raw,
                           [&](size_t at) { tw::writeWord(raw + at, 0); });
  if (raw[n + 2] == 0x03) {
    tw::ListFormula(ws, raw);
    session.evaluator().EvaluateCode(ws, raw);
  }
  session.error().clear();
  return 0;
}
