// talloway-cli's print actions: a PDF that a PDF reader takes and reads back
// as the cells show, and the text file, on real worksheet files too.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli_run.h"
#include "test_support.h"

namespace tw::test {
namespace {

bool havePdfToText() {
  return std::system("command -v pdftotext >/dev/null 2>&1") == 0;
}

std::string pdfText(const std::string& pdf) {
  std::string command = "pdftotext -layout '" + pdf + "' - 2>&1";
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  pclose(pipe);
  return out;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(PrintCli, APdfReadsBackAsTheCellsShowWithHeadersAndPages) {
  if (!havePdfToText()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  TempDir dir;
  std::string pdf = dir.file("out.pdf");
  CliResult r =
      runCli({"--enter", "A1='Quarterly (draft)", "--enter", "B2=1234.5", "--format", "B2=C2",
              "--enter", "A3=|hidden", "--enter", "A4=|::", "--enter", "A5='After the break",
              "--run", "{PRINTFOOT \"Page #|^F\",0}", "--print-pdf", pdf, "A1..C5"},
             true);
  ASSERT_EQ(r.status, 0) << r.out;
  std::string text = pdfText(pdf);
  EXPECT_NE(text.find("Quarterly (draft)"), std::string::npos) << text;
  EXPECT_NE(text.find("$1,234.50"), std::string::npos) << text;
  EXPECT_EQ(text.find("hidden"), std::string::npos) << text;
  // Two pages, each with its footer.
  size_t feed = text.find('\f');
  ASSERT_NE(feed, std::string::npos);
  EXPECT_NE(text.find("Page 1"), std::string::npos);
  EXPECT_NE(text.find("Page 2", feed), std::string::npos);
  EXPECT_NE(text.find("After the break", feed), std::string::npos);
  EXPECT_EQ(std::system(("pdfinfo '" + pdf + "' | grep -q 'Pages: *2'").c_str()), 0);
}

TEST(PrintCli, ARealWorksheetPrintsEveryPageAndAsText) {
  if (!havePdfToText()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  std::string corpus = corpusRoot();
  if (corpus.empty()) GTEST_SKIP() << "no corpus";
  std::string file;
  for (const auto& e : std::filesystem::recursive_directory_iterator(corpus)) {
    std::string ext = e.path().extension().string();
    if (ext == ".wk1" || ext == ".WK1") {
      file = e.path().string();
      break;
    }
  }
  if (file.empty()) GTEST_SKIP() << "no .wk1 file in the corpus";
  TempDir dir;
  CliResult r = runCli(
      {file, "--print-pdf", dir.file("all.pdf"), "--print-text", dir.file("all"), "A1..H40"}, true);
  ASSERT_TRUE(r.status == 0 || r.status == 1) << r.out;
  EXPECT_TRUE(readFile(dir.file("all.pdf")).starts_with("%PDF-1.4"));
  EXPECT_FALSE(pdfText(dir.file("all.pdf")).empty());
  std::string text = readFile(dir.file("all.prn"));
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 40);
}

TEST(PrintCli, PrintingWithoutAPrinterSaysSo) {
  CliResult r = runCli({"--enter", "A1=1", "--run", "{PRINTALL}"}, true);
  EXPECT_NE(r.out.find("No Printer Available"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace tw::test
