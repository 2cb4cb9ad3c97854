// "Graph" (TGrange): the nine pages that edit the current graph definition
// (type, ranges, options, scales, names, headings, colours, fonts, legends),
// as fields that the Qt form and scripted answers fill alike. OK makes the
// edited copy the worksheet's current graph; the Names page's buttons act
// on the named graphs at once.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/fields_model.h"
#include "graphs/graph_definition.h"

namespace tw {

class Worksheet;

class GraphDialogModel : public FieldsModel {
 public:
  enum Page { kType, kRanges, kOptions, kScales, kNames, kHeadings, kColors, kFonts, kLegends };
  static constexpr int kPageCount = 9;

  GraphDialogModel(Worksheet& ws, int page);
  std::string_view form() const override { return "Graph"; }
  std::string caption() const override;
  bool check(std::string& message) override;

  // The Names page.
  std::vector<std::string> names() const;  // "* Default *", then the named graphs
  void pressNew();                         // saves the edited definition under name
  void pressDelete();
  void pressUse();    // the named graph becomes current (and is shown)
  void pressMerge();  // the overlay: the named graph typed, if there is one
  void pressReset();  // no overlay
  // The range prompt a range field asks for when double-clicked.
  static const char* pointPrompt() { return "GRAPH: Specify Range"; }

  // A number field's text: a formula is evaluated; nullopt when it is none.
  std::optional<double> evaluate(std::string_view text) const;
  std::string rangeText(const CellRange& r) const;
  bool setRange(CellRange& target, std::string_view text);

  GraphDefinition graph;
  int page = kType;
  int scaleTab = 0;   // 0 X axis, 1 Y axis
  int seriesTab = 0;  // 0..5, or 6 "&Other"
  std::string name;
  std::string message;
  bool showWindow = false;  // Use or Merge asked for the graph window
  std::string pointField;   // a range field to point at on the sheet

 private:
  Worksheet& ws_;
};

}  // namespace tw
