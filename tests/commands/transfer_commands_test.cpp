// Text import and export, the worksheet extract and merging a file in.
#include <gtest/gtest.h>

#include <fstream>

#include "commands/transfer_commands.h"
#include "core/charset.h"
#include "files/worksheet_file.h"
#include "macros/macro_interpreter.h"
#include "test_support.h"

namespace tw::test {
namespace {

std::string slurp(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write(const std::string& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

TEST(CharsetTest, Utf8IntoTheWorksheetCharacterSet) {
  EXPECT_TRUE(looksLikeUtf8("caf\xC3\xA9"));
  EXPECT_FALSE(looksLikeUtf8("caf\xE9")) << "a Windows-1252 byte on its own";
  EXPECT_FALSE(looksLikeUtf8("plain")) << "nothing to convert";
  EXPECT_FALSE(looksLikeUtf8("\xC0\xAF")) << "an overlong form";
  EXPECT_EQ(utf8ToWindows1252("\xEF\xBB\xBF"
                              "caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D"),
            "caf\xE9 \x80 \x93q\x94");
  EXPECT_EQ(utf8ToWindows1252("\xE4\xB8\xAD x"), "? x") << "no form in the set";
}

class TransferTest : public ProgramTest {
 public:
  TempDir dir;
};

TEST_F(TransferTest, ImportValuesAndLabels) {
  write(dir.file("v.prn"), "1 2.5 \"a b\" -3\r\n10+20;x,,7 \"\"\nwell-known 1E+3\n");
  program.macros.RunMacroText("{FILEIMPORT \"" + dir.file("v.prn") + "\",B2,1}");
  ASSERT_FALSE(program.macros.endedByError());
  EXPECT_EQ(number("B2"), 1);
  EXPECT_EQ(number("C2"), 2.5);
  EXPECT_EQ(text("D2"), "a b");
  EXPECT_EQ(number("E2"), -3);
  EXPECT_EQ(cell("F2"), nullptr) << "the CR is not a field";
  EXPECT_EQ(number("B3"), 10);
  EXPECT_EQ(number("C3"), 20);
  EXPECT_EQ(text("D3"), "x");
  EXPECT_EQ(number("E3"), 7);
  EXPECT_EQ(input("F3"), "'") << "an empty quoted field: an empty label";
  EXPECT_EQ(text("B4"), "well-known");
  EXPECT_EQ(number("C4"), 1000);

  // As labels: the default prefix, a long line cut so that it fits a cell.
  write(dir.file("t.txt"), "first\r\n  indented\n" + std::string(300, 'z') + "\n");
  ws.settings.labelPrefix = '"';
  program.macros.RunMacroText("{FILEIMPORT \"" + dir.file("t.txt") + "\",A10,0}");
  EXPECT_EQ(input("A10"), "\"first");
  EXPECT_EQ(input("A11"), "\"  indented");
  EXPECT_EQ(text("A12"), std::string(239, 'z'));
  // A UTF-8 file comes in in the worksheet's characters.
  write(dir.file("u.txt"), "caf\xC3\xA9\n");
  program.macros.RunMacroText("{FILEIMPORT \"" + dir.file("u.txt") + "\",A20,0}");
  EXPECT_EQ(text("A20"), "caf\xE9");
  frame.execute("UNDO");
  EXPECT_EQ(cell("A20"), nullptr);
}

TEST_F(TransferTest, ALongFileGoesOnInTheNextColumnAndMissingFilesSaySo) {
  std::string lines;
  for (int k = 1; k <= 8200; ++k) lines += std::to_string(k) + "\n";
  write(dir.file("long.txt"), lines);
  CommandContext cx = frame.context();
  ASSERT_TRUE(ImportText(cx, dir.file("long.txt"), 0, 0, TextImport::Values).ok);
  EXPECT_EQ(number("A8192"), 8192);
  EXPECT_EQ(number("B1"), 8193);
  EXPECT_EQ(number("B8"), 8200);
  EXPECT_EQ(cell("B9"), nullptr);

  EXPECT_FALSE(ImportText(cx, dir.file("none.txt"), 0, 5, TextImport::Labels).ok);
  EXPECT_EQ(host.errors.back(), kImportMissingMessage);
  // The names of the files with the name's extension.
  write(dir.file("b.prn"), "");
  write(dir.file("a.PRN"), "");
  ASSERT_TRUE(ImportText(cx, dir.file("*.prn"), 0, 7, TextImport::FileNames).ok);
  EXPECT_EQ(text("H1"), "a.PRN");
  EXPECT_EQ(text("H2"), "b.prn");
  EXPECT_EQ(cell("H3"), nullptr);
}

TEST_F(TransferTest, ExportQuotedAndCommaText) {
  enter("A1", "1");
  enter("C1", "'abc");
  enter("A2", "1.5E-9");
  enter("B2", "'  two   spaces ");
  enter("C2", "'say \"hi\"");
  enter("A3", "@ERR");
  enter("B3", "+\"s\"&\"t\"");
  EXPECT_EQ(exportedText(ws, CellRange::of(0, 0, 2, 2), false),
            "1,,abc\r\n1.5E-09,two spaces,say \"hi\"\r\nERR,st,\r\n");
  EXPECT_EQ(exportedText(ws, CellRange::of(0, 0, 0, 2), true), "\"1\",\"\",\"abc\"\r\n");
  EXPECT_EQ(exportedText(ws, CellRange::of(1, 2, 1, 2), true), "\"say \"\"hi\"\"\"\r\n");
  program.macros.RunMacroText("{FILEEXPORT \"" + dir.file("out.prn") + "\",A1..C1,2}");
  EXPECT_EQ(slurp(dir.file("out.prn")), "1,,abc\r\n");
  // A file that cannot be written says so, and what was there stays.
  CommandContext cx = frame.context();
  EXPECT_FALSE(ExportText(cx, dir.file("no/such/dir.prn"), CellRange::of(0, 0, 0, 2), true).ok);
  EXPECT_EQ(host.errors.back(), kExportWriteMessage);
}

TEST_F(TransferTest, WorksheetExtractAndMerge) {
  enter("B2", "5");
  enter("C2", "+B2*2");
  program.macros.RunMacroText("{FILEEXPORT \"" + dir.file("part.wks") + "\",B2..C2,0}");
  ASSERT_TRUE(std::filesystem::exists(dir.file("part.wks")));
  // Into a fresh sheet: values added to what is there, then formulas.
  frame.execute("FILENEW");
  Worksheet& other = frame.active()->worksheet();
  EnterCell(other, "3", 0, 0);
  program.macros.RunMacroText("{FILEMERGE \"" + dir.file("part.wks") + "\",A1,\"\",\"S\"}");
  ASSERT_FALSE(program.macros.endedByError());
  EXPECT_EQ(other.CellNumber(other.FindCell(0, 0)), 8);
  EXPECT_FALSE(isFormula(&other.cell(other.FindCell(0, 1)))) << "values only";
  EXPECT_EQ(other.CellNumber(other.FindCell(0, 1)), 10);
  program.macros.RunMacroText("{FILEMERGE \"" + dir.file("part.wks") + "\",A5,\"\",\"RF\"}");
  EXPECT_EQ(CellInputText(other, other.FindCell(4, 1)), "+A5*2");
  EXPECT_EQ(other.CellNumber(other.FindCell(4, 1)), 10);
}

}  // namespace
}  // namespace tw::test
