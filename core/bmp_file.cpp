#include "core/bmp_file.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/replace_file.h"

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

uint32_t get16(std::string_view b, size_t at) {
  return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8;
}
uint32_t get32(std::string_view b, size_t at) {
  return get16(b, at) | get16(b, at + 2) << 16;
}

constexpr uint32_t kOpaque = 0xFF000000u;
constexpr size_t kFileHeader = 14;
// Files larger than this are not pictures the program reads.
constexpr uintmax_t kLargestFile = uintmax_t(1) << 28;

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

std::optional<Bitmap> bmpFromBytes(std::string_view b) {
  if (b.size() < kFileHeader + 40 || b[0] != 'B' || b[1] != 'M') return std::nullopt;
  const uint32_t dataAt = get32(b, 10);
  const uint32_t infoSize = get32(b, 14);
  if (infoSize < 40 || infoSize > b.size() - kFileHeader) return std::nullopt;
  const int32_t width = static_cast<int32_t>(get32(b, 18));
  const int32_t rawHeight = static_cast<int32_t>(get32(b, 22));
  const uint32_t planes = get16(b, 26);
  const uint32_t bits = get16(b, 28);
  const uint32_t compression = get32(b, 30);
  uint32_t colours = get32(b, 46);
  if (planes != 1 || compression != 0) return std::nullopt;
  if (width <= 0 || width > kBmpLargestSide || rawHeight == 0 || rawHeight < -kBmpLargestSide ||
      rawHeight > kBmpLargestSide)
    return std::nullopt;
  const bool topDown = rawHeight < 0;
  const int height = topDown ? -rawHeight : rawHeight;
  if (size_t(width) * size_t(height) > kBmpLargestPixels) return std::nullopt;

  std::vector<uint32_t> palette;
  if (bits == 1 || bits == 4 || bits == 8) {
    const uint32_t most = 1u << bits;
    if (colours == 0) colours = most;
    if (colours > most) return std::nullopt;
    const size_t paletteAt = kFileHeader + infoSize;
    if (paletteAt + size_t(colours) * 4 > b.size()) return std::nullopt;
    palette.reserve(colours);
    for (uint32_t i = 0; i < colours; ++i)
      palette.push_back(kOpaque | (get32(b, paletteAt + size_t(i) * 4) & 0xFFFFFF));
  } else if (bits != 24 && bits != 32) {
    return std::nullopt;
  }

  const size_t rowBytes = ((size_t(width) * bits + 31) / 32) * 4;
  if (dataAt < kFileHeader + infoSize || dataAt > b.size() ||
      rowBytes * size_t(height) > b.size() - dataAt)
    return std::nullopt;

  Bitmap out;
  out.width = width;
  out.height = height;
  out.pixels.resize(size_t(width) * size_t(height));
  for (int r = 0; r < height; ++r) {
    const size_t rowAt = dataAt + size_t(r) * rowBytes;
    const int y = topDown ? r : height - 1 - r;
    uint32_t* row = out.pixels.data() + size_t(y) * size_t(width);
    for (int x = 0; x < width; ++x) {
      uint32_t p;
      if (bits >= 24) {
        const size_t at = rowAt + size_t(x) * (bits / 8);
        p = kOpaque | uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 |
            uint32_t(uint8_t(b[at + 2])) << 16;
      } else {
        const size_t bit = size_t(x) * bits;
        const uint8_t byte = uint8_t(b[rowAt + bit / 8]);
        const uint32_t index = (byte >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
        if (index >= palette.size()) return std::nullopt;
        p = palette[index];
      }
      row[x] = p;
    }
  }
  return out;
}

std::optional<Bitmap> readBmpFile(const std::string& path) {
  std::error_code ec;
  const uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec || size > kLargestFile) return std::nullopt;
  std::ifstream f(path, std::ios::binary);
  if (!f) return std::nullopt;
  std::string bytes(static_cast<size_t>(size), '\0');
  f.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (static_cast<uintmax_t>(f.gcount()) != size) return std::nullopt;
  return bmpFromBytes(bytes);
}

}  // namespace tw
