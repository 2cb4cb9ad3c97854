// Cell records and dependency links of one worksheet, addressed by handles.
// Records live in fixed blocks, so a Cell& stays valid while others are made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "core/cell.h"

namespace tw {

// An entry in a cell's list of the formula cells that refer to it.
struct DependentLink {
  CellHandle cell = kNoCell;
  uint32_t next = 0;
};
static_assert(sizeof(DependentLink) == 8, "a dependency link is two 32-bit words");

class CellPool {
 public:
  static constexpr int kBlockBits = 12;
  static constexpr uint32_t kBlockSize = 1u << kBlockBits;

  CellPool();
  ~CellPool();
  CellPool(const CellPool&) = delete;
  CellPool& operator=(const CellPool&) = delete;

  // A new record copied from the template, or kNoCell when memory runs out.
  CellHandle allocate(const Cell& templ);
  // Frees the record with its content and string result. Its links must
  // already have been released by the caller.
  void release(CellHandle h);
  // Frees every record and link.
  void clear();

  Cell& operator[](CellHandle h) { return blocks_[h >> kBlockBits][h & (kBlockSize - 1)]; }
  const Cell& operator[](CellHandle h) const {
    return blocks_[h >> kBlockBits][h & (kBlockSize - 1)];
  }
  size_t liveCells() const { return live_; }

  // Dependency links; index 0 is "none".
  uint32_t newLink(CellHandle cell, uint32_t next);
  void freeLink(uint32_t index);
  DependentLink& link(uint32_t index) {
    return linkBlocks_[index >> kLinkBlockBits][index & (kLinkBlockSize - 1)];
  }
  size_t liveLinks() const { return liveLinks_; }
  // Every link made from now on until one is freed has an index at or above
  // the mark; 0 when freed links wait to be made again.
  uint32_t linkMark() const { return freeLinks_ ? 0 : nextLink_; }

  // Texts made in bulk (a file's labels and string results as it is read): laid
  // out one after another in blocks of the pool, which go with its cells;
  // freeing one (freePString) leaves its place unused.
  PString makeText(const uint8_t* bytes, size_t length);
  PString makeText(std::string_view text) {
    return makeText(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  }

 private:
  static constexpr size_t kTextBlockSize = 1 << 16;
  static void freePayload(Cell& c);

  std::vector<std::unique_ptr<Cell[]>> blocks_;
  // Text blocks outlive a clear(), to be filled again by the next file
  // read; textBlock_ is the one being filled.
  std::vector<std::unique_ptr<uint8_t[]>> textBlocks_;
  size_t textBlock_ = 0;
  size_t textUsed_ = kTextBlockSize;
  uint32_t nextFresh_ = 1;  // handle 0 is never given out
  CellHandle freeCells_ = kNoCell;
  size_t live_ = 0;
  // Links in blocks too: a growing sheet never holds an old and a new copy
  // of them all at once, as a vector that doubles would.
  static constexpr int kLinkBlockBits = 13;
  static constexpr uint32_t kLinkBlockSize = 1u << kLinkBlockBits;
  std::vector<std::unique_ptr<DependentLink[]>> linkBlocks_;
  uint32_t nextLink_ = 1;  // index 0 is "none"
  uint32_t freeLinks_ = 0;
  size_t liveLinks_ = 0;
};

}  // namespace tw
