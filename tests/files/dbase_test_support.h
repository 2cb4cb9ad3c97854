// dBase tables built byte by byte from the layout, for the reader's and the
// commands' tests: a 32-byte header, 32-byte descriptors, 0x0D, records.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tw::test {

struct TableField {
  std::string name;
  char type = 'C';
  int length = 1;
  int decimals = 0;
};

struct TableLayout {
  uint8_t version = 3;
  int extraHeaderBytes = 0;  // after the terminator, counted in the header length
  bool terminator = true;
  bool endByte = true;
  long recordCountOverride = -1;
};

inline void putLE(std::string& b, size_t at, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Each record is given whole: its flag byte and its fields' bytes.
inline std::string tableBytes(const std::vector<TableField>& fields,
                              const std::vector<std::string>& records,
                              const TableLayout& layout = {}) {
  size_t recordLength = 1;
  for (const TableField& f : fields) recordLength += static_cast<size_t>(f.length);
  size_t headerLength =
      32 + 32 * fields.size() + (layout.terminator ? 1 : 0) + layout.extraHeaderBytes;
  std::string b(headerLength, '\0');
  b[0] = static_cast<char>(layout.version);
  b[1] = 124;  // 2024-05-17
  b[2] = 5;
  b[3] = 17;
  long count = layout.recordCountOverride >= 0 ? layout.recordCountOverride
                                               : static_cast<long>(records.size());
  putLE(b, 4, static_cast<uint32_t>(count), 4);
  putLE(b, 8, static_cast<uint32_t>(headerLength), 2);
  putLE(b, 10, static_cast<uint32_t>(recordLength), 2);
  for (size_t i = 0; i < fields.size(); ++i) {
    size_t at = 32 + 32 * i;
    b.replace(at, std::min<size_t>(fields[i].name.size(), 11), fields[i].name.substr(0, 11));
    b[at + 11] = fields[i].type;
    b[at + 16] = static_cast<char>(fields[i].length & 0xFF);
    b[at + 17] = static_cast<char>(fields[i].decimals);
  }
  if (layout.terminator) b[32 + 32 * fields.size()] = 0x0D;
  for (const std::string& r : records) b += r;
  if (layout.endByte) b += '\x1A';
  return b;
}

// One record: the flag and each value padded with spaces (or cut) to its field.
inline std::string recordOf(const std::vector<TableField>& fields,
                            const std::vector<std::string>& values, bool deleted = false) {
  std::string r(1, deleted ? '*' : ' ');
  for (size_t i = 0; i < fields.size(); ++i) {
    std::string v = i < values.size() ? values[i] : std::string();
    v.resize(static_cast<size_t>(fields[i].length), ' ');
    r += v;
  }
  return r;
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string readBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

}  // namespace tw::test
