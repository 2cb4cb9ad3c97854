#include "core/program_settings.h"

#include <algorithm>

#include "core/char_case.h"

namespace tw {

std::vector<NamedFormat> defaultFormatList() {
  return {{"F2", "Fixed"},    {"S2", "Science"},  {"M2", "Comma"},
          {"G", "General"},   {"P2", "Percent"},  {"E2", "Eng"},
          {"C2", "Currency"}, {"D0", "YY:MM:DD"}, {"X", "Text"}};
}

void addRecentFile(ProgramSettings& settings, const std::string& name) {
  std::vector<std::string>& recent = settings.history;
  std::erase_if(recent, [&](const std::string& other) { return sameText(other, name); });
  size_t limit = static_cast<size_t>(std::clamp(settings.historySize, 1, kMaxRecentFiles));
  while (recent.size() >= limit) recent.pop_back();
  recent.insert(recent.begin(), name.substr(0, 255));
}

}  // namespace tw
