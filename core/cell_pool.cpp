#include "core/cell_pool.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tw {

CellPool::CellPool() = default;

CellPool::~CellPool() {
  clear();
}

void CellPool::freePayload(Cell& c) {
  if (c.type() == CellType::StringFormula) freePString(c.value.text);
  freePString(c.content);
}

CellHandle CellPool::allocate(const Cell& templ) {
  CellHandle h = freeCells_;
  if (h != kNoCell) {
    freeCells_ = (*this)[h].next;
  } else {
    if (nextFresh_ > kHandleMask) return kNoCell;
    if ((nextFresh_ >> kBlockBits) >= blocks_.size()) {
      try {
        blocks_.push_back(std::make_unique<Cell[]>(kBlockSize));
      } catch (const std::bad_alloc&) {
        return kNoCell;
      }
    }
    h = nextFresh_++;
  }
  Cell& c = (*this)[h];
  c = templ;
  c.next = kNoCell;
  c.dependents = 0;
  c.content = nullptr;
  c.value.raw = 0;
  ++live_;
  return h;
}

void CellPool::release(CellHandle h) {
  Cell& c = (*this)[h];
  freePayload(c);
  c = Cell{};
  c.next = freeCells_;
  freeCells_ = h;
  --live_;
}

void CellPool::clear() {
  for (uint32_t h = 1; h < nextFresh_; ++h) freePayload((*this)[h]);
  blocks_.clear();
  nextFresh_ = 1;
  freeCells_ = kNoCell;
  live_ = 0;
  textBlock_ = 0;
  textUsed_ = textBlocks_.empty() ? kTextBlockSize : 0;
  linkBlocks_.clear();
  nextLink_ = 1;
  freeLinks_ = 0;
  liveLinks_ = 0;
}

PString CellPool::makeText(const uint8_t* bytes, size_t length) {
  length = std::min<size_t>(length, 255);
  size_t need = length + 2;  // its length and bytes, and a byte to start at an odd address
  if (textUsed_ + need > kTextBlockSize) {
    size_t next = textBlocks_.empty() ? 0 : textBlock_ + 1;
    if (next == textBlocks_.size()) {
      try {
        textBlocks_.push_back(std::make_unique_for_overwrite<uint8_t[]>(kTextBlockSize));
      } catch (const std::bad_alloc&) {
        return makePString(bytes, length);
      }
    }
    textBlock_ = next;
    textUsed_ = 0;
  }
  PString s = textBlocks_[textBlock_].get() + textUsed_;
  if (!isBlockText(s)) ++s;
  textUsed_ = static_cast<size_t>(s - textBlocks_[textBlock_].get()) + length + 1;
  s[0] = static_cast<uint8_t>(length);
  if (length) std::memcpy(s + 1, bytes, length);
  return s;
}

uint32_t CellPool::newLink(CellHandle cell, uint32_t next) {
  uint32_t i = freeLinks_;
  if (i != 0) {
    freeLinks_ = link(i).next;
  } else {
    if ((nextLink_ >> kLinkBlockBits) >= linkBlocks_.size())
      linkBlocks_.push_back(std::make_unique_for_overwrite<DependentLink[]>(kLinkBlockSize));
    i = nextLink_++;
  }
  link(i) = {cell, next};
  ++liveLinks_;
  return i;
}

void CellPool::freeLink(uint32_t index) {
  link(index) = {kNoCell, freeLinks_};
  freeLinks_ = index;
  --liveLinks_;
}

}  // namespace tw
