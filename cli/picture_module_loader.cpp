#include "cli/picture_module_loader.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace tw {

PictureEntry pictureModule(std::string& error) {
  static PictureEntry entry = nullptr;
  static std::string failure;
  static bool tried = false;
  if (tried) {
    error = failure;
    return entry;
  }
  tried = true;
  std::vector<std::filesystem::path> candidates;
  if (const char* env = std::getenv("TALLOWAY_PICTURES"); env && *env) candidates.emplace_back(env);
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    std::filesystem::path dir = exe.parent_path();
    candidates.push_back(dir / kPictureModuleName);
    candidates.push_back(dir.parent_path() / kPictureModuleName);
    candidates.push_back(dir.parent_path() / "lib" / "talloway" / kPictureModuleName);
  }
  for (const auto& path : candidates) {
    if (!std::filesystem::exists(path, ec)) continue;
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      const char* why = dlerror();
      failure = why ? why : "the picture module does not load";
      continue;
    }
    entry = reinterpret_cast<PictureEntry>(dlsym(handle, "tw_picture"));
    if (entry) {
      failure.clear();
      break;
    }
    failure = "the picture module has no entry point";
  }
  if (!entry && failure.empty())
    failure = std::string("pictures need ") + kPictureModuleName + ", which was not found";
  error = failure;
  return entry;
}

}  // namespace tw
