// The program's settings file (TLW32.INI, an INI-style text file with its
// backup TLW32.INb) and the user-defined functions file (TLW32.USR).
#pragma once

#include <string>

#include "core/program_settings.h"
#include "core/user_functions.h"

namespace tw {

inline constexpr char kSettingsFileName[] = "TLW32.INI";
inline constexpr char kUserFunctionsFileName[] = "TLW32.USR";

// The only processor type on which the time-stamp counter setting is kept;
// callers on x86-64 pass 8664.
inline constexpr int kTimeStampProcessorType = 586;

// Where the program's own files live: $TALLOWAY_HOME when set; otherwise the
// program directory when it can be written; otherwise
// $XDG_CONFIG_HOME/talloway (default ~/.config/talloway), created when
// missing. Returned without a trailing "/".
std::string settingsDirectory(const std::string& programDirectory);

// The settings backup: the name with its last character replaced by "b".
std::string settingsBackupName(const std::string& path);

// Reads the settings file into s, which holds the defaults on entry. SAVE
// and LOAD start as programDirectory, or as the file's own directory when
// that is empty. Keys the file lacks or that cannot be read keep their
// values. False when the file is missing or cannot be opened.
bool ReadSettings(const std::string& path, ProgramSettings& s, int processorType,
                  const std::string& programDirectory = {});

// Writes the settings; START= takes programDirectory. The previous file
// becomes the backup. The new contents go to a temporary file first, so a
// failed write leaves the previous file whole. False on failure.
bool WriteSettings(const std::string& path, const ProgramSettings& s,
                   const std::string& programDirectory);

// Replaces the table's functions by those of the file. False when the file
// is missing (the table is then empty).
bool ReadUserFunctions(const std::string& path, UserFunctionTable& table);

}  // namespace tw
