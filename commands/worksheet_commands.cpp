#include "commands/analysis_commands.h"
#include "commands/block_commands.h"
#include "commands/clipboard_commands.h"
#include "commands/command.h"
#include "commands/data_commands.h"
#include "commands/file_commands.h"
#include "commands/find_replace.h"
#include "commands/insert_delete.h"
#include "commands/justify.h"
#include "commands/matrix_commands.h"
#include "commands/name_commands.h"
#include "commands/parse_commands.h"
#include "commands/property_commands.h"
#include "commands/query_commands.h"
#include "commands/settings_commands.h"
#include "commands/sheet_commands.h"
#include "commands/transfer_commands.h"

namespace tw {

void addWorksheetCommands(CommandTable& table) {
  addSheetCommands(table);
  addPropertyCommands(table);
  addNameCommands(table);
  addFileCommands(table);
  addSettingsCommands(table);
  addBlockCommands(table);
  addInsertDeleteCommands(table);
  addClipboardCommands(table);
  addDataCommands(table);
  addMatrixCommands(table);
  addAnalysisCommands(table);
  addQueryCommands(table);
  addParseCommands(table);
  addFindReplaceCommands(table);
  addJustifyCommands(table);
  addTransferCommands(table);
}

}  // namespace tw
