#include "shell/audit_frame.h"

#include <memory>

#include "core/host.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "shell/audit_dialog.h"
#include "shell/frame.h"

namespace tw {

namespace {

void showAudit(Frame& frame, std::shared_ptr<AuditModel> model) {
  model->pointField.clear();
  if (!frame.session().host().runDialog(*model) || !frame.active()) return;
  if (model->pointField.empty()) return;
  std::string field = model->pointField;
  const char* prompt = field == "cell" ? AuditModel::cellPrompt() : AuditModel::rangePrompt();
  CellRange start = frame.active()->selection();
  if (auto r = frame.promptRange(model->field(field))) start = *r;
  frame.pointAtRange(
      prompt,
      [&frame, model, field](const std::string& text) {
        model->pointedAt(field, text);
        showAudit(frame, model);
      },
      start);
}

}  // namespace

void addAuditFrame(Frame& frame) {
  frame.addForm("AUDIT", [&frame] {
    WindowState* w = frame.active();
    if (!w) return frame.session().host().beep();
    showAudit(frame,
              std::make_shared<AuditModel>(w->worksheet(), w->row(), w->col(), w->selection()));
  });
}

}  // namespace tw
