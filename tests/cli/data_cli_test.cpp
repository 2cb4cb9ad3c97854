// The data and array commands from the command line: macro keywords in
// --run, and the data dialog through the slash keys with an answer.
#include <gtest/gtest.h>

#include "cli/cli_run.h"

namespace tw::test {
namespace {

TEST(CliData, KeywordsInBatch) {
  CliResult r = runCli({"--enter", "A1=1", "--enter", "A2=2", "--enter", "A3=3", "--enter", "B1=2",
                        "--enter", "B2=4", "--enter", "B3=6", "--run",
                        "{DATAREGRESS A1..A3,B1..B3,D1}", "--dump", "E1..E12"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("E1\tinteger\t0\t"), std::string::npos) << r.out;  // the intercept
  EXPECT_NE(r.out.find("E2\tinteger\t2\t"), std::string::npos) << r.out;  // the slope
  EXPECT_NE(r.out.find("E12\tnumformula\t+2*@X\t"), std::string::npos) << r.out;

  r = runCli({"--enter", "A1=2", "--enter", "A2=0", "--enter", "B1=0", "--enter", "B2=4", "--run",
              "{MATINV A1..B2,D1}", "--dump", "D1..E2"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "D1\treal\t0.5\t0.5\t0.5\n"
            "E1\tinteger\t0\t0\t0\n"
            "D2\tinteger\t0\t0\t0\n"
            "E2\treal\t0.25\t0.25\t0.25\n");
}

TEST(CliData, TheDataDialogFromTheSlashKeys) {
  CliResult r = runCli({"--enter", "A1=3", "--enter", "A2='b", "--enter", "A3=1", "--keys", "/DS",
                        "--answer", "sortData=A1..A3;key1=A1;asc1=1", "--dump"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "A1\tinteger\t1\t1\t1\n"
            "A2\tinteger\t3\t3\t3\n"
            "A3\tlabel\t'b\tb\tb\n");
}

}  // namespace
}  // namespace tw::test
