#include "graphs/graph_frame.h"

#include <algorithm>
#include <charconv>
#include <memory>

#include "commands/frame_services.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "graphs/graph_commands.h"
#include "graphs/graph_dialog.h"

namespace tw {

namespace {

// "Graph" at a page; Use and Merge on its Names page show the window.
void showGraphDialog(FrameServices& frame, std::shared_ptr<GraphDialogModel> model) {
  Host& host = frame.session().host();
  model->pointField.clear();
  model->showWindow = false;
  if (!host.runDialog(*model) || !frame.context().ws) return;
  Worksheet& ws = *frame.context().ws;
  if (!model->pointField.empty()) {
    frame.pointAtRange(
        GraphDialogModel::pointPrompt(),
        [&frame, model](const std::string& text) {
          model->setField(model->pointField, text);
          showGraphDialog(frame, model);
        },
        kEmptyRange);
    return;
  }
  setCurrentGraph(ws, model->graph);
  if (model->showWindow && host.hasDisplay()) frame.showGraph(0, false, 0, false);
}

}  // namespace

void addGraphFrame(FrameServices& frame) {
  addGraphCommands(frame.commandTable());
  Session& session = frame.session();
  auto needsScreen = [&session](const char* keyword) {
    if (session.host().hasDisplay()) return false;
    session.ShowError(std::string(keyword) + " needs the desktop program: it shows a window");
    return true;
  };
  // The graph window: GRAPH shows it; GRAPHVIEW with a mode (even:
  // maximised) and a time after which it closes again.
  frame.commandTable().add(
      {"GRAPH", {}, [&frame, &session, needsScreen](CommandContext&, const Args&) {
         if (needsScreen("GRAPH")) return CommandResult::failed();
         frame.showGraph(0, false, 0, session.macroRunning);
         return CommandResult{};
       }});
  frame.commandTable().add(
      {"GRAPHVIEW",
       {{ArgKind::Integer, "Mode", true}, {ArgKind::Integer, "Milliseconds", true}},
       [&frame, &session, needsScreen](CommandContext&, const Args& a) {
         if (needsScreen("GRAPHVIEW")) return CommandResult::failed();
         int mode = static_cast<int>(numberArg(a, 0));
         int ms = static_cast<int>(numberArg(a, 1));
         frame.showGraph(0, mode % 2 == 0, std::max(0, ms), session.macroRunning);
         return CommandResult{};
       }});
  // Quick Graph: the selection's columns as a new named graph, shown.
  frame.commandTable().add({"QUICKGRAPH", {}, [&frame, &session](CommandContext& cx, const Args&) {
                              std::string name = QuickGraph(cx, cx.selection);
                              if (name.empty()) return CommandResult::failed();
                              if (session.host().hasDisplay())
                                frame.showGraph(FindGraph(*cx.ws, name), false, 0, false);
                              return CommandResult{};
                            }});
  // The graph dialog at the page the menu item names (0 to 8).
  frame.addForm("GRAPHSETTINGS", [&frame] {
    Worksheet* ws = frame.context().ws;
    if (!ws) return frame.session().host().beep();
    int page = 0;
    const std::string& a = frame.formArgument();
    std::from_chars(a.data(), a.data() + a.size(), page);
    showGraphDialog(frame, std::make_shared<GraphDialogModel>(*ws, page));
  });
}

}  // namespace tw
