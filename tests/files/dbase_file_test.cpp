// The dBase table format alone: the header and descriptors as other
// programs write them, the checks that keep a damaged file from being read
// past its end, records read in blocks, and the table the writer makes.
#include <gtest/gtest.h>

#include "files/dbase_file.h"
#include "files/dbase_test_support.h"
#include "test_support.h"

namespace tw::test {
namespace {

bool parse(const std::string& bytes, DbaseHeader& h) {
  return ParseDbaseHeader(bytes, bytes.size(), h);
}

TEST(DbaseFile, HeaderVariantsRead) {
  const std::vector<TableField> fields = {
      {"NAME", 'C', 10}, {"AMOUNT", 'N', 8, 2}, {"WHEN", 'D', 8}, {"OK", 'l', 1}};
  const std::string record = " Alice        12.5020240131T";
  DbaseHeader h;
  ASSERT_TRUE(parse(tableBytes(fields, {record}), h));
  EXPECT_EQ(h.version, 3);
  EXPECT_EQ(h.updated.year, 2024);
  EXPECT_EQ(h.updated.month, 5);
  EXPECT_EQ(h.updated.day, 17);
  EXPECT_EQ(h.recordCount, 1u);
  EXPECT_EQ(h.headerLength, 32 * 4 + 33);
  EXPECT_EQ(h.recordLength, 28);
  ASSERT_EQ(h.fields.size(), 4u);
  EXPECT_EQ(h.fields[1].name, "AMOUNT");
  EXPECT_EQ(h.fields[1].type, 'N');
  EXPECT_EQ(h.fields[1].decimals, 2);
  EXPECT_EQ(h.fields[2].offset, 19);
  EXPECT_EQ(h.fields[3].type, 'L');  // the type letter is taken in upper case
  EXPECT_EQ(fieldBytes(record, h.fields[2]), "20240131");

  // Other version bytes, bytes after the terminator (the record start is
  // the header length), and a header without terminator.
  TableLayout odd;
  odd.version = 0x8B;
  odd.extraHeaderBytes = 263;
  ASSERT_TRUE(parse(tableBytes(fields, {record}, odd), h));
  EXPECT_EQ(h.fields.size(), 4u);
  EXPECT_EQ(h.headerLength, 32 * 4 + 33 + 263);
  TableLayout bare;
  bare.terminator = false;
  ASSERT_TRUE(parse(tableBytes(fields, {record}, bare), h));
  EXPECT_EQ(h.fields.size(), 4u);
  // A header length that ends inside the descriptors keeps the whole ones.
  std::string cut = tableBytes(fields, {});
  putLE(cut, 8, 32 * 2 + 40, 2);
  putLE(cut, 10, 19, 2);
  ASSERT_TRUE(parse(cut, h));
  EXPECT_EQ(h.fields.size(), 2u);

  // A character field longer than 255 keeps its high byte in the decimals.
  std::string wide = tableBytes({{"MEMOTEXT", 'C', 300 & 0xFF, 1}, {"N", 'N', 3}},
                                {" " + std::string(300, 'x') + "  7"});
  putLE(wide, 10, 1 + 300 + 3, 2);
  ASSERT_TRUE(parse(wide, h));
  EXPECT_EQ(h.fields[0].length, 300);
  EXPECT_EQ(h.fields[0].decimals, 0);
  EXPECT_EQ(h.fields[1].offset, 301);
  // Decimals are never more than the length.
  ASSERT_TRUE(parse(tableBytes({{"X", 'N', 3, 9}}, {" 1.5"}), h));
  EXPECT_EQ(h.fields[0].decimals, 3);
}

TEST(DbaseFile, DamagedHeadersAreRefused) {
  const std::vector<TableField> fields = {{"A", 'C', 4}, {"B", 'N', 5}};
  const std::string good = tableBytes(fields, {" abcd   12", "*efgh   34"});
  DbaseHeader h;
  ASSERT_TRUE(parse(good, h));

  EXPECT_FALSE(parse(good.substr(0, 31), h));  // shorter than a header
  EXPECT_FALSE(parse(good.substr(0, 60), h));  // descriptors cut
  // Records cut short: the end byte is optional, a record byte is not.
  EXPECT_TRUE(parse(good.substr(0, good.size() - 1), h));
  EXPECT_FALSE(parse(good.substr(0, good.size() - 2), h));
  auto with = [&](size_t at, uint32_t v, int bytes) {
    std::string b = good;
    putLE(b, at, v, bytes);
    return b;
  };
  EXPECT_FALSE(parse(with(4, 3, 4), h));           // more records than the file holds
  EXPECT_FALSE(parse(with(4, 0xFFFFFFFF, 4), h));  // ... without overflowing the product
  EXPECT_FALSE(parse(with(8, 0xFFFF, 2), h));      // a header beyond the file
  EXPECT_FALSE(parse(with(8, 40, 2), h));          // room for no descriptor
  EXPECT_FALSE(parse(with(10, 0, 2), h));          // no record length
  EXPECT_FALSE(parse(with(10, 9, 2), h));          // fields longer than the record
  EXPECT_FALSE(parse(with(32, 0x0D, 1), h));       // terminator first: no field
  // A record longer than its fields is fine when the file holds it.
  std::string longer = tableBytes(fields, {" abcd   12xx"});
  putLE(longer, 10, 12, 2);
  ASSERT_TRUE(parse(longer, h));
  EXPECT_EQ(h.recordLength, 12);
}

TEST(DbaseFile, ReaderReadsRecordsInBlocksAndStopsOnRequest) {
  TempDir dir;
  // 3000 records of 40 bytes: a block of 64 KB and a part.
  std::vector<std::string> records;
  for (int i = 0; i < 3000; ++i) {
    std::string n = std::to_string(i);
    records.push_back(std::string(i % 7 == 0 ? "*" : " ") + std::string(39 - n.size(), ' ') + n);
  }
  const std::string path = dir.file("MANY.DBF");
  writeBytes(path, tableBytes({{"N", 'N', 39}}, records));
  DbaseReader reader;
  ASSERT_TRUE(reader.open(path));
  EXPECT_EQ(reader.header().recordCount, 3000u);
  long seen = 0, deleted = 0;
  bool allInOrder = true;
  ASSERT_TRUE(reader.forEachRecord(0, 5000, [&](uint32_t index, std::string_view r) {
    allInOrder = allInOrder && index == static_cast<uint32_t>(seen) && r == records[index];
    ++seen;
    deleted += recordDeleted(r);
    return true;
  }));
  EXPECT_TRUE(allInOrder);
  EXPECT_EQ(seen, 3000);
  EXPECT_EQ(deleted, 429);  // 0, 7, ..., 2996
  seen = 0;
  ASSERT_TRUE(reader.forEachRecord(2990, 100, [&](uint32_t index, std::string_view r) {
    EXPECT_EQ(r, records[index]);
    return ++seen < 4;
  }));
  EXPECT_EQ(seen, 4);
  EXPECT_TRUE(reader.forEachRecord(3000, 1, [](uint32_t, std::string_view) { return false; }));

  DbaseReader missing;
  EXPECT_FALSE(missing.open(dir.file("NONE.DBF")));
  EXPECT_FALSE(missing.open(dir.path()));  // a directory
}

TEST(DbaseFile, WriterMakesADbaseThreeTable) {
  DbaseWriter w({{"AMOUNT", 'N', 8, 2}, {"A_VERY_LONG_NAME", 'C', 300}, {"", 'C', 0}},
                DbaseDate{2024, 2, 29});
  w.addRecord({"   12.50", std::string(400, 'y'), "zz"});
  w.addRecord({"-1", "short"});
  const std::string b = w.finish();
  const size_t headerLength = 32 * 3 + 33, recordLength = 1 + 8 + 254 + 1;
  ASSERT_EQ(b.size(), headerLength + 2 * recordLength + 1);
  EXPECT_EQ(b[0], 3);
  EXPECT_EQ(b.substr(1, 3), std::string("\x7C\x02\x1D", 3));
  EXPECT_EQ(b.substr(4, 8), std::string("\x02\0\0\0\x81\0\x08\x01", 8));
  EXPECT_EQ(b.substr(12, 20), std::string(20, '\0'));
  EXPECT_EQ(b.substr(32, 32),
            std::string("AMOUNT\0\0\0\0\0N\0\0\0\0\x08\x02", 18) + std::string(14, '\0'));
  EXPECT_EQ(b.substr(64, 11), std::string("A_VERY_LON\0", 11));  // cut to 10 and a NUL
  EXPECT_EQ(static_cast<uint8_t>(b[64 + 16]), 254);
  EXPECT_EQ(b[96 + 16], 1);
  EXPECT_EQ(b[headerLength - 1], 0x0D);
  EXPECT_EQ(b.substr(headerLength, recordLength),
            " " + std::string("   12.50") + std::string(254, 'y') + "z");
  EXPECT_EQ(b.substr(headerLength + recordLength, recordLength),
            " -1      short" + std::string(249, ' ') + " ");
  EXPECT_EQ(b.back(), '\x1A');

  // What it wrote reads back.
  DbaseHeader h;
  ASSERT_TRUE(ParseDbaseHeader(b, b.size(), h));
  EXPECT_EQ(h.fields[1].name, "A_VERY_LON");
  EXPECT_EQ(h.fields[2].offset, 1 + 8 + 254);
  // No fields at all still makes a header the reader refuses rather than misreads.
  DbaseWriter none({}, DbaseDate{});
  std::string empty = none.finish();
  EXPECT_FALSE(ParseDbaseHeader(empty, empty.size(), h));
}

}  // namespace
}  // namespace tw::test
