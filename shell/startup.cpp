#include "shell/startup.h"

#include <vector>

#include "core/file_names.h"
#include "core/program_settings.h"

namespace tw {

std::optional<std::string> findStartupWorksheet(const ProgramSettings& settings,
                                                const std::string& settingsDirectory,
                                                const std::string& programDirectory) {
  const std::string& name = settings.autoexec;
  if (name.empty()) return std::nullopt;
  std::vector<std::string> candidates;
  if (name[0] == '/') {
    candidates.push_back(name);
  } else {
    if (!settingsDirectory.empty()) candidates.push_back(settingsDirectory + "/" + name);
    if (!programDirectory.empty() && programDirectory != settingsDirectory)
      candidates.push_back(programDirectory + "/" + name);
  }
  for (const std::string& path : candidates)
    if (std::optional<std::string> found = findExistingFile(path); found && isRegularFile(*found))
      return found;
  return std::nullopt;
}

}  // namespace tw
