// The round of a dialog whose range boxes point at the sheet: the model is
// shown; a double-clicked box (the model's pointField) is asked for with
// the range prompt and the dialog comes back with the answer in it; OK
// runs the keyword and arguments the model's command builds.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/host.h"
#include "core/session.h"
#include "shell/frame.h"

namespace tw {

template <class Model>
using PointPrompt = std::function<std::string(const Model&, const std::string& field)>;

template <class Model>
void showPointingDialog(Frame& frame, std::shared_ptr<Model> model, PointPrompt<Model> prompt,
                        std::function<void(Model&)> closed = {}) {
  Host& host = frame.session().host();
  model->pointField.clear();
  bool ok = host.runDialog(*model);
  if (closed) closed(*model);
  if (!ok || !frame.active()) return;
  if (!model->pointField.empty()) {
    std::string field = model->pointField;
    CellRange start = frame.active()->selection();
    if (auto r = frame.promptRange(model->field(field))) start = *r;
    frame.pointAtRange(
        prompt(*model, field),
        [&frame, model, prompt, closed, field](const std::string& text) {
          model->setField(field, text);
          showPointingDialog(frame, model, prompt, closed);
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

}  // namespace tw
