#include "graphs/bmp_file.h"

#include "files/replace_file.h"

namespace tw {

namespace {

void put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

}  // namespace

std::string bmpBytes(const Bitmap& b) {
  std::string out;
  if (b.width <= 0 || b.height <= 0 ||
      b.pixels.size() < static_cast<size_t>(b.width) * static_cast<size_t>(b.height))
    return out;
  const uint32_t rowBytes = (static_cast<uint32_t>(b.width) * 3 + 3) & ~3u;
  const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(b.height);
  out.reserve(54 + imageBytes);
  out += "BM";
  put32(out, 54 + imageBytes);
  put32(out, 0);
  put32(out, 54);
  put32(out, 40);  // the information header
  put32(out, static_cast<uint32_t>(b.width));
  put32(out, static_cast<uint32_t>(b.height));
  put16(out, 1);
  put16(out, 24);
  put32(out, 0);  // no compression
  put32(out, imageBytes);
  put32(out, 3780);  // 96 dots per inch, in dots per metre
  put32(out, 3780);
  put32(out, 0);
  put32(out, 0);
  for (int y = b.height - 1; y >= 0; --y) {
    const uint32_t* row = b.pixels.data() + static_cast<size_t>(y) * b.width;
    for (int x = 0; x < b.width; ++x) {
      uint32_t p = row[x];
      out += static_cast<char>(p & 0xFF);
      out += static_cast<char>((p >> 8) & 0xFF);
      out += static_cast<char>((p >> 16) & 0xFF);
    }
    for (uint32_t pad = static_cast<uint32_t>(b.width) * 3; pad < rowBytes; ++pad) out += '\0';
  }
  return out;
}

bool writeBmpFile(const std::string& path, const Bitmap& b) {
  std::string bytes = bmpBytes(b);
  return !bytes.empty() && ReplaceFileWith(path, bytes);
}

}  // namespace tw
