#include "files/system_memory.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <limits>
#include <string>

namespace tw {

namespace {

constexpr uint64_t kUnknown = std::numeric_limits<uint64_t>::max();

uint64_t parseNumber(const std::string& text) {
  size_t first = text.find_first_of("0123456789");
  if (first == std::string::npos) return kUnknown;
  uint64_t v = 0;
  auto [end, ec] = std::from_chars(text.data() + first, text.data() + text.size(), v);
  (void)end;
  return ec == std::errc() ? v : kUnknown;
}

uint64_t meminfoAvailable() {
  std::ifstream in("/proc/meminfo");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("MemAvailable:", 0) == 0) {
      uint64_t kb = parseNumber(line);
      return kb == kUnknown ? kUnknown : kb * 1024;
    }
  }
  return kUnknown;
}

uint64_t readFileNumber(const char* path) {
  std::ifstream in(path);
  std::string text;
  if (!std::getline(in, text) || text.rfind("max", 0) == 0) return kUnknown;
  return parseNumber(text);
}

uint64_t cgroupAvailable() {
  uint64_t limit = readFileNumber("/sys/fs/cgroup/memory.max");
  if (limit == kUnknown) return kUnknown;
  uint64_t used = readFileNumber("/sys/fs/cgroup/memory.current");
  if (used == kUnknown) return kUnknown;
  return used >= limit ? 0 : limit - used;
}

}  // namespace

uint64_t availableMemoryBytes() {
  return std::min(meminfoAvailable(), cgroupAvailable());
}

}  // namespace tw
