// The dialogs of the main window that no command owns: number formats,
// width or height, general settings, document information, system information.
#pragma once

#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/program_settings.h"

namespace tw {

class Session;
class Worksheet;

struct FormatDialog {
  // The format byte chosen from the settings' list or typed as a short code.
  static std::optional<uint8_t> ask(QWidget* parent, const std::vector<NamedFormat>& formats);
};

struct WidthDialog {
  struct Answer {
    bool column = true;  // column width in characters, or row height in pixels
    int value = 0;
  };
  static std::optional<Answer> ask(QWidget* parent, int widthInCharacters, int heightInPixels);
};

struct GeneralSettingsDialog {
  // The worksheet flags and characters; they go to the worksheet and to the
  // defaults that new worksheets and the settings file take. False on Cancel.
  static bool edit(QWidget* parent, ProgramSettings& settings, Worksheet* ws);
};

struct DocumentInfoDialog {
  static void edit(QWidget* parent, Worksheet& ws);
};

struct SystemInfoDialog {
  static void show(QWidget* parent, Session& session);
};

}  // namespace tw

namespace tw {

struct TipDialog {
  // A tip from the tips file (one per line) when there is one, else one of
  // the program's own; the check box turns the tips off for later starts.
  static void show(QWidget* parent, const std::string& tipsFile, bool& showAtStart);
};

}  // namespace tw
