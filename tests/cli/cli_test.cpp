// Drives the real talloway-cli binary as a user would.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "cli/cli_run.h"
#include "test_support.h"

namespace tw::test {
namespace {

CliResult cli(const std::vector<std::string>& args, bool mergeErrors = false) {
  return runCli(args, mergeErrors);
}

TEST(Cli, EntriesDumpAndCode) {
  CliResult r = cli({"--enter", "A1=5", "--enter", "B1=+A1*2", "--enter", "C1=hello", "--enter",
                     "D1=+C1&\"!\"", "--enter", "A2=1/0", "--dump", "--code", "B1"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "A1\tinteger\t5\t5\t5\n"
            "B1\tnumformula\t+A1*2\t10\t10\n"
            "C1\tlabel\t'hello\thello\thello\n"
            "D1\tstrformula\t+C1&\"!\"\thello!\thello!\n"
            "A2\tnumformula:err\t+1/0\tERR\tERR\n"
            "0B 00 01 FF BF 00 80 05 02 00 0B 03\n");
}

TEST(Cli, EnterFileRecalcAndManual) {
  TempDir dir;
  std::string path = dir.file("cells.txt");
  std::ofstream(path) << "A1 1\nA2 +A1+1\nA3 +A2*10\n";
  CliResult r = cli({"--manual", "--enter-file", path, "--enter", "A1=5", "--dump", "A3",
                     "--recalc", "--dump", "A3"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "A3\tnumformula\t+A2*10\t20\t20\nA3\tnumformula\t+A2*10\t60\t60\n");
}

TEST(Cli, EvalFormatsAndWidths) {
  CliResult r = cli({"--eval", "2^0.5", "--eval", "\"a\"&\"b\"", "--eval", "1/0", "--enter",
                     "A1=1234.567", "--format", "A1=F2", "--enter", "B1=123456789", "--format",
                     "B1..B2=M0", "--width", "B=8", "--dump"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "1.41421356237309\nab\nERR\n"
            "A1\treal\t1234.567\t1234.567\t1234.57\n"
            "B1\treal\t123456789\t1.23456789E+08\txxxxxxxx\n"
            "B2\tblank\t\t\t\n");
}

TEST(Cli, ErrorsAndBadArguments) {
  CliResult r = cli({"--enter", "IW1=5"}, true);
  EXPECT_EQ(r.status, 2);
  r = cli({"--frobnicate"});
  EXPECT_EQ(r.status, 2);
  r = cli({"--enter"});
  EXPECT_EQ(r.status, 2);
  // Entries after a label with an odd prefix go on as usual.
  r = cli({"--enter", "A1=1", "--enter", "A2=\"x", "--enter", "A3=2", "--dump"}, true);
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("A3\tinteger"), std::string::npos);
}

}  // namespace
}  // namespace tw::test
