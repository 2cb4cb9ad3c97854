// The worksheet's table of range names: upper-case names bound to ranges,
// kept sorted, at most 240 of them. Entries are numbered from 1.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/cell_address.h"

namespace tw {

struct RangeName {
  std::string name;  // upper case, at most 12 characters
  CellRange range;
};

class RangeNameTable {
 public:
  static constexpr int kMaxNames = 240;
  static constexpr size_t kMaxNameLength = 12;

  // Entry number 1..count, or minus the position where the name would go.
  int FindName(std::string_view name) const;
  // Replaces or inserts; the entry number, negative when the entry is new.
  // 0 when the table is full or the name is not acceptable.
  int DefineName(std::string_view name, const CellRange& range);
  // As a file stores it: also a name that reads as a cell address (other
  // programs write such names), kept so that nothing read is lost. Only an
  // empty name is refused.
  int DefineStoredName(std::string_view name, const CellRange& range);
  // The former entry number, or 0 when there was none.
  int DeleteName(std::string_view name);
  void ResetNames() { entries_.clear(); }
  // The lookup of range prompts and the compiler: after a leading "$" the
  // next 12 characters are looked up, without it only the first 11.
  int NameFromText(std::string_view text) const;

  // Whether a name may be defined: not empty, not all digits, not an
  // address, not the settings name of the worksheet file.
  static bool acceptable(std::string_view upperName);
  static std::string normalise(std::string_view name);

  int count() const { return static_cast<int>(entries_.size()); }
  bool full() const { return count() >= kMaxNames; }
  const RangeName& entry(int number) const { return entries_[number - 1]; }
  RangeName& entry(int number) { return entries_[number - 1]; }
  const std::vector<RangeName>& entries() const { return entries_; }
  std::vector<RangeName>& entries() { return entries_; }

 private:
  std::vector<RangeName> entries_;
};

}  // namespace tw
