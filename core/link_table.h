// The link table: cells of other worksheet files that LINK formulas ask
// for, with the values the link loader found in them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tw {

struct LinkCell {
  int row = 0;
  int col = 0;
  bool loaded = false;  // the loader has read the file since the request
  bool isText = false;
  double number = 0;
  std::string text;
};

struct LinkFile {
  std::string path;
  std::vector<LinkCell> cells;  // in row and column order
};

class LinkTable {
 public:
  // The entry for one cell of a file, made when it is first asked for.
  LinkCell& request(const std::string& path, int row, int col);
  // The files the requests name, for the link loader.
  std::vector<std::string> files() const;
  // A loaded file's cell, handed over by the loader; requests for it take the value.
  void supplyNumber(const std::string& path, int row, int col, double number);
  void supplyText(const std::string& path, int row, int col, std::string_view text);
  // After a file has been read: every request of it counts as loaded
  // (cells the file did not have read as 0).
  void finishFile(const std::string& path);
  void clear() { files_.clear(); }
  const std::vector<LinkFile>& all() const { return files_; }

 private:
  LinkFile* find(const std::string& path);
  LinkCell* findCell(const std::string& path, int row, int col);
  std::vector<LinkFile> files_;
};

}  // namespace tw
