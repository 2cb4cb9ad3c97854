#include "core/range_names.h"

#include <algorithm>

#include "core/char_case.h"

namespace tw {

std::string RangeNameTable::normalise(std::string_view name) {
  std::string s(name.substr(0, kMaxNameLength));
  upperCaseInPlace(s);
  return s;
}

static int compareNames(std::string_view a, std::string_view b) {
  // Byte-wise; a proper prefix sorts first.
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

int RangeNameTable::FindName(std::string_view name) const {
  std::string key = normalise(name);
  int low = 1, high = count();
  while (low <= high) {
    int middle = (low + high) / 2;
    int c = compareNames(key, entries_[middle - 1].name);
    if (c == 0) return middle;
    if (c < 0)
      high = middle - 1;
    else
      low = middle + 1;
  }
  return -low;
}

bool RangeNameTable::acceptable(std::string_view name) {
  if (name.empty()) return false;
  if (std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  if (name.size() >= 2 && name[0] == 'G' && name[1] == '!') return false;
  // A name that reads as a cell address would hide that address.
  size_t i = name[0] == '$' ? 1 : 0;
  int col = -1;
  size_t letters = 0;
  for (; i < name.size() && name[i] >= 'A' && name[i] <= 'Z'; ++i, ++letters)
    if (letters < 3) col = name[i] + 26 * col - 39;  // more letters are no column anyway
  if (i < name.size() && name[i] == '$') ++i;
  size_t digits = 0;
  for (; i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i) ++digits;
  if (i == name.size() && letters >= 1 && letters <= 2 && digits >= 1 && col <= 255) return false;
  return true;
}

int RangeNameTable::DefineName(std::string_view name, const CellRange& range) {
  if (!acceptable(normalise(name))) return 0;
  return DefineStoredName(name, range);
}

int RangeNameTable::DefineStoredName(std::string_view name, const CellRange& range) {
  std::string key = normalise(name);
  if (key.empty()) return 0;
  int at = FindName(key);
  if (at > 0) {
    entries_[at - 1].range = range;
    return at;
  }
  if (full()) return 0;
  entries_.insert(entries_.begin() + (-at - 1), RangeName{key, range});
  return at;
}

int RangeNameTable::DeleteName(std::string_view name) {
  int at = FindName(name);
  if (at <= 0) return 0;
  entries_.erase(entries_.begin() + (at - 1));
  return at;
}

int RangeNameTable::NameFromText(std::string_view text) const {
  size_t length = 11;
  if (!text.empty() && text[0] == '$') {
    text.remove_prefix(1);
    length = 12;
  }
  if (text.empty()) return 0;
  int at = FindName(text.substr(0, length));
  return at > 0 ? at : 0;
}

}  // namespace tw
