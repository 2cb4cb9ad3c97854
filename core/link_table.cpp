#include "core/link_table.h"

#include <algorithm>

#include "core/char_case.h"

namespace tw {

LinkFile* LinkTable::find(const std::string& path) {
  for (LinkFile& f : files_)
    if (sameText(f.path, path)) return &f;
  return nullptr;
}

LinkCell* LinkTable::findCell(const std::string& path, int row, int col) {
  LinkFile* f = find(path);
  if (!f) return nullptr;
  auto it = std::lower_bound(f->cells.begin(), f->cells.end(), std::make_pair(row, col),
                             [](const LinkCell& c, const std::pair<int, int>& key) {
                               return std::make_pair(c.row, c.col) < key;
                             });
  return it != f->cells.end() && it->row == row && it->col == col ? &*it : nullptr;
}

LinkCell& LinkTable::request(const std::string& path, int row, int col) {
  LinkFile* f = find(path);
  if (!f) {
    files_.push_back({path, {}});
    f = &files_.back();
  }
  auto it = std::lower_bound(f->cells.begin(), f->cells.end(), std::make_pair(row, col),
                             [](const LinkCell& c, const std::pair<int, int>& key) {
                               return std::make_pair(c.row, c.col) < key;
                             });
  if (it != f->cells.end() && it->row == row && it->col == col) return *it;
  LinkCell cell;
  cell.row = row;
  cell.col = col;
  return *f->cells.insert(it, cell);
}

std::vector<std::string> LinkTable::files() const {
  std::vector<std::string> out;
  for (const LinkFile& f : files_) out.push_back(f.path);
  return out;
}

void LinkTable::supplyNumber(const std::string& path, int row, int col, double number) {
  if (LinkCell* c = findCell(path, row, col)) {
    c->isText = false;
    c->number = number;
    c->text.clear();
    c->loaded = true;
  }
}

void LinkTable::supplyText(const std::string& path, int row, int col, std::string_view text) {
  if (LinkCell* c = findCell(path, row, col)) {
    c->isText = true;
    c->number = 0;
    c->text = std::string(text);
    c->loaded = true;
  }
}

void LinkTable::finishFile(const std::string& path) {
  if (LinkFile* f = find(path))
    for (LinkCell& c : f->cells) c.loaded = true;
}

}  // namespace tw
