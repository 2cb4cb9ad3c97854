// A worksheet on a headless host, with short ways to type into cells and
// read them back, for the engine's tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/headless_frame.h"
#include "cli/headless_host.h"
#include "core/cell_entry.h"
#include "core/display_format.h"
#include "core/evaluator.h"
#include "core/range_parse.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "functions/function_library.h"
#include "shell/key_text.h"

namespace tw::test {

// A session of a program: the function library entered, as every program does.
inline Session& withLibrary(Session& session) {
  installFunctionLibrary(session);
  return session;
}

// Short ways to type into cells and read them back, for a test that has a
// worksheet `ws`.
template <class Test>
class SheetHelpers {
 public:
  // Parses a single address such as "B7".
  std::pair<int, int> at(const std::string& address) {
    ParsedRange p = ParseRange(sheet(), address);
    EXPECT_TRUE(p.ok && p.range.isSingleCell()) << address;
    return {p.range.row1, p.range.col1};
  }
  EntryResult enter(const std::string& address, const std::string& text) {
    auto [row, col] = at(address);
    EntryResult r = EnterCell(sheet(), text, row, col);
    sheet().session().error().clear();
    return r;
  }
  CellHandle handle(const std::string& address) {
    auto [row, col] = at(address);
    return sheet().FindCell(row, col);
  }
  Cell* cell(const std::string& address) { return sheet().cellPtr(handle(address)); }
  double number(const std::string& address) { return sheet().CellNumber(handle(address)); }
  std::string text(const std::string& address) { return sheet().LabelText(handle(address)); }
  std::string input(const std::string& address) { return CellInputText(sheet(), handle(address)); }
  bool isErr(const std::string& address) {
    Cell* c = cell(address);
    return c && c->isErr();
  }
  EvalResult eval(const std::string& formula) {
    Session& s = sheet().session();
    EvalResult r = s.evaluator().EvaluateText(sheet(), formula);
    s.error().clear();
    return r;
  }

 private:
  Worksheet& sheet() { return static_cast<Test*>(this)->ws; }
};

// A worksheet of a session on a headless host.
class SheetTest : public ::testing::Test, public SheetHelpers<SheetTest> {
 public:
  SheetTest() : session(host), ws(withLibrary(session).openWorksheet("TEST.WKS")) {}

  HeadlessHost host;
  Session session;
  Worksheet& ws;
};

// The whole program without a display, with one new worksheet window.
class ProgramTest : public ::testing::Test, public SheetHelpers<ProgramTest> {
 public:
  ProgramTest()
      : session(program.session),
        host(program.host),
        frame(program.frame),
        view(program.view),
        ws(*(frame.execute("FILENEW"), &frame.active()->worksheet())),
        window(frame.active()) {}

  // Keys as --keys writes them: "+{RIGHT}*2~".
  void keys(const std::string& text) {
    KeyText k = parseKeyText(text);
    ASSERT_TRUE(k.error.empty()) << k.error;
    program.type(k.keys);
  }

  HeadlessProgram program;
  Session& session;
  HeadlessHost& host;
  Frame& frame;
  HeadlessFrameView& view;
  Worksheet& ws;
  WindowState* window;
};

// The corpus of other programs' files: TALLOWAY_CORPUS in the environment,
// the one beside the source tree, or the shared one; empty when none is there.
inline std::string corpusRoot() {
  std::vector<std::string> candidates;
  if (const char* env = std::getenv("TALLOWAY_CORPUS"); env && *env) candidates.push_back(env);
  candidates.push_back(TALLOWAY_CORPUS);
  candidates.push_back("/work/shared/corpus");
  for (const std::string& c : candidates)
    if (std::filesystem::is_directory(c + "/wk")) return c;
  return {};
}

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
