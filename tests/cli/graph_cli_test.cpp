// talloway-cli --graph: the graph into PNG, SVG and bitmap files through the
// picture module, and what it says when the graph or the module is missing.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/cli_run.h"
#include "test_support.h"

namespace tw::test {
namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> withGraph(std::vector<std::string> tail) {
  std::vector<std::string> args = {"--enter",
                                   "A1='North",
                                   "--enter",
                                   "A2='South",
                                   "--enter",
                                   "B1=12",
                                   "--enter",
                                   "B2=30",
                                   "--run",
                                   "{GRAPHTYPE 2,\"B\"}{GRAPHSERIES 0,A1..A2}{GRAPHSERIES 1,B1..B2}"
                                   "{GRAPHHEADING 0,\"Regions\"}{GRAPHNAME 0,\"REGIONS\"}"};
  args.insert(args.end(), tail.begin(), tail.end());
  return args;
}

TEST(GraphCli, WritesPngSvgAndBitmapFiles) {
  TempDir dir;
  CliResult r = runCli(withGraph({"--graph", dir.file("g.png"), "--graph", dir.file("g.svg"),
                                  "REGIONS", "320x200", "--graph", dir.file("g.bmp"), "200x100"}),
                       true);
  if (r.out.find("libtalloway-pictures.so, which was not found") != std::string::npos)
    GTEST_SKIP() << "built without the desktop program's picture module";
  ASSERT_EQ(r.status, 0) << r.out;
  std::string png = readFile(dir.file("g.png"));
  EXPECT_TRUE(png.starts_with("\x89PNG\r\n\x1a\n"));
  // The PNG's size: 640 by 480 unless asked.
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(static_cast<uint8_t>(png[18]) << 8 | static_cast<uint8_t>(png[19]), 640);
  std::string svg = readFile(dir.file("g.svg"));
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("Regions"), std::string::npos);
  EXPECT_NE(svg.find("320"), std::string::npos);
  std::string bmp = readFile(dir.file("g.bmp"));
  ASSERT_GT(bmp.size(), 54u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(static_cast<uint8_t>(bmp[18]), 200);
  EXPECT_EQ(static_cast<uint8_t>(bmp[22]), 100);
}

TEST(GraphCli, AMissingGraphOrBadSizeIsSaid) {
  TempDir dir;
  CliResult r = runCli(withGraph({"--graph", dir.file("g.png"), "NOSUCH"}), true);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("No Graph Named NOSUCH"), std::string::npos) << r.out;
  r = runCli(withGraph({"--graph", dir.file("g.png"), "5x5"}), true);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("Picture size from 16 to 10000 pixels"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace tw::test
