#include "shell/text_tools_frame.h"

#include <memory>

#include "core/host.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "shell/find_dialog.h"
#include "shell/frame.h"
#include "shell/justify_dialog.h"

namespace tw {

namespace {

// Asks for the model's range on the sheet, starting from what the field
// holds, and shows the dialog again with the answer.
template <class Model, class Again>
void pointAgain(Frame& frame, std::shared_ptr<Model> model, Again again) {
  CellRange start = frame.active()->selection();
  if (auto r = frame.promptRange(model->rangeText)) start = *r;
  frame.pointAtRange(
      model->pointPrompt(),
      [model, again](const std::string& text) {
        model->setField("range", text);
        again(model);
      },
      start);
}

void showFind(Frame& frame, std::shared_ptr<FindDialogModel> model) {
  model->pointField.clear();
  bool ok = frame.session().host().runDialog(*model);
  if (!ok || !frame.active() || model->pointField.empty()) return;
  pointAgain(frame, model, [&frame](auto m) { showFind(frame, m); });
}

void showJustify(Frame& frame, std::shared_ptr<JustifyDialogModel> model) {
  Host& host = frame.session().host();
  model->pointField.clear();
  bool ok = host.runDialog(*model);
  if (!ok || !frame.active()) return;
  if (!model->pointField.empty()) {
    pointAgain(frame, model, [&frame](auto m) { showJustify(frame, m); });
    return;
  }
  std::string keyword, message;
  Args args;
  if (!model->command(keyword, args, message)) {
    frame.session().ShowError(message);
    return;
  }
  frame.execute(keyword, args);
}

}  // namespace

void addTextToolsFrame(Frame& frame) {
  auto memory = std::make_shared<FindDialogMemory>();
  frame.addForm("FINDREPLACE", [&frame, memory] {
    WindowState* w = frame.active();
    if (!w) return frame.session().host().beep();
    Worksheet* ws = &w->worksheet();
    auto show = [&frame, ws](const CommandResult& r) {
      // The window may have gone while the dialog was open.
      if (frame.windowFor(*ws)) frame.showResult(r, ws);
    };
    showFind(frame, std::make_shared<FindDialogModel>(*ws, *memory, w->selection(), show));
  });
  frame.addForm("JUSTIFY", [&frame] {
    WindowState* w = frame.active();
    if (!w) return frame.session().host().beep();
    showJustify(frame, std::make_shared<JustifyDialogModel>(w->worksheet(), w->selection()));
  });
  frame.addForm("WORDEDIT", [&frame] {
    WindowState* w = frame.active();
    Host& host = frame.session().host();
    if (!w || w->worksheet().settings.protection) return host.beep();
    WordDialogModel model(w->worksheet(), w->selection());
    if (!host.runDialog(model) || !frame.active()) return;
    std::string keyword;
    Args args;
    model.command(keyword, args);
    frame.execute(keyword, args);
  });
}

}  // namespace tw
