// The models of the frame's dialogs: number format, width or height,
// general settings, document information and system information. Each
// holds what its form shows and what OK takes; the Qt forms and scripted
// answers fill the same fields.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "commands/property_commands.h"
#include "commands/settings_commands.h"
#include "core/dialog_model.h"
#include "core/fields_model.h"
#include "core/program_settings.h"

namespace tw {

class Host;

class Session;
class Worksheet;

// "Format": a format from the settings' list, or typed as a short code.
class FormatModel : public FieldsModel {
 public:
  explicit FormatModel(std::vector<NamedFormat> formats);
  std::string_view form() const override { return "Format"; }
  std::string caption() const override { return "Format"; }
  bool check(std::string& message) override;

  const std::vector<NamedFormat>& formats() const { return formats_; }
  void choose(int index);  // an entry of the list; its code becomes the code
  int chosen() const { return chosen_; }
  std::string code;
  // How a negative number looks in the format the code gives.
  std::string sample() const;

 private:
  std::vector<NamedFormat> formats_;
  int chosen_ = -1;
};

// "Width / Height": a column width in characters or a row height in pixels.
class WidthHeightModel : public FieldsModel {
 public:
  WidthHeightModel(int widthCharacters, int heightPixels);
  std::string_view form() const override { return "WidthHeight"; }
  std::string caption() const override { return "Width / Height"; }
  bool check(std::string& message) override;

  bool column() const { return column_; }
  void setColumn(bool on);  // the value becomes that kind's current size
  int value = 0;
  int lowest() const { return column_ ? 1 : 8; }
  int highest() const { return column_ ? 31 : 254; }

 private:
  bool column_ = true;
  int width_, height_;
};

// "Copy": the value copies with their kind, the ranges and the factor.
class CopyModel : public FieldsModel {
 public:
  // The kinds in the order of the radio buttons, with the command kind each is.
  static constexpr const char* kKindNames[5] = {"formula", "value", "transpose", "scale", "invert"};
  CopyModel(std::string from, std::string to);
  std::string_view form() const override { return "Copy"; }
  std::string caption() const override { return "Copy"; }
  bool check(std::string& message) override;

  int kind = 1;  // 0 formula, 1 value, 2 transpose, 3 scale, 4 invert
  std::string from;
  std::string to;
  std::string factor = "1";
  double factorValue() const;
};

// "Properties": six pages of cell attributes over a range; each page that
// changes sets its bit, and OK applies the changed pages only.
class PropertiesModel : public FieldsModel {
 public:
  // page: 0 every page with its tab, else the one page (kPageFormat ... kPageBorder).
  PropertiesModel(Properties start, std::string range, uint8_t page,
                  std::vector<std::string> typefaces);
  std::string_view form() const override { return "Properties"; }
  std::string caption() const override { return "Properties"; }
  bool check(std::string& message) override;

  // Any change on a page goes through here.
  void changed(uint8_t pageBit) { values.mask |= pageBit; }
  bool canApply() const { return values.mask != 0; }

  Properties values;
  std::string range;
  uint8_t page;
  std::vector<std::string> typefaces;
  bool pointAtRange = false;  // the range field asks for pointing on the sheet
};

class GeneralSettingsModel : public FieldsModel {
 public:
  explicit GeneralSettingsModel(GeneralSettings values);
  std::string_view form() const override { return "GeneralSettings"; }
  std::string caption() const override { return "General Settings"; }
  bool check(std::string& message) override { return checkGeneralSettings(values, message); }
  // The toolbar file chosen through the host's open dialog ("Toolbar (*.mac)").
  void chooseToolbarFile();

  GeneralSettings values;
  Host* host = nullptr;
};

class DocumentInfoModel : public FieldsModel {
 public:
  explicit DocumentInfoModel(const Worksheet& ws);
  std::string_view form() const override { return "DocumentInfo"; }
  std::string caption() const override { return "Document Information"; }

  std::string title;     // at most 80 characters
  std::string comments;  // at most 255
  std::string file;
  std::string user;
  std::string created;  // "not saved yet", or the date and time
};

class SystemInfoModel : public FieldsModel {
 public:
  explicit SystemInfoModel(Session& session);
  std::string_view form() const override { return "SystemInfo"; }
  std::string caption() const override { return "System Information"; }

  struct Fact {
    std::string label;
    std::string value;
  };
  std::vector<Fact> facts;
};

}  // namespace tw
