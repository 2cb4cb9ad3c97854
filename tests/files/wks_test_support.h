// Worksheet files made and taken apart byte by byte, for the file tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

namespace tw::test {

using Bytes = std::vector<uint8_t>;

inline Bytes le16(int v) {
  return {uint8_t(v), uint8_t(v >> 8)};
}
inline Bytes le32(uint32_t v) {
  return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}
inline Bytes le64(double d) {
  Bytes b(8);
  std::memcpy(b.data(), &d, 8);
  return b;
}
inline Bytes join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
inline Bytes text0(const std::string& s) {
  Bytes b(s.begin(), s.end());
  b.push_back(0);
  return b;
}
// The five-byte cell header: format, column, row.
inline Bytes cellHeader(int format, int col, int row) {
  return join({{uint8_t(format)}, le16(col), le16(row)});
}

// A file written record by record, as another program might.
class FileBytes {
 public:
  FileBytes& record(int type, const Bytes& body) {
    Bytes head = join({le16(type), le16(static_cast<int>(body.size()))});
    bytes.insert(bytes.end(), head.begin(), head.end());
    bytes.insert(bytes.end(), body.begin(), body.end());
    return *this;
  }
  FileBytes& raw(const Bytes& b) {
    bytes.insert(bytes.end(), b.begin(), b.end());
    return *this;
  }
  FileBytes& bof() { return record(0x00, le16(0x0404)); }
  FileBytes& eof() { return record(0x01, {}); }
  FileBytes& number(int col, int row, double v, int format = 0xF1) {
    return record(0x0E, join({cellHeader(format, col, row), le64(v)}));
  }
  FileBytes& integer(int col, int row, int v, int format = 0xF1) {
    return record(0x0D, join({cellHeader(format, col, row), le16(v)}));
  }
  FileBytes& label(int col, int row, const std::string& text, int format = 0xF1) {
    return record(0x0F, join({cellHeader(format, col, row), text0(text)}));
  }
  FileBytes& formula(int col, int row, double cached, const Bytes& code, int format = 0xF1) {
    return record(0x10, join({cellHeader(format, col, row), le64(cached),
                              le16(static_cast<int>(code.size())), code}));
  }
  FileBytes& name(const std::string& n, int c1, int r1, int c2, int r2) {
    Bytes field(16, 0);
    std::memcpy(field.data(), n.data(), std::min<size_t>(n.size(), 16));
    return record(0x0B, join({field, le16(c1), le16(r1), le16(c2), le16(r2)}));
  }
  void write(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }

  Bytes bytes;
};

inline Bytes readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct FileRecord {
  int type;
  Bytes body;
};

// The records of one section: the first starts at the file's beginning,
// the second after the first end record and its two bytes.
inline std::vector<FileRecord> fileRecords(const Bytes& b, int section) {
  std::vector<FileRecord> out;
  size_t pos = 0;
  for (int s = 0; s <= section; ++s) {
    out.clear();
    while (pos + 4 <= b.size()) {
      int type = b[pos] | (b[pos + 1] << 8);
      size_t length = b[pos + 2] | (b[pos + 3] << 8);
      if (pos + 4 + length > b.size()) return out;
      out.push_back({type, Bytes(b.begin() + pos + 4, b.begin() + pos + 4 + length)});
      pos += 4 + length;
      if (type == 0x01) break;
    }
    pos += 2;  // the trailer's two bytes
  }
  return out;
}

// The record types in order, each run of one type counted once.
inline std::vector<int> typeRuns(const std::vector<FileRecord>& records) {
  std::vector<int> out;
  for (const FileRecord& r : records)
    if (out.empty() || out.back() != r.type) out.push_back(r.type);
  return out;
}

}  // namespace tw::test
