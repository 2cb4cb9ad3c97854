// A worksheet on a headless host, with short ways to type into cells and
// read them back, for the engine's tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "cli/headless_host.h"
#include "core/cell_entry.h"
#include "core/display_format.h"
#include "core/evaluator.h"
#include "core/range_parse.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "functions/function_library.h"

namespace tw::test {

// A session of a program: the function library entered, as every program does.
inline Session& withLibrary(Session& session) {
  installFunctionLibrary(session);
  return session;
}

class SheetTest : public ::testing::Test {
 public:
  SheetTest() : session(host), ws(withLibrary(session).openWorksheet("TEST.WKS")) {}

  // Parses a single address such as "B7".
  std::pair<int, int> at(const std::string& address) {
    ParsedRange p = ParseRange(ws, address);
    EXPECT_TRUE(p.ok && p.range.isSingleCell()) << address;
    return {p.range.row1, p.range.col1};
  }
  EntryResult enter(const std::string& address, const std::string& text) {
    auto [row, col] = at(address);
    EntryResult r = EnterCell(ws, text, row, col);
    session.error().clear();
    return r;
  }
  CellHandle handle(const std::string& address) {
    auto [row, col] = at(address);
    return ws.FindCell(row, col);
  }
  Cell* cell(const std::string& address) { return ws.cellPtr(handle(address)); }
  double number(const std::string& address) { return ws.CellNumber(handle(address)); }
  std::string text(const std::string& address) { return ws.LabelText(handle(address)); }
  std::string input(const std::string& address) { return CellInputText(ws, handle(address)); }
  bool isErr(const std::string& address) {
    Cell* c = cell(address);
    return c && c->isErr();
  }
  EvalResult eval(const std::string& formula) {
    EvalResult r = session.evaluator().EvaluateText(ws, formula);
    session.error().clear();
    return r;
  }

  HeadlessHost host;
  Session session;
  Worksheet& ws;
};

// A fresh directory, removed at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tallowayXXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace tw::test
