// The file commands: new, open, save and save as (which give the worksheet
// its new name), close, exit, the document information, and the window
// arrangements. What concerns windows goes through the workspace.
#pragma once

#include <string>

#include "commands/command.h"

namespace tw {

class CommandTable;

// Saves the active worksheet to its file, or under a name chosen in the
// save dialog when it has none yet or when asked; a new name becomes the
// worksheet's and joins the recent files.
enum class SaveTarget { ItsFile, AskForName };
CommandResult SaveWorksheet(CommandContext& cx, SaveTarget target, const std::string& name = {});

// FILENEW, FILEOPEN [name], FILESAVE, FILESAVEAS [name, dialog], FILECLOSE
// [name], FILEEXIT, FILEDOC field, text, WINDOWTILE, WINDOWCASCADE, WINDOWNEXT.
void addFileCommands(CommandTable& table);

}  // namespace tw
