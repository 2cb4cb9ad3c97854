#include "commands/file_commands.h"

#include "core/char_case.h"
#include "core/file_names.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "files/worksheet_file.h"

namespace tw {

namespace {

CommandResult needsWindows(CommandContext& cx) {
  cx.session.ShowError("No worksheet windows here");
  return CommandResult::failed();
}

std::optional<std::string> chooseSaveName(CommandContext& cx, const std::string& initial) {
  ProgramSettings& settings = cx.session.settings();
  FileRequest request;
  request.title = "TALLOWAY SAVE AS...";
  request.directory = settings.saveDirectory;
  request.name = std::string(baseName(initial));
  request.filters = {"Worksheets (*.wks *.wk1)"};
  std::optional<std::string> chosen = cx.host().saveFileName(request);
  if (!chosen || chosen->empty()) return std::nullopt;
  settings.saveDirectory = directoryOf(*chosen);
  return chosen;
}

}  // namespace

CommandResult SaveWorksheet(CommandContext& cx, SaveTarget target, const std::string& name) {
  Worksheet& ws = *cx.ws;
  std::string path = name.empty() ? ws.fileName : name;
  if (target == SaveTarget::AskForName || (name.empty() && (!ws.hasFileName || ws.readInPart))) {
    std::optional<std::string> chosen =
        chooseSaveName(cx, path.empty() ? (ws.hasFileName ? ws.fileName : ws.name) : path);
    if (!chosen) return CommandResult::failed();
    path = *chosen;
  }
  // A new name without an extension gets the one opening it would look for.
  if (path != ws.fileName) path = withWorksheetExtension(path);
  if (cx.workspace) cx.workspace->storeLayout(ws);
  cx.host().showMode(Mode::Wait);
  if (!Save(ws, path)) return CommandResult::failed();
  CommandResult out;
  bool wasPartial = ws.readInPart;
  ws.readInPart = false;
  if (!ws.hasFileName || path != ws.fileName || wasPartial) {
    ws.fileName = path;
    ws.hasFileName = true;
    ws.name = upperCased(path);
    addRecentFile(cx.session.settings(), path);
    out.renamed = true;
  }
  return out;
}

void addFileCommands(CommandTable& t) {
  t.add({"FILENEW",
         {},
         [](CommandContext& cx, const Args&) {
           if (!cx.workspace) return needsWindows(cx);
           return cx.workspace->newWorksheet() ? CommandResult{} : CommandResult::failed();
         },
         Needs::Nothing});
  t.add({"FILEOPEN",
         {{ArgKind::Text, "File name", true}},
         [](CommandContext& cx, const Args& a) {
           if (!cx.workspace) return needsWindows(cx);
           std::string path = textArg(a, 0);
           if (path.empty()) {
             ProgramSettings& settings = cx.session.settings();
             FileRequest request;
             request.title = "TALLOWAY OPEN";
             request.directory = settings.loadDirectory;
             request.name = "*.wks;*.wk1";
             request.filters = {"Worksheets (*.wks *.wk1)", "Backups (*.wkb)", "All Files (*)"};
             std::optional<std::string> chosen = cx.host().openFileName(request);
             if (!chosen || chosen->empty()) return CommandResult::failed();
             path = *chosen;
             settings.loadDirectory = directoryOf(path);
           }
           return cx.workspace->openWorksheet(path) ? CommandResult{} : CommandResult::failed();
         },
         Needs::Nothing});
  t.add({"FILESAVE", {}, [](CommandContext& cx, const Args&) {
           return SaveWorksheet(cx, SaveTarget::ItsFile);
         }});
  // With a name and no dialog asked for, the worksheet is saved under it.
  t.add({"FILESAVEAS",
         {{ArgKind::Text, "File name", true}, {ArgKind::Integer, "Dialog", true}},
         [](CommandContext& cx, const Args& a) {
           std::string name = textArg(a, 0);
           bool dialog = name.empty() || numberArg(a, 1) != 0;
           return SaveWorksheet(cx, dialog ? SaveTarget::AskForName : SaveTarget::ItsFile, name);
         }});
  t.add({"FILECLOSE",
         {{ArgKind::Text, "File name", true}},
         [](CommandContext& cx, const Args& a) {
           if (!cx.workspace) return needsWindows(cx);
           std::string name = textArg(a, 0);
           if (name.empty()) {
             if (!cx.ws) return CommandResult::failed();
             return cx.workspace->closeWorksheet(*cx.ws, CloseMode::Ask) ? CommandResult{}
                                                                         : CommandResult::failed();
           }
           // Every window whose file name is the one given.
           bool all = true;
           std::vector<Worksheet*> named;
           for (const auto& ws : cx.session.worksheets())
             if (ws->hasFileName && sameFileName(ws->fileName, name)) named.push_back(ws.get());
           for (Worksheet* ws : named) all &= cx.workspace->closeWorksheet(*ws, CloseMode::Ask);
           return all ? CommandResult{} : CommandResult::failed();
         },
         Needs::Nothing});
  t.add({"FILEEXIT",
         {{ArgKind::Integer, "Unused", true}},
         [](CommandContext& cx, const Args&) {
           if (!cx.workspace) return needsWindows(cx);
           cx.workspace->exitProgram();
           return CommandResult{};
         },
         Needs::Nothing});
  t.add({"FILEDOC",
         {{ArgKind::Integer, "Field (0 title, 1 comments)"}, {ArgKind::Text, "Text"}},
         [](CommandContext& cx, const Args& a) {
           WorksheetSettings& s = cx.ws->settings;
           if (numberArg(a, 0) == 0)
             s.title = textArg(a, 1).substr(0, 80);
           else
             s.comments = textArg(a, 1).substr(0, 255);
           cx.ws->modified = true;
           return CommandResult{};
         }});
  auto arrange = [&t](const char* name, Arrangement how) {
    t.add({name,
           {},
           [how](CommandContext& cx, const Args&) {
             if (cx.workspace) cx.workspace->arrangeWindows(how);
             return CommandResult{};
           },
           Needs::Nothing});
  };
  arrange("WINDOWTILE", Arrangement::Tile);
  arrange("WINDOWCASCADE", Arrangement::Cascade);
  arrange("WINDOWNEXT", Arrangement::Next);
}

}  // namespace tw
