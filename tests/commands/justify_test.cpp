// Justify and the text editor's command. Without a display every character
// is 8 pixels wide at 10 points, so a width of W pixels holds lines of
// (W - 4) / 8 characters.
#include <gtest/gtest.h>

#include "commands/justify.h"
#include "core/cell.h"
#include "test_support.h"

namespace tw::test {
namespace {

class JustifyTest : public ProgramTest {
 public:
  CommandResult justify(const std::string& range, int widthPixels, bool pad = false) {
    ParsedRange p = ParseRange(ws, range);
    EXPECT_TRUE(p.ok) << range;
    return frame.execute(
        "JUSTIFY", {Arg::ofRange(p.range), Arg::ofNumber(widthPixels), Arg::ofNumber(pad ? 1 : 0)});
  }
  bool empty(const std::string& address) {
    Cell* c = cell(address);
    return !c || c->type() == CellType::Blank;
  }
};

TEST_F(JustifyTest, ShortLabelsArePouredIntoFewerLines) {
  enter("A1", "'one");
  enter("A2", "\"two");
  enter("A3", "'six");
  // 72 pixels: lines of 8 characters, "one two" but not "one two six".
  ASSERT_TRUE(justify("A1..A5", 72).ok);
  EXPECT_EQ(input("A1"), "'one two") << "the default prefix, not the cell's";
  EXPECT_EQ(input("A2"), "'six");
  EXPECT_TRUE(empty("A3"));
  EXPECT_TRUE(empty("A4"));
  EXPECT_TRUE(empty("A5"));
  frame.execute("UNDO");
  EXPECT_EQ(input("A2"), "\"two");
  // Cells are read down each column, then the next column.
  enter("B1", "'ab");
  enter("A2", "'cd");
  enter("B2", "'ef");
  enter("A1", "'gh");
  ASSERT_TRUE(justify("A1..B2", 124).ok);  // 15 characters
  EXPECT_EQ(input("A1"), "'gh cd ab ef");
  EXPECT_TRUE(empty("A2"));
  EXPECT_TRUE(empty("B1"));
}

TEST_F(JustifyTest, AWordWiderThanTheLineIsCutInside) {
  enter("A1", "'abcdefghijkl");
  ASSERT_TRUE(justify("A1..A3", 44).ok);  // 5 characters
  EXPECT_EQ(text("A1"), "abcde");
  EXPECT_EQ(text("A2"), "fghij");
  EXPECT_EQ(text("A3"), "kl");
  // Words stay whole where a blank comes before the cut.
  enter("A1", "'ab cdefgh");
  enter("A2", "");
  enter("A3", "");
  ASSERT_TRUE(justify("A1..A3", 44).ok);
  EXPECT_EQ(text("A1"), "ab");
  EXPECT_EQ(text("A2"), "cdefg");
  EXPECT_EQ(text("A3"), "h");
}

TEST_F(JustifyTest, PaddingSpreadsEveryLineButTheLastAndThoseEndingInAPeriod) {
  enter("A1", "'aa  bb");
  enter("A2", "'cc.");
  enter("A3", "' dd ee ff gg ");
  // 84 pixels: 10 characters. Double blanks and one blank at either end go.
  ASSERT_TRUE(justify("A1..A4", 84, true).ok);
  EXPECT_EQ(text("A1"), "aa bb cc.") << "a period: its width is kept";
  EXPECT_EQ(text("A2"), "dd  ee  ff") << "a blank after each gap, pass after pass";
  EXPECT_EQ(text("A3"), "gg") << "the last line is not spread";
  EXPECT_TRUE(empty("A4"));
  // Gaps are widened left to right until the next blank would not fit.
  enter("A1", "'a b c d");
  enter("A2", "'e");
  enter("A3", "'ffffffff");
  ASSERT_TRUE(justify("A1..A3", 92, true).ok);  // 11 characters
  EXPECT_EQ(text("A1"), "a  b  c d e");
  EXPECT_EQ(text("A2"), "ffffffff");
  // A line of one word gets its blanks at the end.
  enter("A1", "'ab cdefgh");
  enter("A2", "");
  enter("A3", "");
  ASSERT_TRUE(justify("A1..A3", 44, true).ok);
  EXPECT_EQ(text("A1"), "ab   ");
  EXPECT_EQ(text("A2"), "cdefg");
  // Without the flag the double blank stays.
  enter("A1", "'aa  bb");
  enter("A2", "'cc");
  enter("A3", "");
  ASSERT_TRUE(justify("A1..A3", 84).ok);
  EXPECT_EQ(text("A1"), "aa  bb cc");
}

TEST_F(JustifyTest, ARangeTooSmallIsLeftAsItWas) {
  enter("A1", "'one two three four");
  enter("A2", "'five");
  ASSERT_FALSE(justify("A1..A2", 44).ok);
  ASSERT_FALSE(host.errors.empty());
  EXPECT_EQ(host.errors.back(), " RANGE to Small. Expand it!");
  EXPECT_EQ(text("A1"), "one two three four");
  EXPECT_EQ(text("A2"), "five");
  EXPECT_EQ(cell("A3"), nullptr);
  // Protection: nothing changes either.
  ws.settings.protection = true;
  EXPECT_FALSE(justify("A1..A9", 200).ok);
  EXPECT_EQ(host.errors.back(), "Protected Cell");
  EXPECT_EQ(text("A2"), "five");
  ws.settings.protection = false;
  // No usable width.
  int beeps = host.beeps;
  EXPECT_FALSE(justify("A1..A9", 4).ok);
  EXPECT_EQ(host.beeps, beeps + 1);
  EXPECT_EQ(text("A1"), "one two three four");
}

TEST_F(JustifyTest, OnlyTheCellsReadAreErasedAndLinesStayShort) {
  // 500 cells are read: A501 is neither read nor erased.
  enter("A1", "'first");
  enter("A500", "'last");
  enter("A501", "'kept");
  ASSERT_TRUE(justify("A1..A600", 200).ok);
  EXPECT_EQ(text("A1"), "first last");
  EXPECT_TRUE(empty("A500"));
  EXPECT_EQ(text("A501"), "kept");
  // However wide the width, a line is at most 239 characters.
  std::string words;
  for (int k = 0; k < 24; ++k) words += (k ? " " : "") + std::string("word");
  for (const char* a : {"B1", "B2", "B3"}) enter(a, "'" + words);
  ASSERT_TRUE(justify("B1..B5", 100000).ok);
  size_t total = 0;
  for (const char* a : {"B1", "B2", "B3", "B4", "B5"}) {
    if (empty(a)) continue;
    std::string t = text(a);
    EXPECT_LE(t.size(), kJustifyLineLength) << a;
    EXPECT_NE(t.back(), ' ') << a;
    total += t.size() + 1;
  }
  EXPECT_EQ(total, 3 * (words.size() + 1)) << "every word kept, one blank between";
}

TEST_F(JustifyTest, LinesAreMeasuredInTheFirstCellsFont) {
  enter("A1", "'one two");
  cell("A1")->size = 20;  // 16 pixels a character
  ASSERT_TRUE(justify("A1..A2", 72).ok);
  EXPECT_EQ(text("A1"), "one");
  EXPECT_EQ(text("A2"), "two");
  EXPECT_EQ(justifyFont(ws, 0, 0).typeface, "Arial");
  EXPECT_EQ(justifyFont(ws, 0, 0).size, 20);
  EXPECT_EQ(justifyFont(ws, 5, 5).size, 10) << "no cell: the default size";
}

TEST_F(JustifyTest, TheEditorsLinesGoDownTheColumn) {
  enter("A1", "'alpha");
  enter("A2", "+A4*2");
  enter("A4", "3");
  EXPECT_EQ(editorLines(ws, CellRange::of(0, 0, 2, 1)),
            (std::vector<std::string>{"'alpha", "+A4*2", ""}));
  CellHandle blank = ws.GetOrCreateCell(2, 0);  // A3: a formatted blank
  ws.cell(blank).format = 0x02;
  ASSERT_TRUE(frame
                  .execute("WORDEDIT", {Arg::ofRange(CellRange::cell(0, 0)),
                                        Arg::ofText("'beta\r\n+A4*3\n\n7\n+(A4")})
                  .ok);
  EXPECT_EQ(input("A1"), "'beta");
  EXPECT_EQ(input("A2"), "+A4*3");
  EXPECT_EQ(cell("A3")->type(), CellType::Blank) << "a line as the cell shows it is left alone";
  EXPECT_EQ(number("A4"), 7) << "lines past the selection go below it";
  EXPECT_EQ(input("A5"), "'+(A4") << "what does not compile is kept as a label";
  EXPECT_EQ(number("A2"), 21) << "compiled: it follows A4";
  // Under protection only a beep.
  ws.settings.protection = true;
  cell("A1")->format &= static_cast<uint8_t>(~kFormatProtected);
  int beeps = host.beeps;
  EXPECT_FALSE(
      frame.execute("WORDEDIT", {Arg::ofRange(CellRange::cell(0, 0)), Arg::ofText("x")}).ok);
  EXPECT_EQ(host.beeps, beeps + 1);
  EXPECT_EQ(input("A1"), "'beta");
}

}  // namespace
}  // namespace tw::test
