#include "shell/data_frame.h"

#include <charconv>
#include <memory>

#include "core/host.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "shell/data_dialog.h"
#include "shell/data_form.h"
#include "shell/frame.h"
#include "shell/pointing_dialog.h"

namespace tw {

namespace {

int pageArgument(const Frame& frame) {
  int page = 0;
  const std::string& a = frame.formArgument();
  std::from_chars(a.data(), a.data() + a.size(), page);
  return page;
}

template <class Model>
std::string promptOf(const Model& m, const std::string& field) {
  return m.pointPrompt(field);
}

}  // namespace

void addDataFrame(Frame& frame) {
  auto memory = std::make_shared<DataDialogMemory>();
  frame.addForm("DATADIALOG", [&frame, memory] {
    WindowState* w = frame.active();
    if (!w) return frame.session().host().beep();
    showPointingDialog<DataDialogModel>(
        frame,
        std::make_shared<DataDialogModel>(w->worksheet(), *memory, pageArgument(frame),
                                          w->selection()),
        promptOf<DataDialogModel>, [](DataDialogModel& m) { m.remember(); });
  });
  frame.addForm("ARRAYDIALOG", [&frame] {
    WindowState* w = frame.active();
    if (!w) return frame.session().host().beep();
    showPointingDialog<ArrayDialogModel>(
        frame,
        std::make_shared<ArrayDialogModel>(w->worksheet(), pageArgument(frame), w->selection()),
        promptOf<ArrayDialogModel>);
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
