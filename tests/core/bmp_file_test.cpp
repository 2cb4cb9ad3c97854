// The bitmap reader reads what the writer writes and the other layouts of
// the format (palettes of 1, 4 and 8 bits, 32 bits, top-down rows), and
// refuses damaged files whole.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/bmp_file.h"
#include "test_support.h"

namespace tw::test {
namespace {

void put16(std::string& s, uint32_t v) {
  s += char(v & 0xFF);
  s += char(v >> 8 & 0xFF);
}
void put32(std::string& s, uint32_t v) {
  put16(s, v & 0xFFFF);
  put16(s, v >> 16);
}

// A file laid out by hand: the rows given top row first, each already
// packed (without padding), with the palette given.
std::string bmpFile(int width, int height, int bits, bool topDown,
                    const std::vector<std::string>& rowsTopFirst,
                    const std::vector<uint32_t>& palette = {}) {
  size_t rowBytes = ((size_t(width) * bits + 31) / 32) * 4;
  std::string data;
  for (int i = 0; i < height; ++i) {
    std::string row = rowsTopFirst[size_t(topDown ? i : height - 1 - i)];
    row.resize(rowBytes, '\0');
    data += row;
  }
  uint32_t offset = 54 + uint32_t(palette.size()) * 4;
  std::string s = "BM";
  put32(s, offset + uint32_t(data.size()));
  put32(s, 0);
  put32(s, offset);
  put32(s, 40);
  put32(s, uint32_t(width));
  put32(s, uint32_t(topDown ? -height : height));
  put16(s, 1);
  put16(s, uint32_t(bits));
  put32(s, 0);
  put32(s, uint32_t(data.size()));
  put32(s, 0);
  put32(s, 0);
  put32(s, uint32_t(palette.size()));
  put32(s, 0);
  for (uint32_t c : palette) put32(s, c);
  return s + data;
}

TEST(BmpFile, ReadsWhatTheWriterWrites) {
  Bitmap b;
  b.width = 3;  // 9 bytes a row: three bytes of padding
  b.height = 2;
  b.pixels = {0xFF112233, 0xFF445566, 0xFF778899, 0xFFAABBCC, 0xFFDDEEFF, 0xFF000000};
  std::string bytes = bmpBytes(b);
  ASSERT_EQ(bytes.size(), 54u + 2 * 12);
  std::optional<Bitmap> back = bmpFromBytes(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->width, 3);
  EXPECT_EQ(back->height, 2);
  EXPECT_EQ(back->pixels, b.pixels);

  // Through a file, and a colour without alpha comes back opaque.
  TempDir dir;
  b.pixels[0] = 0x00123456;
  ASSERT_TRUE(writeBmpFile(dir.file("p.bmp"), b));
  back = readBmpFile(dir.file("p.bmp"));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->pixels[0], 0xFF123456u);
  EXPECT_FALSE(readBmpFile(dir.file("missing.bmp")));
  EXPECT_FALSE(writeBmpFile(dir.file("no/such/dir.bmp"), b));
}

TEST(BmpFile, EachDepthAndRowOrder) {
  // 24 bits, top-down: the first row in the file is the top one.
  std::string top24 = std::string("\x01\x02\x03", 3) + std::string("\x04\x05\x06", 3);
  std::string bottom24 = std::string("\x07\x08\x09", 3) + std::string("\x0A\x0B\x0C", 3);
  std::optional<Bitmap> b = bmpFromBytes(bmpFile(2, 2, 24, true, {top24, bottom24}));
  ASSERT_TRUE(b);
  EXPECT_EQ(b->pixels, (std::vector<uint32_t>{0xFF030201, 0xFF060504, 0xFF090807, 0xFF0C0B0A}));
  b = bmpFromBytes(bmpFile(2, 2, 24, false, {top24, bottom24}));
  ASSERT_TRUE(b);
  EXPECT_EQ(b->pixels[0], 0xFF030201u) << "bottom-up rows land the same way";
  EXPECT_EQ(b->pixels[3], 0xFF0C0B0Au);

  // 32 bits: the fourth byte (often zero) does not make pixels transparent.
  b = bmpFromBytes(bmpFile(1, 1, 32, false, {std::string("\x10\x20\x30\x00", 4)}));
  ASSERT_TRUE(b);
  EXPECT_EQ(b->pixels, std::vector<uint32_t>{0xFF302010});

  // 1 bit: the high bit is the leftmost pixel; ten pixels span two bytes.
  std::vector<uint32_t> two = {0x000000, 0xFFFFFF};
  b = bmpFromBytes(bmpFile(10, 1, 1, false, {std::string("\xA0\x40", 2)}, two));
  ASSERT_TRUE(b);
  std::vector<uint32_t> expect(10, 0xFF000000);
  expect[0] = expect[2] = expect[9] = 0xFFFFFFFF;
  EXPECT_EQ(b->pixels, expect);

  // 4 bits: two pixels a byte, high nibble first; an odd width.
  std::vector<uint32_t> sixteen(16);
  for (uint32_t i = 0; i < 16; ++i) sixteen[i] = i * 0x010101;
  b = bmpFromBytes(bmpFile(3, 1, 4, true, {std::string("\x1F\x70", 2)}, sixteen));
  ASSERT_TRUE(b);
  EXPECT_EQ(b->pixels, (std::vector<uint32_t>{0xFF010101, 0xFF0F0F0F, 0xFF070707}));

  // 8 bits with a short palette (colours used = 3).
  std::vector<uint32_t> three = {0x0000FF, 0x00FF00, 0xFF0000};
  b = bmpFromBytes(bmpFile(
      3, 2, 8, false, {std::string("\x02\x01\x00", 3), std::string("\x00\x00\x02", 3)}, three));
  ASSERT_TRUE(b);
  EXPECT_EQ(b->pixels, (std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF0000FF,
                                              0xFF0000FF, 0xFFFF0000}));
}

TEST(BmpFile, RefusesDamagedFiles) {
  std::string good = bmpFile(3, 2, 24, false, {"abcdefghi", "jklmnopqr"});
  ASSERT_TRUE(bmpFromBytes(good));
  // Every truncation is refused, down to nothing.
  for (size_t n = 0; n < good.size(); ++n)
    EXPECT_FALSE(bmpFromBytes(good.substr(0, n))) << n << " bytes";

  auto patched = [&](size_t at, uint32_t v, int size = 4) {
    std::string s = good;
    for (int i = 0; i < size; ++i) s[at + size_t(i)] = char(v >> (8 * i) & 0xFF);
    return s;
  };
  EXPECT_FALSE(bmpFromBytes("BA" + good.substr(2))) << "not a bitmap";
  EXPECT_FALSE(bmpFromBytes(patched(14, 12))) << "an old header the reader does not take";
  EXPECT_FALSE(bmpFromBytes(patched(14, 0x7FFFFFFF))) << "a header beyond the file";
  EXPECT_FALSE(bmpFromBytes(patched(10, 0xFFFFFFF0))) << "pixels beyond the file";
  EXPECT_FALSE(bmpFromBytes(patched(10, 20))) << "pixels inside the header";
  EXPECT_FALSE(bmpFromBytes(patched(18, 0))) << "no width";
  EXPECT_FALSE(bmpFromBytes(patched(18, 0xFFFFFFFF))) << "a negative width";
  EXPECT_FALSE(bmpFromBytes(patched(22, 0))) << "no height";
  EXPECT_FALSE(bmpFromBytes(patched(22, 0x80000000))) << "the lowest height";
  EXPECT_FALSE(bmpFromBytes(patched(18, 100000))) << "wider than the file";
  EXPECT_FALSE(bmpFromBytes(patched(26, 2, 2))) << "two planes";
  EXPECT_FALSE(bmpFromBytes(patched(28, 16, 2))) << "16 bits";
  EXPECT_FALSE(bmpFromBytes(patched(30, 1))) << "run-length compressed";

  // Palettes: more colours than the depth has, a palette past the end, an
  // index past the colours the file gives.
  std::vector<uint32_t> two = {0, 0xFFFFFF};
  std::string onebit = bmpFile(8, 1, 1, false, {"\xFF"}, two);
  ASSERT_TRUE(bmpFromBytes(onebit));
  std::string s = onebit;
  s[46] = 3;
  EXPECT_FALSE(bmpFromBytes(s));
  s = onebit;
  s[46] = 0;
  EXPECT_TRUE(bmpFromBytes(s)) << "no count: all colours of the depth";
  EXPECT_FALSE(bmpFromBytes(onebit.substr(0, 58))) << "the palette cut";
  std::vector<uint32_t> one = {0x123456};
  EXPECT_FALSE(bmpFromBytes(bmpFile(8, 1, 1, false, {"\x01"}, one))) << "index 1 with one colour";
}

}  // namespace
}  // namespace tw::test
