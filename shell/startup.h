// What the program opens at start: the file named on the command line, or
// else the start-up worksheet of the settings (AUTOEXEC.WKS), looked for in
// the settings directory and then in the program's directory.
#pragma once

#include <optional>
#include <string>

namespace tw {

struct ProgramSettings;

// The start-up worksheet's path when one exists; an absolute name is taken
// as it stands. Names are looked up without case.
std::optional<std::string> findStartupWorksheet(const ProgramSettings& settings,
                                                const std::string& settingsDirectory,
                                                const std::string& programDirectory);

}  // namespace tw
