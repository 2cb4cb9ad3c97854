#include "print/print_frame.h"

#include <memory>

#include "commands/frame_services.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "print/print_commands.h"
#include "print/print_dialog.h"
#include "print/print_job.h"

namespace tw {

namespace {

// "Preview" over a range, then the page or the whole run its buttons ask for.
void showPreview(FrameServices& frame, CellRange range) {
  if (!frame.context().ws) return;
  Host& host = frame.session().host();
  Worksheet& ws = *frame.context().ws;
  PreviewModel model(ws, host, range);
  if (!host.runDialog(model) || !frame.context().ws) return;
  CommandContext cx = frame.context();
  if (model.action == PreviewModel::Action::PrintPage)
    frame.showResult(PrintCellRange(cx, range, model.page), &ws);
  else if (model.action == PreviewModel::Action::PrintAll)
    frame.showResult(PrintCellRange(cx, range), &ws);
}

// "Print", then what its button asks for, with the settings it was given.
void showPrint(FrameServices& frame, std::shared_ptr<PrintModel> model) {
  Host& host = frame.session().host();
  model->pointAtRange = false;
  if (!host.runDialog(*model) || !frame.context().ws) return;
  if (model->pointAtRange) {
    std::optional<CellRange> start = frame.promptRange(model->rangeText);
    frame.pointAtRange(
        "PRINT: Specify Range",
        [&frame, model](const std::string& text) {
          model->rangeText = text;
          model->what = PrintModel::What::Range;
          showPrint(frame, model);
        },
        start ? *start : kEmptyRange);
    return;
  }
  Worksheet& ws = *frame.context().ws;
  if (!model->printer.empty() && model->printer != host.currentPrinter())
    host.choosePrinter(model->printer);
  model->settings.applyTo(ws);
  CellRange range = model->chosenRange();
  CommandContext cx = frame.context();
  switch (model->action) {
    case PrintModel::Action::Print:
      if (model->what == PrintModel::What::Graph)
        frame.showResult(PrintGraph(cx, model->graph), &ws);
      else
        frame.showResult(PrintCellRange(cx, range), &ws);
      break;
    case PrintModel::Action::PrintToFile:
      frame.showResult(PrintToFile(cx, {}, range), &ws);
      break;
    case PrintModel::Action::Preview:
      showPreview(frame, range);
      break;
  }
}

}  // namespace

void addPrintFrame(FrameServices& frame) {
  addPrintCommands(frame.commandTable());
  frame.addForm("PRINT", [&frame] {
    CommandContext cx = frame.context();
    if (!cx.ws) return frame.session().host().beep();
    showPrint(frame, std::make_shared<PrintModel>(*cx.ws, frame.session().host(),
                                                  cx.ws->rangeText(cx.selection)));
  });
  // The print range's pages, or everything's when there is no print range.
  frame.addForm("PRINTPREVIEW", [&frame] {
    if (!frame.context().ws) return frame.session().host().beep();
    Worksheet& ws = *frame.context().ws;
    showPreview(frame, printedRange(ws, !ws.settings.ranges[kPrintRange].valid()));
  });
}

}  // namespace tw
