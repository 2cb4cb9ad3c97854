#include "shell/macro_bar.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/bmp_file.h"
#include "core/host.h"
#include "core/replace_file.h"
#include "core/session.h"
#include "shell/frame.h"

namespace tw {

namespace {

constexpr size_t kLongestMacro = 255;

// The field that starts after the first `skip` "|" of the line, up to the
// next; empty when the line has fewer.
std::string fieldOf(const std::string& line, int skip) {
  size_t from = 0;
  for (int i = 0; i < skip; ++i) {
    size_t bar = line.find('|', from);
    if (bar == std::string::npos) return {};
    from = bar + 1;
  }
  return line.substr(from, line.find('|', from) - from);
}

Bitmap filled(int width, int height) {
  Bitmap b;
  b.width = width;
  b.height = height;
  b.pixels.assign(size_t(width) * size_t(height), kButtonFace);
  return b;
}

// Copies the top-left part of `from` that fits into `to` at (x, y).
void copyInto(Bitmap& to, const Bitmap& from, int x, int y) {
  for (int r = 0; r < from.height; ++r) {
    int ty = y + r;
    if (ty < 0 || ty >= to.height) continue;
    for (int c = 0; c < from.width; ++c) {
      int tx = x + c;
      if (tx < 0 || tx >= to.width) continue;
      to.pixels[size_t(ty) * size_t(to.width) + size_t(tx)] =
          from.pixels[size_t(r) * size_t(from.width) + size_t(c)];
    }
  }
}

}  // namespace

Bitmap blankGlyph() {
  return filled(kGlyphSide, kGlyphSide);
}

// --- The bar ---------------------------------------------------------------------------

MacroBar::MacroBar() : strip_(filled(kGlyphSide, kGlyphSide * kMacroButtons)) {}

bool MacroBar::readItems(const std::string& path) {
  items_.clear();
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  std::string line;
  while (items_.size() < size_t(kMacroButtons) && std::getline(f, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    items_.push_back(line);
  }
  return true;
}

bool MacroBar::writeItems(const std::string& path) const {
  std::string text;
  for (const std::string& line : items_) text += line + "\n";
  return ReplaceFileWith(path, text);
}

bool MacroBar::switchFile(const std::string& from, const std::string& to) {
  bool kept = writeItems(from);
  std::error_code ec;
  if (std::filesystem::is_regular_file(to, ec)) {
    readItems(to);
    top_ = 0;
  }
  return kept;
}

bool MacroBar::readGlyphs(const std::string& path) {
  std::optional<Bitmap> b = readBmpFile(path);
  if (!b) return false;
  copyInto(strip_, *b, 0, 0);
  return true;
}

bool MacroBar::writeGlyphs(const std::string& path) const {
  return writeBmpFile(path, strip_);
}

std::string MacroBar::item(int k) const {
  return k >= 0 && size_t(k) < items_.size() ? items_[size_t(k)] : std::string();
}

bool MacroBar::setItem(int k, const std::string& line) {
  if (k < 0 || k >= kMacroButtons) return false;
  if (size_t(k) >= items_.size()) items_.resize(size_t(k) + 1);
  items_[size_t(k)] = line;
  return true;
}

std::string MacroBar::name(int k) const {
  return fieldOf(item(k), 0);
}

std::string MacroBar::hintField(int k) const {
  return fieldOf(item(k), 1);
}

std::string MacroBar::toolTip(int k) const {
  std::string hint = hintField(k);
  return hint.empty() || hint == " " ? kUnassignedMacro : hint;
}

std::string MacroBar::macro(int k) const {
  std::string line = item(k);
  for (int i = 0; i < 2; ++i) {
    size_t bar = line.find('|');
    if (bar != std::string::npos) line.erase(0, bar + 1);
  }
  return line;
}

Bitmap MacroBar::glyph(int k) const {
  Bitmap g = blankGlyph();
  if (k < 0 || k >= kMacroButtons) return g;
  for (int r = 0; r < kGlyphSide; ++r)
    std::copy_n(strip_.pixels.begin() + ptrdiff_t(k * kGlyphSide + r) * kGlyphSide, kGlyphSide,
                g.pixels.begin() + ptrdiff_t(r) * kGlyphSide);
  return g;
}

void MacroBar::setGlyph(int k, const Bitmap& picture) {
  if (k < 0 || k >= kMacroButtons) return;
  Bitmap cell = blankGlyph();
  if (picture.width > 0 && picture.height > 0 &&
      picture.pixels.size() >= size_t(picture.width) * size_t(picture.height))
    copyInto(cell, picture, std::max(0, (kGlyphSide - picture.width) / 2),
             std::max(0, (kGlyphSide - picture.height) / 2));
  copyInto(strip_, cell, 0, k * kGlyphSide);
}

bool MacroBar::scrollUp() {
  if (top_ <= 0) return false;
  --top_;
  return true;
}

bool MacroBar::scrollDown(int barHeight) {
  if (top_ >= lowestTop(barHeight)) return false;
  ++top_;
  return true;
}

int MacroBar::buttonAt(int y) const {
  if (y < kMacroBarTopMargin) return -1;
  int k = (y - kMacroBarTopMargin) / kMacroButtonHeight + top_;
  return k < kMacroButtons ? k : -1;
}

bool runMacroButton(Frame& frame, const std::string& macro) {
  if (frame.windows().empty() || macro.empty() || macro == " ") return false;
  MacroRunner* runner = frame.macroRunner();
  if (!runner) return false;
  if (runner->macroRunning()) {
    frame.session().host().beep();
    return false;
  }
  runner->runMacroText(macro);
  return true;
}

// --- The Define Button dialog --------------------------------------------------------

MacroButtonDialogModel::MacroButtonDialogModel(MacroBar& bar, int button, Host* host)
    : bar_(bar), button_(button), host_(host), picture_(bar.glyph(button)) {
  name = bar.name(button);
  hint = bar.hintField(button);
  memo = bar.macro(button);
  // Name and hint live between the "|" of one line: neither may hold one.
  auto oneField = [](std::string& target) {
    return [&target](std::string_view v) {
      if (v.find_first_of("|\r\n") != std::string_view::npos) return false;
      target = std::string(v);
      return true;
    };
  };
  addField(
      "Edit1", [this] { return name; }, oneField(name));
  addField(
      "Edit2", [this] { return hint; }, oneField(hint));
  addField(
      "Memo1", [this] { return memo; },
      [this](std::string_view v) {
        memo = std::string(v);
        return true;
      });
}

void MacroButtonDialogModel::blankPicture() {
  picture_ = blankGlyph();
}

void MacroButtonDialogModel::reset() {
  blankPicture();
  name.clear();
  hint.clear();
  memo.clear();
}

bool MacroButtonDialogModel::loadPicture(const std::string& path) {
  std::optional<Bitmap> b = readBmpFile(path);
  if (!b) return false;
  picture_ = std::move(*b);
  return true;
}

void MacroButtonDialogModel::choosePicture() {
  if (!host_) return;
  FileRequest request;
  request.title = "Open";
  request.filters = {"Bmp files (*.bmp)", "All Files (*.*)"};
  std::optional<std::string> path = host_->openFileName(request);
  if (path && !loadPicture(*path)) host_->beep();
}

std::string MacroButtonDialogModel::itemLine() const {
  std::string joined;
  for (char c : memo)
    if (c != '\n' && c != '\r') joined += c;
  if (joined.size() > kLongestMacro) joined.resize(kLongestMacro);
  return name + "|" + hint + "|" + joined;
}

void MacroButtonDialogModel::apply() {
  if (!bar_.setItem(button_, itemLine())) return;
  bar_.setGlyph(button_, picture_);
}

bool defineMacroButton(Host& host, MacroBar& bar, int k, const Rect& origin) {
  if (k < 0 || k >= kMacroButtons) return false;
  MacroButtonDialogModel model(bar, k, &host);
  model.origin = origin;
  if (!host.runDialog(model)) return false;
  model.apply();
  return true;
}

std::vector<Rect> focusRectangleSteps(const Rect& from, const Rect& to) {
  std::vector<Rect> steps;
  const int last = kFocusRectangleSteps - 1;
  auto between = [last](int a, int b, int i) { return a + (b - a) * i / last; };
  for (int i = 0; i <= last; ++i)
    steps.push_back({between(from.x, to.x, i), between(from.y, to.y, i),
                     between(from.width, to.width, i), between(from.height, to.height, i)});
  return steps;
}

}  // namespace tw
