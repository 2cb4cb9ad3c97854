#include "cli/headless_host.h"

#include <charconv>
#include <cstdlib>

#include "core/char_case.h"
#include "core/dialog_model.h"
#include "shell/key_text.h"

namespace tw {

namespace {

bool cancels(const std::string& answer) {
  return sameText(answer, "{ESC}");
}

}  // namespace

void HeadlessHost::showErrorBox(const std::string& message) {
  errors.push_back(message);
  if (echo_) *echo_ << "Error:" << message << '\n';
}

void HeadlessHost::cellsChanged(const Worksheet&, const CellRange&) {
  ++redraws;
}

std::optional<std::string> HeadlessHost::next(const std::string& what) {
  asked.push_back(what);
  if (scripted.empty()) {
    if (unanswered.empty()) unanswered = what;
    return std::nullopt;
  }
  std::string a = std::move(scripted.front());
  scripted.pop_front();
  return a;
}

Answer HeadlessHost::askYesNoCancel(const std::string& question, const std::string& caption) {
  questions.push_back(caption + "|" + question);
  if (!answers.empty()) {
    Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<std::string> a = next("the question \"" + question + "\"");
  if (!a) return Answer::Cancel;
  std::string u = upperCased(*a);
  if (u == "Y" || u == "YES") return Answer::Yes;
  if (u == "N" || u == "NO") return Answer::No;
  return Answer::Cancel;
}

std::optional<std::string> HeadlessHost::inputBox(const std::string& caption,
                                                  const std::string& prompt, const std::string&) {
  std::optional<std::string> a =
      next("the input box \"" + (prompt.empty() ? caption : prompt) + "\"");
  if (!a || cancels(*a)) return std::nullopt;
  return a;
}

std::optional<std::string> HeadlessHost::openFileName(const FileRequest& request) {
  std::optional<std::string> a = next("the file dialog \"" + request.title + "\"");
  if (!a || cancels(*a)) return std::nullopt;
  return takeFilterChoice(*a, request);
}

std::optional<std::string> HeadlessHost::saveFileName(const FileRequest& request) {
  return openFileName(request);
}

bool HeadlessHost::runDialog(DialogModel& model) {
  std::optional<std::string> a = next("the dialog \"" + model.caption() + "\"");
  if (!a || cancels(*a)) return false;
  std::string reason;
  if (!applyAnswer(model, *a, reason) || !model.check(reason)) {
    // A person would mend the field; a script cannot, so the dialog is cancelled.
    showErrorBox(reason);
    return false;
  }
  return true;
}

int HeadlessHost::macroMenu(const MenuRequest& request) {
  int escape = static_cast<int>(request.items.size()) + 1;
  std::optional<std::string> a = next("the menu \"" + request.title + "\"");
  if (!a || cancels(*a)) return escape;
  int n = 0;
  auto [end, ec] = std::from_chars(a->data(), a->data() + a->size(), n);
  if (ec == std::errc() && end == a->data() + a->size() && n >= 1 && n < escape) return n;
  // An item's name, or the first letter it starts with.
  for (size_t i = 0; i < request.items.size(); ++i)
    if (sameText(request.items[i], *a)) return static_cast<int>(i) + 1;
  if (a->size() == 1)
    for (size_t i = 0; i < request.items.size(); ++i)
      if (!request.items[i].empty() && upperChar(request.items[i][0]) == upperChar((*a)[0]))
        return static_cast<int>(i) + 1;
  return escape;
}

// Keys delivered while others wait (a macro started by a key plays its own)
// come before those, and are handled before this returns.
// What waits for idle runs between the keys, as it would between the keys a
// person types.
void HeadlessHost::deliverKeys(const std::vector<KeyPress>& more) {
  size_t waiting = keys.size();
  keys.insert(keys.begin(), more.begin(), more.end());
  bool outermost = !delivering_;
  delivering_ = true;
  while (keys.size() > waiting) {
    KeyPress k = keys.front();
    keys.pop_front();
    if (keySink) keySink(k);
    if (outermost) runPending();
  }
  if (outermost) {
    runPending();
    delivering_ = false;
  }
}

// A key that something waits for is the next scripted answer, written as
// --keys writes keys: "x", "~", "{DOWN}".
std::optional<KeyPress> HeadlessHost::waitForKey() {
  std::optional<std::string> a = next("a key");
  if (!a) return std::nullopt;
  KeyText k = parseKeyText(*a);
  if (k.keys.empty()) return KeyPress::of(Key::Enter);
  return k.keys.front();
}

void HeadlessHost::runLater(int, std::function<void()> fn) {
  later_.push_back(std::move(fn));
}

void HeadlessHost::runPending() {
  while (!later_.empty()) {
    std::vector<std::function<void()>> due;
    due.swap(later_);
    for (auto& fn : due) fn();
  }
}

bool HeadlessHost::currentSelection(CellRange& range) {
  if (selectionSource) return selectionSource(range);
  range = selection.valid() ? selection : CellRange::cell(cursorRow, cursorCol);
  return true;
}

bool HeadlessHost::currentCell(int& row, int& col) {
  if (cellSource) return cellSource(row, col);
  row = cursorRow;
  col = cursorCol;
  return true;
}

std::string HeadlessHost::userName() {
  const char* u = std::getenv("USER");
  return u && *u ? u : "user";
}

}  // namespace tw

namespace tw {

std::vector<std::string> HeadlessHost::printerNames() {
  if (!printer) return {};
  return {printerLabel};
}

std::string HeadlessHost::currentPrinter() {
  return printer ? printerLabel : std::string();
}

bool HeadlessHost::printerPage(bool landscape, PageMetrics& page) {
  if (!printer) return false;
  // Devices write nothing until a job finishes: one made to be asked is harmless.
  std::unique_ptr<PageDevice> device = printer({"", landscape});
  if (!device) return false;
  page = device->metrics();
  return true;
}

std::unique_ptr<PageDevice> HeadlessHost::openPrintJob(const PrintRequest& request) {
  if (!printer) return nullptr;
  asked.push_back("print job " + request.title);
  return printer(request);
}

bool HeadlessHost::printStatus(const PrintStatus& status) {
  printStatuses.push_back(status);
  return cancelPrintAtPage <= 0 || status.page < cancelPrintAtPage;
}

}  // namespace tw

#include "cli/picture_module_loader.h"
#include "core/canvas.h"

namespace tw {

namespace {

void drawThrough(void* ctx, Canvas* canvas) {
  (*static_cast<const std::function<void(Canvas&)>*>(ctx))(*canvas);
}

}  // namespace

bool HeadlessHost::renderPicture(int width, int height, const std::function<void(Canvas&)>& draw,
                                 Bitmap& out) {
  PictureEntry entry = pictureModule(pictureError);
  if (!entry || width <= 0 || height <= 0 || width > 20000 || height > 20000) return false;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  if (!entry(nullptr, 0, width, height, drawThrough,
             const_cast<std::function<void(Canvas&)>*>(&draw), pixels.data()))
    return false;
  out.width = width;
  out.height = height;
  out.pixels = std::move(pixels);
  return true;
}

bool HeadlessHost::writePicture(const std::string& path, PictureFile kind, int width, int height,
                                const std::function<void(Canvas&)>& draw) {
  PictureEntry entry = pictureModule(pictureError);
  if (!entry) return false;
  return entry(path.c_str(), kind == PictureFile::Png ? 1 : 2, width, height, drawThrough,
               const_cast<std::function<void(Canvas&)>*>(&draw), nullptr) == 1;
}

void HeadlessHost::setClipboardBitmap(const Bitmap&) {
  ++clipboardBitmaps;
}

}  // namespace tw
