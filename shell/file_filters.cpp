#include "shell/file_filters.h"

#include <cctype>
#include <vector>

namespace tw {

namespace {

std::string caseMapped(const std::string& s, int (*map)(int)) {
  std::string out = s;
  for (char& c : out) c = static_cast<char>(map(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::string filterInEitherCase(const std::string& filter) {
  size_t open = filter.find('(');
  size_t close = filter.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open) return filter;
  std::string inside = filter.substr(open + 1, close - open - 1);
  std::vector<std::string> patterns;
  size_t i = 0;
  while (i < inside.size()) {
    size_t end = inside.find_first_of(" ;", i);
    if (end == std::string::npos) end = inside.size();
    if (end > i) patterns.push_back(inside.substr(i, end - i));
    i = end + 1;
  }
  std::vector<std::string> out;
  auto add = [&out](const std::string& p) {
    for (const std::string& q : out)
      if (q == p) return;
    out.push_back(p);
  };
  for (const std::string& p : patterns) {
    add(caseMapped(p, ::tolower));
    add(caseMapped(p, ::toupper));
  }
  std::string joined;
  for (const std::string& p : out) joined += (joined.empty() ? "" : " ") + p;
  return filter.substr(0, open + 1) + joined + filter.substr(close);
}

}  // namespace tw
