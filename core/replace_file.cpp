#include "core/replace_file.h"

#include <filesystem>
#include <fstream>

namespace tw {

bool ReplaceFileWith(const std::string& path, std::string_view bytes) {
  const std::string part = path + ".part";
  std::error_code ec;
  {
    std::ofstream f(part, std::ios::binary | std::ios::trunc);
    if (!f) return false;
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    f.close();
    if (!f) {
      std::filesystem::remove(part, ec);
      return false;
    }
  }
  std::filesystem::rename(part, path, ec);
  if (!ec) return true;
  std::filesystem::remove(part, ec);
  return false;
}

}  // namespace tw
