#include "files/dbase_file.h"

#include <ctime>

namespace tw {

namespace {

constexpr size_t kHeaderSize = 32;
constexpr size_t kDescriptorSize = 32;
constexpr uint8_t kTerminator = 0x0D;
constexpr char kEndOfFile = 0x1A;

uint8_t byteAt(std::string_view b, size_t i) {
  return static_cast<uint8_t>(b[i]);
}
uint16_t word16(std::string_view b, size_t i) {
  return static_cast<uint16_t>(byteAt(b, i) | (byteAt(b, i + 1) << 8));
}
uint32_t word32(std::string_view b, size_t i) {
  return static_cast<uint32_t>(word16(b, i)) | (static_cast<uint32_t>(word16(b, i + 2)) << 16);
}
void putWord16(std::string& b, size_t i, uint32_t v) {
  b[i] = static_cast<char>(v & 0xFF);
  b[i + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void putWord32(std::string& b, size_t i, uint32_t v) {
  putWord16(b, i, v & 0xFFFF);
  putWord16(b, i + 2, v >> 16);
}

char upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool ParseDbaseHeader(std::string_view prefix, uint64_t fileSize, DbaseHeader& out) {
  out = DbaseHeader{};
  if (prefix.size() < kHeaderSize || fileSize < kHeaderSize || prefix.size() > fileSize)
    return false;
  out.version = byteAt(prefix, 0);
  out.updated = {1900 + byteAt(prefix, 1), byteAt(prefix, 2), byteAt(prefix, 3)};
  out.recordCount = word32(prefix, 4);
  out.headerLength = word16(prefix, 8);
  out.recordLength = word16(prefix, 10);
  const size_t headerLength = out.headerLength;
  if (headerLength < kHeaderSize + kDescriptorSize || headerLength > fileSize ||
      prefix.size() < headerLength || out.recordLength == 0)
    return false;
  // The descriptors run to the terminator, within the header length.
  for (size_t at = kHeaderSize; at + kDescriptorSize <= headerLength; at += kDescriptorSize) {
    if (byteAt(prefix, at) == kTerminator) break;
    DbaseField f;
    std::string_view name = prefix.substr(at, kDbaseMaxNameLength);
    f.name = std::string(name.substr(0, name.find('\0')));
    f.type = upper(prefix[at + 11]);
    f.length = byteAt(prefix, at + 16);
    f.decimals = byteAt(prefix, at + 17);
    out.fields.push_back(std::move(f));
  }
  if (out.fields.empty()) return false;

  // Fields follow the flag byte one after the other. Character fields longer
  // than 255 keep the high byte of their length in the decimals byte; that
  // reading is taken only when it is the one that fills the record.
  auto layOut = [&](bool wideText) {
    uint64_t at = 1;
    for (DbaseField& f : out.fields) {
      int length = (wideText && f.type == 'C') ? f.length + (f.decimals << 8) : f.length;
      at += static_cast<uint64_t>(length);
    }
    return at;
  };
  const uint64_t plain = layOut(false);
  bool wide = false;
  if (plain != out.recordLength && layOut(true) == out.recordLength) wide = true;
  if ((wide ? layOut(true) : plain) > out.recordLength) return false;
  int at = 1;
  for (DbaseField& f : out.fields) {
    if (wide && f.type == 'C') {
      f.length += f.decimals << 8;
      f.decimals = 0;
    }
    if (f.type == 'C') f.decimals = 0;
    f.decimals = std::min(f.decimals, f.length);
    f.offset = at;
    at += f.length;
  }

  const uint64_t needed = headerLength + static_cast<uint64_t>(out.recordCount) *
                                             static_cast<uint64_t>(out.recordLength);
  return needed <= fileSize;
}

bool DbaseReader::open(const std::string& path) {
  header_ = DbaseHeader{};
  file_.close();
  file_.clear();
  file_.open(path, std::ios::binary);
  if (!file_) return false;
  file_.seekg(0, std::ios::end);
  const std::streamoff size = file_.tellg();
  if (size < 0) return false;
  file_.seekg(0);
  // The header length is a 16-bit word: the descriptors lie within 64 KB.
  std::string prefix(static_cast<size_t>(std::min<std::streamoff>(size, 65536)), '\0');
  file_.read(prefix.data(), static_cast<std::streamsize>(prefix.size()));
  if (!file_ || file_.gcount() != static_cast<std::streamsize>(prefix.size())) return false;
  if (prefix.size() >= 10) prefix.resize(std::min<size_t>(prefix.size(), word16(prefix, 8)));
  return ParseDbaseHeader(prefix, static_cast<uint64_t>(size), header_);
}

bool DbaseReader::readBlock(uint32_t first, uint32_t count) {
  const size_t length = header_.recordLength;
  const uint64_t at = header_.headerLength + static_cast<uint64_t>(first) * length;
  block_.resize(static_cast<size_t>(count) * length);
  file_.clear();
  file_.seekg(static_cast<std::streamoff>(at));
  file_.read(block_.data(), static_cast<std::streamsize>(block_.size()));
  return file_ && file_.gcount() == static_cast<std::streamsize>(block_.size());
}

DbaseWriter::DbaseWriter(std::vector<DbaseField> fields, DbaseDate date)
    : fields_(std::move(fields)), date_(date) {
  int at = 1;
  for (DbaseField& f : fields_) {
    if (f.name.size() > kDbaseWrittenNameLength) f.name.resize(kDbaseWrittenNameLength);
    f.name = f.name.substr(0, f.name.find('\0'));
    f.length = std::clamp(f.length, 1, kDbaseMaxFieldLength);
    f.decimals = std::clamp(f.decimals, 0, std::max(0, f.length - 2));
    f.offset = at;
    at += f.length;
  }
  recordLength_ = static_cast<size_t>(at);
}

void DbaseWriter::addRecord(const std::vector<std::string>& values) {
  const size_t start = body_.size();
  body_.append(recordLength_, ' ');
  for (size_t i = 0; i < fields_.size() && i < values.size(); ++i) {
    const DbaseField& f = fields_[i];
    const std::string& v = values[i];
    body_.replace(start + static_cast<size_t>(f.offset),
                  std::min(v.size(), static_cast<size_t>(f.length)), v, 0,
                  std::min(v.size(), static_cast<size_t>(f.length)));
  }
  ++records_;
}

std::string DbaseWriter::finish() {
  const size_t headerLength = kHeaderSize + kDescriptorSize * fields_.size() + 1;
  std::string out(headerLength, '\0');
  out[0] = 3;
  out[1] = static_cast<char>(std::clamp(date_.year - 1900, 0, 255));
  out[2] = static_cast<char>(std::clamp(date_.month, 1, 12));
  out[3] = static_cast<char>(std::clamp(date_.day, 1, 31));
  putWord32(out, 4, records_);
  putWord16(out, 8, static_cast<uint32_t>(headerLength));
  putWord16(out, 10, static_cast<uint32_t>(recordLength_));
  size_t at = kHeaderSize;
  for (const DbaseField& f : fields_) {
    out.replace(at, f.name.size(), f.name);
    out[at + 11] = f.type;
    out[at + 16] = static_cast<char>(f.length);
    out[at + 17] = static_cast<char>(f.decimals);
    at += kDescriptorSize;
  }
  out[at] = static_cast<char>(kTerminator);
  out.reserve(out.size() + body_.size() + 1);
  out += body_;
  out += kEndOfFile;
  body_.clear();
  body_.shrink_to_fit();
  records_ = 0;
  return out;
}

DbaseDate dbaseToday() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  if (!localtime_r(&now, &local)) return {};
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace tw
