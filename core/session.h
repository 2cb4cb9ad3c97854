// The process-wide state of the engine: the host, the error flag, the
// program settings, the table of open worksheets with the current one, and
// the evaluator. There is one per program; tests make their own.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/error_state.h"
#include "core/function_table.h"
#include "core/host.h"
#include "core/link_table.h"
#include "core/program_settings.h"
#include "core/user_functions.h"

namespace tw {

class Worksheet;
class Evaluator;

class Session {
 public:
  explicit Session(Host& host);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Host& host() { return host_; }
  ErrorState& error() { return error_; }
  ProgramSettings& settings() { return settings_; }
  const ProgramSettings& settings() const { return settings_; }
  Evaluator& evaluator() { return *evaluator_; }
  // The opcodes' names, classes and handlers; the program that makes the
  // session enters the function library (installFunctionLibrary).
  FunctionTable& functionTable() { return functionTable_; }
  const FunctionTable& functionTable() const { return functionTable_; }
  // The functions read from the program's functions file; a new worksheet
  // starts with a copy.
  UserFunctionTable& programFunctions() { return programFunctions_; }

  // "Error:" and the message in the one error box, after stopping a running
  // macro and sounding the error signal.
  void ShowError(const std::string& message);
  // Shows the pending message of the error flag, if there is one, and clears it.
  void showPendingError();

  // --- The table of open worksheets -------------------------------------------
  // A new empty worksheet taking the defaults block; it becomes current.
  Worksheet& openWorksheet(std::string name);
  void closeWorksheet(Worksheet& ws);
  Worksheet* findWorksheet(std::string_view name);  // name compared without case
  // The worksheet an external reference names: an open worksheet whose
  // file or name matches (without case), else the loader's answer.
  Worksheet* findExternal(const std::string& path);
  Worksheet* current() { return current_; }
  void setCurrent(Worksheet* ws) { current_ = ws; }
  const std::vector<std::unique_ptr<Worksheet>>& worksheets() const { return worksheets_; }

  LinkTable& links() { return links_; }

  // System state the system functions report.
  int ioResult = 0;             // result code of the last file operation
  std::string lastFileMessage;  // the text of the last file message
  int activeWindow = 0;         // number of the active worksheet window
  int activationCount = 0;      // a count the main window reports on activation

  // The last worksheet opened was read only in part (its message shown).
  bool lastLoadPartial = false;
  // The graph the last Quick Graph made: the default caption of a user button.
  std::string quickGraphName;
  // The running-macro state's stop request, used by ShowError.
  bool macroRunning = false;
  // A full recalculation is running; another one asked for meanwhile does nothing.
  bool recalcBusy = false;
  // Commands that store many numbers switch single-cell recalculation off.
  bool bulkUpdate = false;
  // Shifts the running macro's position with the cells a command moves
  // (rows and columns by the deltas, when inside the window).
  std::function<void(Worksheet&, int rowDelta, int colDelta, const CellRange& window)>
      adjustMacroPosition;
  // Run before every recalculation of all worksheets (the link loader).
  std::function<void()> beforeRecalcAll;
  // Opens a worksheet file that an external reference names when no open
  // worksheet matches; returns null when there is none.
  std::function<Worksheet*(const std::string& path)> externalLoader;

 private:
  Host& host_;
  ErrorState error_;
  FunctionTable functionTable_;
  ProgramSettings settings_;
  std::vector<std::unique_ptr<Worksheet>> worksheets_;
  Worksheet* current_ = nullptr;
  std::unique_ptr<Evaluator> evaluator_;
  UserFunctionTable programFunctions_;
  LinkTable links_;
};

// Switches the session's current worksheet for a scope and puts the old
// one back, as drawing or evaluating another worksheet needs.
class CurrentWorksheetScope {
 public:
  CurrentWorksheetScope(Session& s, Worksheet* ws) : session_(s), saved_(s.current()) {
    s.setCurrent(ws);
  }
  ~CurrentWorksheetScope() { session_.setCurrent(saved_); }
  CurrentWorksheetScope(const CurrentWorksheetScope&) = delete;
  CurrentWorksheetScope& operator=(const CurrentWorksheetScope&) = delete;

 private:
  Session& session_;
  Worksheet* saved_;
};

// Sets the session's bulk flag for a scope and puts it back as it was: on
// while a command stores many cells (one recalculation at the end), off
// where every write must reach its dependents at once.
class BulkUpdateScope {
 public:
  explicit BulkUpdateScope(Session& s, bool on = true) : session_(s), was_(s.bulkUpdate) {
    session_.bulkUpdate = on;
  }
  ~BulkUpdateScope() { session_.bulkUpdate = was_; }
  BulkUpdateScope(const BulkUpdateScope&) = delete;
  BulkUpdateScope& operator=(const BulkUpdateScope&) = delete;

 private:
  Session& session_;
  bool was_;
};

}  // namespace tw
