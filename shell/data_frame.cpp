#include "shell/data_frame.h"

#include <charconv>
#include <memory>

#include "core/host.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "shell/data_dialog.h"
#include "shell/data_form.h"
#include "shell/frame.h"

namespace tw {

namespace {

int pageArgument(const Frame& frame) {
  int page = 0;
  const std::string& a = frame.formArgument();
  std::from_chars(a.data(), a.data() + a.size(), page);
  return page;
}

// Shows the dialog; a double-clicked range field is asked for in point
// mode and the dialog comes back with the answer in that field. OK runs
// the page's command.
template <class Model>
void showDataDialog(Frame& frame, std::shared_ptr<Model> model,
                    std::shared_ptr<DataDialogMemory> memory) {
  Host& host = frame.session().host();
  model->pointField.clear();
  bool ok = host.runDialog(*model);
  if constexpr (std::is_same_v<Model, DataDialogModel>) model->remember();
  if (!ok || !frame.active()) return;
  if (!model->pointField.empty()) {
    std::string field = model->pointField;
    CellRange start = frame.active()->selection();
    if (auto r = frame.promptRange(model->field(field))) start = *r;
    frame.pointAtRange(
        model->pointPrompt(field),
        [&frame, model, memory, field](const std::string& text) {
          model->setField(field, text);
          showDataDialog(frame, model, memory);
        },
        start);
    return;
  }
  std::string keyword, message;
  Args args;
  if (!model->command(keyword, args, message)) {
    if (message.empty())
      host.beep();
    else
      frame.session().ShowError(message);
    return;
  }
  frame.execute(keyword, args);
}

}  // namespace

void addDataFrame(Frame& frame) {
  auto memory = std::make_shared<DataDialogMemory>();
  frame.addForm("DATADIALOG", [&frame, memory] {
    WindowState* w = frame.active();
    if (!w) return frame.session().host().beep();
    showDataDialog(frame,
                   std::make_shared<DataDialogModel>(w->worksheet(), *memory, pageArgument(frame),
                                                     w->selection()),
                   memory);
  });
  frame.addForm("ARRAYDIALOG", [&frame, memory] {
    WindowState* w = frame.active();
    if (!w) return frame.session().host().beep();
    showDataDialog(
        frame,
        std::make_shared<ArrayDialogModel>(w->worksheet(), pageArgument(frame), w->selection()),
        memory);
  });
  // The data form over the database whose field names head the range.
  frame.commandTable().add(
      {"DATAFORM", {{ArgKind::Range, "FORM:Form Range"}}, [](CommandContext& cx, const Args& a) {
         CellRange r = rangeArg(cx, a, 0, ArgKind::Range);
         if (!r.valid()) return CommandResult::failed();
         DataFormModel model(*cx.ws, r);
         if (model.fields().empty()) {
           cx.host().beep();
           return CommandResult::failed();
         }
         cx.host().runDialog(model);
         return CommandResult::everything();
       }});
}

}  // namespace tw
