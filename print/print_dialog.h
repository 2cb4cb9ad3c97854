// "Print" with its options page "Print Options", and "Preview": what the
// forms show and what their buttons do, without widgets. The print model
// holds a copy of the worksheet's print settings; the frame applies them
// when a button other than Cancel closes the dialog, then prints, writes
// the text file or opens the preview.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/fields_model.h"
#include "core/page_device.h"
#include "core/worksheet_settings.h"
#include "print/print_layout.h"

namespace tw {

class Canvas;
class Host;
class Worksheet;

// The settings the dialog edits, as the worksheet keeps them.
struct PrintSettings {
  CellRange range{};
  std::array<double, kMarginCount> margins{};
  std::string header;
  std::string footer;
  PrintOptions options;

  static PrintSettings of(const Worksheet& ws);
  void applyTo(Worksheet& ws) const;
};

class PrintModel : public FieldsModel {
 public:
  enum class Action { Print, PrintToFile, Preview };
  enum class What { All, Range, Graph };

  PrintModel(Worksheet& ws, Host& host, std::string selection);
  std::string_view form() const override { return "Print"; }
  std::string caption() const override { return "Print"; }
  bool check(std::string& message) override;

  // "&Named Graph": "- Default -" (the current definition), then the named graphs.
  std::vector<std::string> graphChoices() const;
  int graph = 0;  // 0 the current definition, else a named graph's index
  // "&All" shows the extent, such as "A1..IV8192".
  std::string extentText() const;
  // The range the chosen button acts on: everything or the typed range.
  CellRange chosenRange() const;
  // "&Defaults" on the options page: the margins of the settings file.
  void defaultMargins();
  // The printer facts the options page shows.
  std::string printerFacts() const;
  // "S&etup...": the printer's own dialog.
  void setup();
  void choosePrinter(const std::string& name);

  // The margins and the scale as the options page's boxes hold them.
  std::string marginText(Margin m) const;
  bool setMargin(Margin m, std::string_view text);
  // Typed scales below 10 become 10, above 150 become 150.
  bool setScale(std::string_view text);
  bool setBorders(bool rows, std::string_view text);
  std::string bordersText(bool rows) const;

  PrintSettings settings;
  What what = What::All;
  std::string rangeText;
  Action action = Action::Print;
  std::vector<std::string> printers;
  std::string printer;
  bool pointAtRange = false;  // the range field asks for pointing on the sheet
  std::string message;

 private:
  Worksheet& ws_;
  Host& host_;
};

// The preview's pages: the same layout as printing, one page at a time.
class PreviewModel : public FieldsModel {
 public:
  enum class Action { Close, PrintPage, PrintAll };

  PreviewModel(Worksheet& ws, Host& host, CellRange range);
  std::string_view form() const override { return "Preview"; }
  std::string caption() const override { return "Preview"; }

  int pageCount() const { return static_cast<int>(pagination_.pages.size()); }
  const PageGeometry& geometry() const { return pagination_.geometry; }
  // "of" and the count, beside the page field.
  std::string countText() const;
  bool setPage(int page);  // from 1; false when there is no such page
  // "&Text (%) ": the print scale, carried back into the print dialog.
  bool setScale(int percent);
  int scale() const;
  // Draws the current page at its own size (logical units).
  void paint(Canvas& canvas) const;
  // The drawing's zoom: "Zoom In", "Zoom Out", "All" (100) and "Fit".
  void zoomIn();
  void zoomOut();
  void zoomAll() { zoom = 100; }
  void zoomToFit(int width, int height);

  int page = 1;
  int zoom = 100;  // per cent of the page's own size
  Action action = Action::Close;
  CellRange range;

 private:
  void paginate();

  Worksheet& ws_;
  Host& host_;
  Pagination pagination_;
};

// The printer's page, or a letter page at 600 dots per inch when there is
// no printer (the preview and the layout still work).
PageMetrics printerPageOrDefault(Host& host, bool landscape);

}  // namespace tw
