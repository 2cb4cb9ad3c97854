// A user button's record: the bytes the worksheet file keeps, read back.
#include "core/user_button.h"

#include <gtest/gtest.h>

#include <string>

namespace tw::test {
namespace {

TEST(UserButtonRecord, RoundTripAndByteLayout) {
  UserButton b;
  b.caption = "Totals";
  b.macro = "{LET A1,5}";
  b.row = 0x1234;
  b.col = 0x56;
  b.x = 7;
  b.y = -3;
  b.width = 0x01020304;
  b.height = 20;
  ButtonRecord r = encodeButton(b);
  ASSERT_EQ(r.size(), 297u);
  EXPECT_EQ(r[0], 6);
  EXPECT_EQ(std::string(r.begin() + 1, r.begin() + 7), "Totals");
  EXPECT_EQ(r[21], 10);  // the macro's length follows the caption's 1 + 20 bytes
  EXPECT_EQ(std::string(r.begin() + 22, r.begin() + 32), "{LET A1,5}");
  EXPECT_EQ(r[277], 0x34);  // row, then column, 16-bit little-endian
  EXPECT_EQ(r[278], 0x12);
  EXPECT_EQ(r[279], 0x56);
  EXPECT_EQ(r[280], 0x00);
  EXPECT_EQ(r[281], 7);     // x
  EXPECT_EQ(r[285], 0xFD);  // y = -3, two's complement
  EXPECT_EQ(r[288], 0xFF);
  EXPECT_EQ(r[289], 0x04);  // width
  EXPECT_EQ(r[292], 0x01);
  EXPECT_EQ(r[293], 20);  // height
  EXPECT_EQ(r[296], 0);

  UserButton back = decodeButton(r);
  EXPECT_EQ(back.caption, b.caption);
  EXPECT_EQ(back.macro, b.macro);
  EXPECT_EQ(back.row, b.row);
  EXPECT_EQ(back.col, b.col);
  EXPECT_EQ(back.x, 7);
  EXPECT_EQ(back.y, -3);
  EXPECT_EQ(back.height, 20);
  EXPECT_EQ(back.kind, 0);  // read from a file
}

TEST(UserButtonRecord, LongTextsAreCutToTheirFields) {
  UserButton b;
  b.caption = std::string(30, 'c');
  b.macro = std::string(300, 'm');
  ButtonRecord r = encodeButton(b);
  EXPECT_EQ(r[0], 20);
  EXPECT_EQ(r[21], 255);
  EXPECT_EQ(r[22], 'm');  // the caption did not run into the macro
  UserButton back = decodeButton(r);
  EXPECT_EQ(back.caption, std::string(20, 'c'));
  EXPECT_EQ(back.macro, std::string(255, 'm'));
  // An exact fit stays whole.
  b.caption = std::string(20, 'x');
  EXPECT_EQ(decodeButton(encodeButton(b)).caption, b.caption);
}

TEST(UserButtonRecord, MalformedBytesAreRead) {
  ButtonRecord r;
  r.fill(0xFF);
  UserButton b = decodeButton(r);
  EXPECT_EQ(b.caption.size(), 20u);  // length 255 cut to the caption's field
  EXPECT_EQ(b.macro.size(), 255u);
  EXPECT_EQ(b.caption[0], '\xFF');
  EXPECT_LT(b.row, 8192);  // 0xFFFF is past the sheet
  EXPECT_LT(b.col, 256);
  EXPECT_EQ(b.x, -1);
  EXPECT_GE(b.width, 1);  // -1 is no size
  EXPECT_GE(b.height, 1);
  r.fill(0);
  b = decodeButton(r);
  EXPECT_TRUE(b.caption.empty());
  EXPECT_TRUE(b.macro.empty());
  EXPECT_GE(b.width, 1);
}

}  // namespace
}  // namespace tw::test
