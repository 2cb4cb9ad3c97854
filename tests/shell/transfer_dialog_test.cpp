// Import, Export and Merge from the File menu: the file dialog's filter
// picks the kind, the Transfer or Merge dialog the cells.
#include <gtest/gtest.h>

#include <fstream>

#include "files/worksheet_file.h"
#include "macros/macro_interpreter.h"
#include "shell/transfer_dialog.h"
#include "test_support.h"

namespace tw::test {
namespace {

class TransferDialogTest : public ProgramTest {
 public:
  TempDir dir;
  void write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir.file(name), std::ios::binary) << bytes;
  }
  std::string read(const std::string& name) {
    std::ifstream in(dir.file(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
};

TEST_F(TransferDialogTest, ImportAndExportThroughTheMenus) {
  write("in.prn", "1 2 \"x y\"\n");
  host.scripted = {dir.file("in.prn") + "|2", "target=B2"};
  keys("/FI");
  EXPECT_EQ(number("B2"), 1);
  EXPECT_EQ(number("C2"), 2);
  EXPECT_EQ(text("D2"), "x y");
  // The filter chosen is the next opening's: values again.
  host.scripted = {dir.file("in.prn"), "target=B5"};
  keys("/FI");
  EXPECT_EQ(number("C5"), 2);

  // Export: a name without an extension gets the kind's.
  host.scripted = {dir.file("out") + "|3", "source=B2..D2"};
  keys("/FE");
  EXPECT_EQ(read("out.prn"), "1,2,x y\r\n");
  host.scripted = {dir.file("q.prn") + "|2", "source=B2..C2"};
  keys("/FE");
  EXPECT_EQ(read("q.prn"), "\"1\",\"2\"\r\n");
  host.scripted = {dir.file("w") + "|1", "source=B2..C2"};
  keys("/FE");
  Worksheet& back = *(frame.execute("FILENEW"), &frame.active()->worksheet());
  ASSERT_TRUE(Load(back, dir.file("w.wks")));
  EXPECT_EQ(back.CellNumber(back.FindCell(0, 1)), 2) << "addressed from A1";
}

TEST_F(TransferDialogTest, DbaseTablesBothWays) {
  enter("A1", "'NAME");
  enter("B1", "'QTY");
  const char* names[] = {"'ant", "'bee", "'cat", "'dog"};
  for (int r = 0; r < 4; ++r) {
    enter("A" + std::to_string(r + 2), names[r]);
    enter("B" + std::to_string(r + 2), std::to_string(r + 1));
  }
  host.scripted = {dir.file("t") + "|4", "source=A1..B5"};
  keys("/FE");
  ASSERT_TRUE(std::filesystem::exists(dir.file("t.dbf")));
  // Records 2 to 3 of the table, at D1.
  host.scripted = {dir.file("t.dbf") + "|3", "dbaseTarget=D1;all=0;start=2;stop=3"};
  keys("/FI");
  EXPECT_EQ(text("D1"), "NAME");
  EXPECT_EQ(text("D2"), "bee");
  EXPECT_EQ(text("E3"), "3") << "a column without a fixed format is a character field";
  EXPECT_EQ(cell("D4"), nullptr);
  // The macro keywords reach the same tables.
  program.macros.RunMacroText("{FILEIMPORT \"" + dir.file("t.dbf") + "\",G1,3}");
  EXPECT_EQ(text("G5"), "dog");
}

TEST_F(TransferDialogTest, TheDialogsFieldsAndRefusals) {
  TransferModel m(ws, TransferKind::ImportText, "f.prn", CellRange::of(1, 1, 3, 3), 1, 1);
  EXPECT_EQ(m.caption(), "Transfer");
  EXPECT_EQ(m.title(), "Import Text");
  EXPECT_EQ(m.target, "B2");
  EXPECT_EQ(m.pointPrompt("target"), "IMPORT: Specify Target");
  m.target = "B2..";
  std::string message;
  EXPECT_FALSE(m.check(message));
  TransferModel e(ws, TransferKind::ExportComma, "f.prn", CellRange::of(1, 1, 3, 3), 1, 1);
  EXPECT_EQ(e.source, "B2..D4");
  EXPECT_EQ(e.pointPrompt("source"), "EXTRACT: Specify Source");
  EXPECT_EQ(withTransferExtension("/a.b/c", TransferKind::ExportDbase), "/a.b/c.dbf");
  EXPECT_EQ(withTransferExtension("c.txt", TransferKind::ExportQuoted), "c.txt");
  // An unreadable dBase file cannot be imported.
  TransferModel d(ws, TransferKind::ImportDbase, dir.file("none.dbf"), kEmptyRange, 0, 0);
  EXPECT_EQ(d.records, -1);
  EXPECT_FALSE(d.check(message));
  EXPECT_EQ(message, "Unable to Read");
}

TEST_F(TransferDialogTest, MergeValuesSumsAndAName) {
  enter("A1", "5");
  enter("B1", "+A1*2");
  ws.names.DefineName("PART", CellRange::of(0, 1, 0, 1));
  ASSERT_TRUE(Save(ws, dir.file("src.wks")));
  frame.execute("FILENEW");
  Worksheet& to = frame.active()->worksheet();
  EnterCell(to, "3", 0, 0);
  host.scripted = {dir.file("src.wks"), "insertAt=A1;action=2"};
  keys("/FM");
  EXPECT_EQ(host.asked.back(), "the dialog \"Merge Value\"");
  EXPECT_EQ(to.CellNumber(to.FindCell(0, 0)), 8);
  // By formula, one named range of the file, at C5.
  MergeModel m(to, dir.file("src.wks"), true, CellRange::cell(4, 2));
  EXPECT_FALSE(m.actionsEnabled());
  ASSERT_EQ(m.names.size(), 1u);
  EXPECT_EQ(m.names[0].substr(0, 5), "PART ");
  host.scripted = {dir.file("src.wks") + "|2", "insertAt=C5;range=" + m.names[0]};
  keys("/FM");
  EXPECT_EQ(host.asked.back(), "the dialog \"Merge by Formula\"");
  EXPECT_EQ(CellInputText(to, to.FindCell(4, 2)), "+B5*2");
  CellHandle left = to.FindCell(4, 1);  // made by the reference, but not merged
  EXPECT_TRUE(left == kNoCell || to.cell(left).type() == CellType::Blank) << "only the named range";
}

}  // namespace
}  // namespace tw::test
