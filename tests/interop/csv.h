// Reading what Gnumeric's ssconvert writes: whether it is installed, and
// its CSV (fields in double quotes may hold commas and line ends, quotes
// doubled).
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tw::test {

inline bool haveSsconvert() {
  return std::system("command -v ssconvert > /dev/null 2>&1") == 0;
}

inline std::vector<std::vector<std::string>> parseCsv(const std::string& text) {
  std::vector<std::vector<std::string>> rows(1);
  std::string field;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      rows.back().push_back(field);
      field.clear();
    } else if (c == '\n') {
      rows.back().push_back(field);
      field.clear();
      rows.emplace_back();
    } else if (c != '\r') {
      field += c;
    }
  }
  if (!field.empty() || !rows.back().empty()) rows.back().push_back(field);
  if (rows.back().empty()) rows.pop_back();
  return rows;
}

inline std::vector<std::vector<std::string>> readCsv(const std::string& path) {
  std::stringstream in;
  in << std::ifstream(path, std::ios::binary).rdbuf();
  return parseCsv(in.str());
}

}  // namespace tw::test
