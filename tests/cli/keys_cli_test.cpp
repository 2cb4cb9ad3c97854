// talloway-cli driven with keys and scripted answers, as the desktop's
// frame is driven by a person.
#include <gtest/gtest.h>
#include <filesystem>

#include <fstream>

#include "cli/cli_run.h"
#include "test_support.h"

namespace tw::test {
namespace {

TEST(CliKeys, TypingPointingAndCommitting) {
  // "+", Right to point at B1, "*2", Enter: the formula refers to B1.
  CliResult r =
      runCli({"--enter", "B1=21", "--keys", "+{RIGHT}*2~", "--dump", "A1", "--code", "A1"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "A1\tnumformula\t+B1*2\t42\t42\n"
            "0B 00 01 01 80 00 80 05 02 00 0B 03\n");
  // Arrows commit a label and move on; Esc twice leaves nothing behind.
  r = runCli({"--keys", "north{DOWN}south{RIGHT}junk{ESC}{ESC}", "--dump"});
  EXPECT_EQ(r.out,
            "A1\tlabel\t'north\tnorth\tnorth\n"
            "A2\tlabel\t'south\tsouth\tsouth\n");
}

TEST(CliKeys, PromptsMenusAndAnswers) {
  // The GOTO prompt takes a cell; typing there lands in it.
  CliResult r = runCli({"--keys", "{GOTO}D5~7~", "--dump"});
  EXPECT_EQ(r.out, "D5\tinteger\t7\t7\t7\n");
  // The slash menu with a dialog that takes a scripted answer.
  r = runCli({"--enter", "A1=0.25", "--keys", "/rf", "--answer", "code=P1", "--dump"});
  EXPECT_EQ(r.out, "A1\treal\t0.25\t0.25\t25.0%\n");
  // A menu command that asks for its arguments: a name, then a range.
  r = runCli({"--keys", "/rnc", "--answer", "totals", "--keys", "{RIGHT}.{DOWN 2}~", "--names"});
  EXPECT_EQ(r.out, "TOTALS B1..B3\n");
  // When no answer is left the run stops and says what asked.
  r = runCli({"--keys", "/rf", "--dump"}, true);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("no answer was left for the dialog \"Format\""), std::string::npos);
  // A key name the program does not know is an argument it cannot use.
  r = runCli({"--keys", "{FROB}"}, true);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("no key is named {FROB}"), std::string::npos);
}

TEST(CliKeys, SaveAsThroughTheMenuRenamesTheWorksheet) {
  TempDir dir;
  std::string path = dir.file("typed.wk1");
  CliResult r =
      runCli({"--keys", "3~/fa", "--answer", path, "--keys", "{DOWN}+A1+1~/fs", "--dump"});
  EXPECT_EQ(r.status, 0);
  // The second save went to the same file without a question.
  r = runCli({path, "--dump"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "A1\tinteger\t3\t3\t3\n"
            "A2\tnumformula\t+A1+1\t4\t4\n");
}

}  // namespace
}  // namespace tw::test

namespace tw::test {
namespace {

TEST(CliEntry, ATextThatDoesNotCompileIsReportedNotDropped) {
  CliResult r = runCli({"--enter", "A1=10 -3", "--dump"}, true);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "talloway-cli: A1: the formula does not compile: 10 -3\n");
  r = runCli({"--enter", "A1=" + std::string(300, '7')}, true);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("does not compile"), std::string::npos);
}

TEST(CliEntry, APartlyReadFileIsUsedAndSaidSo) {
  TempDir dir;
  std::string path = dir.file("cut.wks");
  ASSERT_EQ(runCli({"--enter", "A1=1", "--enter", "A2=2", "--save", path}).status, 0);
  std::filesystem::resize_file(path, std::filesystem::file_size(path) - 40);
  CliResult r = runCli({path, "--dump", "A1"}, true);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("A1\tinteger\t1"), std::string::npos);
  EXPECT_NE(r.out.find("was read only in part"), std::string::npos);
}

TEST(CliMacros, BlockCommandsInBatch) {
  CliResult r = runCli({"--enter", "A1=+B1", "--enter", "B1=2", "--enter", "B2=3", "--run",
                        "{COPY A1,A2}{INSERTROW A1}{MOVE B2..B3,D2}", "--dump"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "A2\tnumformula\t+D2\t2\t2\n"
            "D2\tinteger\t2\t2\t2\n"
            "A3\tnumformula\t+D3\t3\t3\n"
            "D3\tinteger\t3\t3\t3\n");
  r = runCli({"--enter", "A1=1", "--run", "{COPY A1..A2,IV8192}{COPY A1,A1..B2}"}, true);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "Error:Copy Error\n");
}

TEST(CliMacros, RunAndMacroWithTheirExitStatus) {
  CliResult r = runCli({"--run", "{LET A1,5}{LET A2,A1*2}", "--dump"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "A1\tinteger\t5\t5\t5\nA2\tinteger\t10\t10\t10\n");
  // A macro in cells, started from a range name, typing into the sheet.
  r = runCli(
      {"--enter", "Z1='{GOTO B2}total~", "--name", "\\A=Z1", "--macro", "\\A", "--dump", "B2"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "B2\tlabel\t'total\ttotal\ttotal\n");
  // A macro that ends with an error: the message, and status 1.
  r = runCli({"--run", "{NEXT}"}, true);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "Error:NEXT without FOR\n");
  // Answers for the macro's questions; none left stops the run with 2.
  r = runCli({"--run", "{GETNUMBER \"How many?\",A1}", "--answer", "7", "--dump"});
  EXPECT_EQ(r.out, "A1\tinteger\t7\t7\t7\n");
  r = runCli({"--run", "{GET A1}"}, true);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("no answer was left for a key"), std::string::npos);
  // File output relative to the current directory.
  TempDir dir;
  std::string file = dir.file("log.txt");
  r = runCli({"--run", "{OPEN 1,2,\"" + file + "\"}{WRITELN 1,\"done\"}{CLOSE 1}"});
  EXPECT_EQ(r.status, 0);
  std::ifstream in(file, std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(all, "done\r\n");
}

}  // namespace
}  // namespace tw::test
