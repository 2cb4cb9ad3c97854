#include "core/file_names.h"

#include "core/char_case.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace tw {

namespace fs = std::filesystem;

bool sameFileName(std::string_view a, std::string_view b) {
  return sameText(a, b);
}

std::string_view baseName(std::string_view path) {
  size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string withWorksheetExtension(const std::string& path) {
  if (path.empty() || baseName(path).find('.') != std::string_view::npos) return path;
  return path + ".WKS";
}

std::string backupFileName(const std::string& path) {
  std::string backup = path;
  if (backup.empty()) return backup;
  // The case of the extension's letters decides: "test1.wk1" backs up to
  // "test1.wkb", "TEST1.WK1" to "TEST1.WKB".
  size_t dot = backup.find_last_of("./");
  size_t from = dot != std::string::npos && backup[dot] == '.' ? dot + 1 : backup.size() - 1;
  bool lower = false, upper = false;
  for (size_t i = from; i < backup.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(backup[i]);
    lower = lower || std::islower(c);
    upper = upper || std::isupper(c);
  }
  backup.back() = lower && !upper ? 'b' : 'B';
  return backup;
}

bool isRegularFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

std::optional<std::string> findExistingFile(const std::string& path) {
  std::error_code ec;
  if (path.empty()) return std::nullopt;
  if (fs::exists(path, ec)) return path;
  // Walk the parts; each one is taken as given when it exists, otherwise the
  // first entry of its directory (in name order) that matches without case.
  std::string built = path[0] == '/' ? "/" : "";
  std::string_view rest(path);
  while (!rest.empty()) {
    size_t slash = rest.find('/');
    std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty()) continue;
    std::string candidate = built + std::string(part);
    if (!fs::exists(candidate, ec) && part != "." && part != "..") {
      fs::path dir = built.empty() ? fs::path(".") : fs::path(built);
      std::vector<std::string> matches;
      for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (sameFileName(name, part)) matches.push_back(name);
      }
      if (matches.empty()) return std::nullopt;
      std::sort(matches.begin(), matches.end());
      candidate = built + matches.front();
    }
    built = candidate;
    if (!rest.empty()) built += '/';
  }
  if (!fs::exists(built, ec)) return std::nullopt;
  return built;
}

std::string directoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace tw
