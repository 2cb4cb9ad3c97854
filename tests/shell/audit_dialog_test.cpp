// The audit dialog: the tree of references to its depth, the cross
// reference lines, the kinds counted, and what the Stats page shows.
#include <gtest/gtest.h>

#include "core/recording_canvas.h"
#include "print/recording_device.h"
#include "shell/audit_dialog.h"
#include "test_support.h"

namespace tw::test {
namespace {

class AuditTest : public ProgramTest {
 public:
  std::vector<std::string> texts(const RecordingCanvas& c) {
    std::vector<std::string> out;
    for (const DrawOp& op : c.ofKind(DrawKind::Text)) out.push_back(op.text);
    return out;
  }
};

TEST_F(AuditTest, TreeToItsDepth) {
  enter("A1", "5");
  enter("B1", "+A1*2");
  enter("C1", "+B1+1");
  AuditModel m(ws, 0, 0, CellRange::cell(0, 0));
  ASSERT_EQ(m.tree().size(), 2u);
  EXPECT_EQ(m.tree()[0].text, "A1: 5");
  EXPECT_EQ(m.tree()[1].text, "B1: +A1*2");
  EXPECT_EQ(m.tree()[1].level, 1);
  EXPECT_EQ(m.totalReferences(), 1);
  m.depth = 2;
  m.rebuild();
  ASSERT_EQ(m.tree().size(), 3u);
  EXPECT_EQ(m.tree()[2].address, "C1");
  EXPECT_EQ(m.deepest(), 2);
  // A cell nothing refers to; a line clicked; a range answered for the cell.
  m.chooseTreeLine(2);
  EXPECT_EQ(m.cell, "C1");
  EXPECT_EQ(m.totalReferences(), 0);
  m.pointedAt("cell", "B1..C4");
  EXPECT_EQ(m.cell, "B1");
  // Under protection a protected cell's text is not shown.
  ws.settings.protection = true;
  m.rebuild();
  EXPECT_EQ(m.tree()[0].text, "B1: Protected");
  // A cycle ends at the depth.
  ws.settings.protection = false;
  enter("A1", "+C1");
  m.depth = 30;
  m.cell = "A1";
  m.rebuild();
  EXPECT_EQ(m.tree().size(), 31u);
}

TEST_F(AuditTest, CrossReferenceLinesAndReport) {
  enter("A1", "1");
  for (int r = 1; r <= 20; ++r) enter("B" + std::to_string(r), "+A1+" + std::to_string(r));
  enter("A2", "'x");
  AuditModel m(ws, 0, 0, CellRange::of(0, 0, 1, 0));
  ASSERT_EQ(m.xref().size(), 4u);
  auto addresses = [](const std::string& line) {
    std::string list = line.substr(line.rfind(':') + 1);
    return list.empty() ? 0 : 1 + static_cast<int>(std::count(list.begin(), list.end(), ','));
  };
  EXPECT_EQ(m.xref()[0].substr(0, 15), "A1:Integer 3:20");
  EXPECT_EQ(addresses(m.xref()[0]), 7);
  EXPECT_EQ(m.xref()[1].substr(0, 2), ":B") << "a line that goes on starts with its address";
  EXPECT_EQ(addresses(m.xref()[1]), 8);
  EXPECT_EQ(addresses(m.xref()[2]), 5);
  EXPECT_EQ(m.xref()[3], "A2:String 4:0:");
  std::vector<std::string> report = m.xrefReport();
  EXPECT_EQ(report[3], "CELL\t TYPE\t COUNT\t: REFERENCES");
  EXPECT_EQ(report[5].substr(0, 15), "A1\tInteger 3\t20");
}

TEST_F(AuditTest, KindsCountedAndShown) {
  {
    AuditModel empty(ws, 0, 0, kEmptyRange);
    RecordingCanvas c;
    empty.drawStats(c, 600, 400, 14);
    std::vector<std::string> t = texts(c);
    EXPECT_EQ(std::count(t.begin(), t.end(), "-NA-"), kAuditKinds);
  }
  enter("A1", "1");
  enter("A2", "1.5");
  enter("A3", "+A1");
  enter("A4", "+\"s\"");
  enter("C9", "'label");
  AuditModel m(ws, 0, 0, kEmptyRange);
  EXPECT_EQ(m.counts().count(0), 2) << "both kinds of formula";
  EXPECT_EQ(m.counts().count(1), 1);
  EXPECT_EQ(m.counts().count(2), 1);
  EXPECT_EQ(m.counts().count(3), 1);
  EXPECT_EQ(m.counts().total, 5);
  EXPECT_EQ(m.lastCellText(), "C9");
  RecordingCanvas c;
  m.drawStats(c, 600, 400, 14);
  std::vector<std::string> t = texts(c);
  EXPECT_NE(std::find(t.begin(), t.end(), "40 %"), t.end());
  EXPECT_NE(std::find(t.begin(), t.end(), "20 %"), t.end());
  // The map: one filled rectangle per cell, in its kind's colour.
  RecordingCanvas map;
  m.drawOverview(map, 400, 300);
  int blue = 0;
  for (const DrawOp& op : map.ofKind(DrawKind::Fill)) blue += op.colour == auditKindColour(0);
  EXPECT_EQ(blue, 2);
}

// What the printer gets: the report's lines with their columns, and the
// Stats page drawn to the page's size.
TEST_F(AuditTest, PrintsTheReportAndTheStats) {
  struct Keeping : RecordingPageDevice {
    std::vector<std::string>* texts;
    int* count;
    bool finish() override {
      *count = static_cast<int>(pages.size());
      for (const auto& page : pages)
        for (const DrawOp& op : page->ofKind(DrawKind::Text)) texts->push_back(op.text);
      return RecordingPageDevice::finish();
    }
  };
  std::vector<std::string> printed;
  int pages = 0;
  host.printer = [&](const PrintRequest&) {
    auto d = std::make_unique<Keeping>();
    d->texts = &printed;
    d->count = &pages;
    return d;
  };
  enter("A1", "1");
  enter("B1", "+A1");
  AuditModel m(ws, 0, 0, CellRange::of(0, 0, 0, 1));
  ASSERT_TRUE(m.print(host, AuditModel::kXRef));
  EXPECT_EQ(pages, 1);
  EXPECT_NE(std::find(printed.begin(), printed.end(), "CELL"), printed.end()) << "a column";
  EXPECT_NE(std::find(printed.begin(), printed.end(), "A1"), printed.end());
  printed.clear();
  ASSERT_TRUE(m.print(host, AuditModel::kStats));
  EXPECT_NE(std::find(printed.begin(), printed.end(), "50 %"), printed.end());
  host.printer = nullptr;
}

TEST_F(AuditTest, TheMenuOpensItWithAnswers) {
  enter("A1", "1");
  enter("B1", "+A1");
  host.scripted.push_back("depth=2;cell=A1");
  frame.invoke("AUDIT");
  EXPECT_EQ(host.asked.back(), "the dialog \"Audit Cell References\"");
}

}  // namespace
}  // namespace tw::test
