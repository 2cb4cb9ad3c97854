// libFuzzer target for the bitmap reader: any bytes are read or refused
// without reading past them; a picture read has the size it says, opaque
// pixels, and comes back the same through the writer and the reader.
//   CXX=clang++ cmake -S . -B fuzz-build -DTALLOWAY_FUZZ=ON -DTALLOWAY_UI=OFF -DTALLOWAY_TESTS=OFF
//   cmake --build fuzz-build --target fuzz_bmp && fuzz-build/bench/fuzz_bmp -max_total_time=600
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/bmp_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  std::optional<tw::Bitmap> b =
      tw::bmpFromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!b) return 0;
  if (b->width <= 0 || b->height <= 0 || b->pixels.size() != size_t(b->width) * size_t(b->height))
    abort();
  for (uint32_t p : b->pixels)
    if ((p >> 24) != 0xFF) abort();
  std::optional<tw::Bitmap> again = tw::bmpFromBytes(tw::bmpBytes(*b));
  if (!again || again->width != b->width || again->height != b->height ||
      again->pixels != b->pixels)
    abort();
  return 0;
}
