// dBase tables as files: the 32-byte header, one 32-byte descriptor per
// field, the byte 0x0D, then the records (a flag byte, " " live or "*"
// deleted, and the fields one after the other, each exactly its length).
// Reading takes the variants other programs write (memo and logical fields,
// other version bytes, header lengths that are not 32 x fields + 33) and
// checks every length against the file before a record is read; writing
// makes a dBase III table. No worksheet here: the commands map cells.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

inline constexpr int kDbaseMaxNameLength = 11;  // bytes of a descriptor's name
// A written name leaves the 11th byte for its terminating NUL, which readers
// of other programs expect.
inline constexpr int kDbaseWrittenNameLength = 10;
inline constexpr int kDbaseMaxFieldLength = 254;  // what a written field may hold

struct DbaseField {
  std::string name;  // the descriptor's 11 bytes up to the first NUL
  char type = 'C';   // upper case: C, N, D, L, M, F ...
  int length = 0;    // bytes in each record
  int decimals = 0;  // numeric fields; never more than the length
  int offset = 0;    // where the field starts in a record (the flag is byte 0)
};

struct DbaseDate {
  int year = 1900;
  int month = 1;
  int day = 1;
};

struct DbaseHeader {
  uint8_t version = 3;
  DbaseDate updated;
  uint32_t recordCount = 0;
  uint16_t headerLength = 0;
  uint16_t recordLength = 0;
  std::vector<DbaseField> fields;
};

// The header and descriptors from the first bytes of a file of fileSize
// bytes (prefix holds at least the header length, or the whole file when it
// is shorter). False when they do not describe a table the file can hold:
// no field, a header or records beyond the file's end, fields longer than
// the record.
bool ParseDbaseHeader(std::string_view prefix, uint64_t fileSize, DbaseHeader& out);

// A table file opened for reading: the header checked at open, the records
// read on request in blocks.
class DbaseReader {
 public:
  // False when the file cannot be opened or read or is not a table.
  bool open(const std::string& path);
  const DbaseHeader& header() const { return header_; }
  // Calls fn(index, record) for the records first .. first + count - 1
  // (0-based, bounded by the record count), each record recordLength bytes,
  // in order, until fn returns false. False on a read error.
  template <class F>
  bool forEachRecord(uint32_t first, uint32_t count, F&& fn);

 private:
  bool readBlock(uint32_t first, uint32_t count);

  std::ifstream file_;
  DbaseHeader header_;
  std::string block_;
};

// A field's bytes in a record.
inline std::string_view fieldBytes(std::string_view record, const DbaseField& f) {
  return record.substr(static_cast<size_t>(f.offset), static_cast<size_t>(f.length));
}
inline bool recordDeleted(std::string_view record) {
  return !record.empty() && record[0] == '*';
}

// Builds a dBase III table in memory: version 3, the given date, the
// descriptors of the fields (names cut to 10 bytes, lengths brought into
// 1..254, decimals below the length), 0x0D, the records and 0x1A.
class DbaseWriter {
 public:
  DbaseWriter(std::vector<DbaseField> fields, DbaseDate date);
  const std::vector<DbaseField>& fields() const { return fields_; }
  // One live record: each value cut or padded with spaces to its field's
  // length; missing values are spaces.
  void addRecord(const std::vector<std::string>& values);
  // The whole file; the writer is empty afterwards.
  std::string finish();

 private:
  std::vector<DbaseField> fields_;
  DbaseDate date_;
  uint32_t records_ = 0;
  size_t recordLength_ = 1;
  std::string body_;
};

// Today's date on the system's calendar.
DbaseDate dbaseToday();

// ---------------------------------------------------------------------------

template <class F>
bool DbaseReader::forEachRecord(uint32_t first, uint32_t count, F&& fn) {
  const uint32_t total = header_.recordCount;
  if (first >= total) return true;
  if (count > total - first) count = total - first;
  const size_t length = header_.recordLength;
  const uint32_t perBlock = static_cast<uint32_t>(std::max<size_t>(1, 65536 / length));
  for (uint32_t done = 0; done < count;) {
    const uint32_t n = std::min(perBlock, count - done);
    if (!readBlock(first + done, n)) return false;
    for (uint32_t k = 0; k < n; ++k)
      if (!fn(first + done + k, std::string_view(block_).substr(k * length, length))) return true;
    done += n;
  }
  return true;
}

}  // namespace tw
