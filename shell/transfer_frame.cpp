#include "shell/transfer_frame.h"

#include <memory>

#include "core/file_names.h"
#include "core/host.h"
#include "core/program_settings.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "shell/frame.h"
#include "shell/pointing_dialog.h"
#include "shell/transfer_dialog.h"

namespace tw {

namespace {

// The filters chosen last, for the next opening of each file dialog.
struct TransferMemory {
  int importFilter = 0;
  int exportFilter = 0;
  int mergeFilter = 0;
};

std::optional<std::string> chooseFile(Frame& frame, const char* title, bool save,
                                      std::vector<std::string> filters, int& remembered,
                                      const char* initial) {
  ProgramSettings& settings = frame.session().settings();
  FileRequest request;
  request.title = title;
  request.directory = save ? settings.saveDirectory : settings.loadDirectory;
  request.name = initial;
  request.filters = std::move(filters);
  request.filter = remembered;
  Host& host = frame.session().host();
  std::optional<std::string> chosen =
      save ? host.saveFileName(request) : host.openFileName(request);
  if (!chosen || chosen->empty()) return std::nullopt;
  remembered = request.filter;
  (save ? settings.saveDirectory : settings.loadDirectory) = directoryOf(*chosen);
  return chosen;
}

}  // namespace

void addTransferFrame(Frame& frame) {
  auto memory = std::make_shared<TransferMemory>();
  auto transfer = [&frame, memory](bool import) {
    WindowState* w = frame.active();
    if (!w) return frame.session().host().beep();
    int& filter = import ? memory->importFilter : memory->exportFilter;
    std::optional<std::string> name =
        chooseFile(frame, import ? "Import" : "Export", !import,
                   import ? importFilters() : exportFilters(), filter, "*.prn");
    if (!name) return;
    TransferKind kind = import ? importKind(filter) : exportKind(filter);
    showPointingDialog<TransferModel>(
        frame,
        std::make_shared<TransferModel>(w->worksheet(), kind, withTransferExtension(*name, kind),
                                        w->selection(), w->row(), w->col()),
        [](const TransferModel& m, const std::string& field) { return m.pointPrompt(field); });
  };
  frame.addForm("FILEIMPORTDIALOG", [transfer] { transfer(true); });
  frame.addForm("FILEEXPORTDIALOG", [transfer] { transfer(false); });
  frame.addForm("FILEMERGEDIALOG", [&frame, memory] {
    WindowState* w = frame.active();
    if (!w) return frame.session().host().beep();
    std::optional<std::string> name = chooseFile(
        frame, "Merge", false,
        {"Worksheet (Merge Values) (*.wks *.wkb)", "Worksheet (Merge Formulas) (*.wks *.wkb)"},
        memory->mergeFilter, "*.wks");
    if (!name) return;
    std::string file = *name;
    if (baseName(file).find('.') == std::string_view::npos) file += ".wks";
    showPointingDialog<MergeModel>(
        frame,
        std::make_shared<MergeModel>(w->worksheet(), file, memory->mergeFilter == 1,
                                     w->selection()),
        [](const MergeModel&, const std::string&) {
          return std::string(MergeModel::pointPrompt());
        });
  });
}

}  // namespace tw
