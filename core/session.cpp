#include "core/session.h"

#include <algorithm>

#include "core/char_case.h"

#include "core/evaluator.h"
#include "core/worksheet.h"

namespace tw {

Session::Session(Host& host) : host_(host), evaluator_(std::make_unique<Evaluator>(*this)) {}

Session::~Session() {
  current_ = nullptr;
  worksheets_.clear();
}

void Session::ShowError(const std::string& message) {
  macroRunning = false;
  host_.beep();
  host_.showErrorBox(message);
}

void Session::showPendingError() {
  if (error_.raised && !error_.message.empty()) ShowError(error_.message);
  error_.clear();
}

Worksheet& Session::openWorksheet(std::string name) {
  auto ws = std::make_unique<Worksheet>(*this, std::move(name));
  ws->functions = programFunctions_;
  ws->settings.undoEnabled = settings_.undo;
  Worksheet& ref = *ws;
  worksheets_.push_back(std::move(ws));
  current_ = &ref;
  return ref;
}

void Session::closeWorksheet(Worksheet& ws) {
  auto it = std::find_if(worksheets_.begin(), worksheets_.end(),
                         [&](const auto& p) { return p.get() == &ws; });
  if (it == worksheets_.end()) return;
  if (current_ == &ws) current_ = nullptr;
  worksheets_.erase(it);
  if (!current_ && !worksheets_.empty()) current_ = worksheets_.back().get();
}

Worksheet* Session::findWorksheet(std::string_view name) {
  for (const auto& ws : worksheets_)
    if (sameText(ws->name, name) || (ws->hasFileName && sameText(ws->fileName, name)))
      return ws.get();
  return nullptr;
}

Worksheet* Session::findExternal(const std::string& path) {
  if (Worksheet* ws = findWorksheet(path)) return ws;
  return externalLoader ? externalLoader(path) : nullptr;
}

}  // namespace tw
