// talloway-cli with worksheet files: loading, saving, extracting, merging
// and range names, through the real binary.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "test_support.h"

namespace tw::test {
namespace {

class FilesCli : public ::testing::Test {
 protected:
  CliResult cli(const std::vector<std::string>& args, bool withErrors = false) {
    return runCli(args, withErrors, home.path());
  }
  std::string file(const std::string& name) { return dir.file(name); }

  TempDir home;
  TempDir dir;
};

TEST_F(FilesCli, SavedWorksheetLoadsBackAsItWas) {
  CliResult made = cli({"--enter", "A1=5", "--enter", "B1=+A1*2", "--enter", "A2='text", "--width",
                        "B=12", "--name", "pair=A1..B1", "--save", file("SHEET.WK1"), "--save",
                        file("BOOK.WKS"), "--dump"});
  ASSERT_EQ(made.status, 0);
  CliResult back = cli({file("sheet.wk1"), "--dump", "--names"});
  ASSERT_EQ(back.status, 0);
  EXPECT_EQ(back.out, made.out + "PAIR A1..B1\n");
  // The saved formula is linked again; a name without extension gets .WKS.
  CliResult changed = cli({file("book"), "--enter", "A1=7", "--dump", "B1"});
  EXPECT_EQ(changed.out, "B1\tnumformula\t+A1*2\t14\t14\n");
}

TEST_F(FilesCli, RefusedFilesExitWithOne) {
  std::ofstream(file("NOT.WKS")) << "hello, world";
  CliResult r = cli({file("NOT.WKS"), "--dump"}, true);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "Error:Invalid WKS File!\n");
  EXPECT_EQ(cli({file("MISSING.WKS")}).status, 1);
  r = cli({"--enter", "A1=1", "--save", file("NO/DIR/X.WKS")}, true);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "Error:Unable to Open File\n");
}

TEST_F(FilesCli, ExtractAndMerge) {
  ASSERT_EQ(
      cli({"--enter", "A1=1", "--enter", "B2=2", "--enter", "C3=+B2*10", "--name", "block=B2..C3",
           "--save", file("SRC.WKS"), "--extract", "B2..C3", file("PART.WKS")})
          .status,
      0);
  CliResult part = cli({file("PART.WKS"), "--dump"});
  EXPECT_EQ(part.out,
            "A1\tinteger\t2\t2\t2\n"
            "B2\tnumformula\t+A1*10\t20\t20\n");

  CliResult named = cli({"--enter", "D4=100", "--merge", file("SRC.WKS"), "block", "--at", "D4",
                         "--dump", "--names"});
  EXPECT_EQ(named.status, 0);
  EXPECT_EQ(named.out,
            "D4\tinteger\t2\t2\t2\n"
            "E5\tnumformula\t+D4*10\t20\t20\n");

  CliResult added = cli({"--enter", "B2=40", "--merge", file("SRC.WKS"), "values", "add", "B2..C3",
                         "--at", "B2", "--dump"});
  EXPECT_EQ(added.out,
            "B2\treal\t42\t42\t42\n"
            "C3\treal\t20\t20\t20\n");

  EXPECT_EQ(cli({"--merge", file("SRC.WKS"), "nosuch", "--at", "A1"}).status, 2);
  EXPECT_EQ(cli({"--merge", file("SRC.WKS")}).status, 2);
  EXPECT_EQ(cli({"--merge", file("ABSENT.WKS"), "--at", "A1"}).status, 1);
}

TEST_F(FilesCli, RangeNames) {
  CliResult r = cli({"--name", "sales=B2..B9", "--name", "rate=$C$1", "--name", "Sales=B2..B5",
                     "--unname", "rate", "--name", "a=A1", "--names"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "A A1\nSALES B2..B5\n");
  EXPECT_EQ(cli({"--unname", "nothing"}).status, 2);
  EXPECT_EQ(cli({"--name", "A1=B2"}).status, 2);  // reads as an address
  EXPECT_EQ(cli({"--name", "2024=B2"}).status, 2);
}

}  // namespace
}  // namespace tw::test
