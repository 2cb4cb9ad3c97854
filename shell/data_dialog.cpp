#include "shell/data_dialog.h"

#include <cmath>

#include "commands/matrix_commands.h"
#include "core/display_format.h"
#include "core/evaluator.h"
#include "core/range_parse.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

std::string termGridText(const TermMasks& grid) {
  std::string out;
  for (int v = 0; v < 3; ++v) {
    std::string item;
    for (int k = 0; k < 9; ++k)
      if (grid[static_cast<size_t>(k)] & (1 << v)) item += static_cast<char>('0' + k);
    if (item.empty()) continue;
    if (!out.empty()) out += ',';
    out += static_cast<char>('A' + v) + item;
  }
  return out;
}

namespace {

const char* const kDataPages[] = {"FILL", "SORT",    "QUESTION",     "BIN",   "PARSE",
                                  "GOAL", "REGRESS", "MULTIREGRESS", "TABLE", "FORM"};

// A range field of the data dialog: its name in answers, the page it is
// on, and the name its point-mode prompt gives it.
struct RangeField {
  const char* name;
  int page;
  const char* prompt;
  std::string DataDialogModel::*member;
};

const RangeField kRangeFields[] = {
    {"fillOutput", DataDialogModel::kFill, "Output", &DataDialogModel::fillOutput},
    {"sortData", DataDialogModel::kSort, "Data", &DataDialogModel::sortData},
    {"queryInput", DataDialogModel::kQuery, "Input", &DataDialogModel::queryInput},
    {"criteria", DataDialogModel::kQuery, "Criterion", &DataDialogModel::queryCriteria},
    {"queryOutput", DataDialogModel::kQuery, "Output", &DataDialogModel::queryOutput},
    {"binInput", DataDialogModel::kBin, "Input", &DataDialogModel::binInput},
    {"binOutput", DataDialogModel::kBin, "Output", &DataDialogModel::binOutput},
    {"parseInput", DataDialogModel::kParse, "Input", &DataDialogModel::parseInput},
    {"goalInput", DataDialogModel::kGoal, "Input", &DataDialogModel::goalInput},
    {"goalOutput", DataDialogModel::kGoal, "Output", &DataDialogModel::goalOutput},
    {"independent", DataDialogModel::kRegress, "Independent", &DataDialogModel::regressX},
    {"dependent", DataDialogModel::kRegress, "Dependent", &DataDialogModel::regressY},
    {"regressOutput", DataDialogModel::kRegress, "Output", &DataDialogModel::regressOutput},
    {"xData", DataDialogModel::kMultiRegress, "Independent", &DataDialogModel::multiX},
    {"yData", DataDialogModel::kMultiRegress, "Dependent", &DataDialogModel::multiY},
    {"multiOutput", DataDialogModel::kMultiRegress, "Output", &DataDialogModel::multiOutput},
    {"input1", DataDialogModel::kTable, "First", &DataDialogModel::tableInput1},
    {"input2", DataDialogModel::kTable, "Second", &DataDialogModel::tableInput2},
    {"tableOutput", DataDialogModel::kTable, "Output", &DataDialogModel::tableOutput},
    {"form", DataDialogModel::kForm, "Form", &DataDialogModel::formRange},
};

const char* const kKeyPrompts[] = {"Prime", "Second", "Third", "Fourth"};

// A one-of field: its choices by name or by number from 1.
bool setChoice(int& target, std::string_view value, std::initializer_list<const char*> names) {
  int k = 1;
  for (const char* n : names) {
    if (value == n || value == std::to_string(k)) {
      target = k;
      return true;
    }
    ++k;
  }
  return false;
}

}  // namespace

const char* DataDialogModel::pageName(int p) {
  return p >= 0 && p < kPageCount ? kDataPages[p] : "";
}

DataDialogModel::DataDialogModel(Worksheet& ws, DataDialogMemory& memory, int startPage,
                                 const CellRange& selection)
    : page(startPage >= 0 && startPage < kPageCount ? startPage : kFill), ws_(ws), memory_(memory) {
  const WorksheetSettings& s = ws.settings;
  fillOutput = memory.fillOutput;
  fillStart = memory.fillStart;
  fillStep = memory.fillStep;
  fillType = memory.fillType;
  fillOrder = memory.fillOrder;
  sortData = rangeText(s.ranges[kSortData]);
  const RememberedRange keys[] = {kSortKey1, kSortKey2, kSortKey3, kSortKey4};
  for (size_t k = 0; k < 4; ++k) {
    sortKeys[k] = rangeText(s.ranges[keys[k]]);
    ascending[k] = s.sortOrder[k] == 1;
  }
  queryInput = rangeText(s.ranges[kQueryInput]);
  queryCriteria = rangeText(s.ranges[kQueryCriteria]);
  queryOutput = rangeText(s.ranges[kQueryOutput]);
  binInput = memory.binInput;
  binOutput = memory.binOutput;
  binLowerInclusive = s.binsLowerInclusive;
  parseInput = memory.parseInput;
  goalInput = memory.goalInput;
  goalOutput = memory.goalOutput;
  goalDesire = memory.goalDesire;
  goalTolerance = memory.goalTolerance;
  regressX = rangeText(s.regressionRanges[0]);
  regressY = rangeText(s.regressionRanges[1]);
  regressOutput = memory.regressOutput;
  multiX = memory.multiX.empty() ? regressX : memory.multiX;
  multiY = memory.multiY.empty() ? regressY : memory.multiY;
  multiOutput = memory.multiOutput;
  for (size_t k = 0; k < terms.size(); ++k) terms[k] = s.regressionVariables[k] & 0x07;
  tableInput1 = rangeText(s.ranges[kWhatIfInput1]);
  tableInput2 = rangeText(s.ranges[kWhatIfInput2]);
  tableOutput = rangeText(s.ranges[kWhatIfTable]);
  formRange = memory.formRange;
  if (!memory.opened && selection.valid()) {
    // The first opening puts the selection into the page's main field.
    std::string text = ws.rangeText(selection.ordered());
    std::string* main[] = {&fillOutput, &sortData, &queryInput, &binInput,    &parseInput,
                           &goalInput,  &regressX, &multiX,     &tableOutput, &formRange};
    *main[page] = text;
  }
  memory.opened = true;

  addField(
      "page", [this] { return std::string(pageName(page)); },
      [this](std::string_view v) {
        for (int p = 0; p < kPageCount; ++p)
          if (v == kDataPages[p] || v == std::to_string(p)) {
            page = p;
            return true;
          }
        return false;
      });
  for (const RangeField& f : kRangeFields) addText(f.name, this->*f.member, 255);
  auto number = [this](const char* name, std::string& target) {
    addField(
        name, [&target] { return target; },
        [this, &target](std::string_view v) {
          std::string t(v);
          if (!leaveNumberField(t)) return false;
          target = t;
          return true;
        });
  };
  number("start", fillStart);
  number("step", fillStep);
  addField(
      "fillType", [this] { return std::to_string(fillType); },
      [this](std::string_view v) {
        return setChoice(fillType, v, {"Linear", "Multiply", "Power"});
      });
  addField(
      "fillOrder", [this] { return std::to_string(fillOrder); },
      [this](std::string_view v) {
        return setChoice(fillOrder, v, {"Row", "Column"});
      });
  for (size_t k = 0; k < 4; ++k) {
    addText("key" + std::to_string(k + 1), sortKeys[k], 255);
    addFlag("asc" + std::to_string(k + 1), ascending[k]);
  }
  addField(
      "binType", [this] { return std::string(binLowerInclusive ? "1" : "2"); },
      [this](std::string_view v) {
        int choice = 0;
        if (!setChoice(choice, v, {"a<= x <b", "a< x <= b"})) return false;
        binLowerInclusive = choice == 1;
        return true;
      });
  number("desire", goalDesire);
  number("tolerance", goalTolerance);
  addField(
      "terms", [this] { return termGridText(terms); },
      [this](std::string_view v) {
        terms = ParseTermItems(v);
        return true;
      });
}

std::string DataDialogModel::caption() const {
  return std::string("Data: ") + pageName(page);
}

std::string DataDialogModel::rangeText(const CellRange& r) const {
  return r.valid() ? ws_.rangeText(r.ordered()) : std::string();
}

std::optional<CellRange> DataDialogModel::range(const std::string& text) const {
  if (text.find_first_not_of(' ') == std::string::npos) return std::nullopt;
  ParsedRange p = ParseRange(ws_, text, kRangeWords | kSingleDot);
  ws_.session().error().clear();
  if (!p.ok || !p.range.valid()) return std::nullopt;
  return p.range.ordered();
}

std::optional<double> DataDialogModel::number(const std::string& text) const {
  if (text.find_first_not_of(' ') == std::string::npos) return 0.0;
  EvalResult r = ws_.session().evaluator().EvaluateText(ws_, text);
  ws_.session().error().clear();
  if (r.error || r.isString || !std::isfinite(r.number)) return std::nullopt;
  return r.number;
}

bool DataDialogModel::leaveNumberField(std::string& text) const {
  std::optional<double> x = number(text);
  if (!x) return false;
  text = GeneralText(*x);
  return true;
}

std::string DataDialogModel::pointPrompt(std::string_view field) const {
  std::string name = "Output";
  for (const RangeField& f : kRangeFields)
    if (field == f.name) name = f.prompt;
  for (size_t k = 0; k < 4; ++k)
    if (field == "key" + std::to_string(k + 1)) name = kKeyPrompts[k];
  return std::string(pageName(page)) + ":" + name + " Range";
}

void DataDialogModel::resetSort() {
  sortData.clear(), sortKeys[0].clear(), sortKeys[1].clear();
}

void DataDialogModel::resetQuery() {
  queryInput.clear();
  queryCriteria.clear();
  queryOutput.clear();
}

bool DataDialogModel::check(std::string& message) {
  // Every range field of the page must read as a range where it is not empty.
  auto bad = [&](const std::string& text, const char* prompt) {
    if (text.find_first_not_of(' ') == std::string::npos || range(text)) return false;
    message = std::string("Invalid ") + prompt + " Range: " + text;
    return true;
  };
  for (const RangeField& f : kRangeFields)
    if (f.page == page && bad(this->*f.member, f.prompt)) return false;
  if (page == kSort)
    for (size_t k = 0; k < 4; ++k)
      if (bad(sortKeys[k], kKeyPrompts[k])) return false;
  return true;
}

void DataDialogModel::remember() {
  memory_.fillOutput = fillOutput;
  memory_.fillStart = fillStart;
  memory_.fillStep = fillStep;
  memory_.fillType = fillType;
  memory_.fillOrder = fillOrder;
  memory_.binInput = binInput;
  memory_.binOutput = binOutput;
  memory_.parseInput = parseInput;
  memory_.goalInput = goalInput;
  memory_.goalOutput = goalOutput;
  memory_.goalDesire = goalDesire;
  memory_.goalTolerance = goalTolerance;
  memory_.multiX = multiX;
  memory_.multiY = multiY;
  memory_.multiOutput = multiOutput;
  memory_.regressOutput = regressOutput;
  memory_.formRange = formRange;
  if (ws_.settings.binsLowerInclusive != binLowerInclusive) {
    ws_.settings.binsLowerInclusive = binLowerInclusive;
    ws_.modified = true;
  }
}

bool DataDialogModel::command(std::string& keyword, Args& args, std::string& message) const {
  args.clear();
  auto rangeOf = [&](const std::string& text) -> bool {
    std::optional<CellRange> r = range(text);
    if (!r) return false;
    args.push_back(Arg::ofRange(*r));
    return true;
  };
  auto numberOf = [&](const std::string& text) -> bool {
    std::optional<double> x = number(text);
    if (!x) {
      message = "Not a number: " + text;
      return false;
    }
    args.push_back(Arg::ofNumber(*x));
    return true;
  };
  message.clear();
  switch (page) {
    case kFill:
      keyword = "DATAFILL";
      return rangeOf(fillOutput) && numberOf(fillStart) && numberOf(fillStep) &&
             (args.push_back(Arg::ofNumber(fillType)), true) &&
             (args.push_back(Arg::ofNumber(fillOrder == 1 ? 1 : 0)), true);
    case kSort: {
      keyword = "DATASORT";
      if (!rangeOf(sortData)) return false;
      for (size_t k = 0; k < 4; ++k) {
        if (!rangeOf(sortKeys[k])) {
          if (k == 0) return false;
          break;
        }
        args.push_back(Arg::ofNumber(ascending[k] ? 1 : 0));
      }
      return true;
    }
    case kQuery:
      keyword = "DATAQUERY";
      return rangeOf(queryInput) && rangeOf(queryCriteria) && rangeOf(queryOutput);
    case kBin:
      keyword = "DATABIN";
      return rangeOf(binInput) && rangeOf(binOutput);
    case kParse:
      keyword = "DATAPARSE";
      return rangeOf(parseInput);
    case kGoal:
      // The keyword takes the tolerance before the desired value.
      keyword = "DATAGOAL";
      return rangeOf(goalInput) && rangeOf(goalOutput) && numberOf(goalTolerance) &&
             numberOf(goalDesire);
    case kRegress:
      keyword = "DATAREGRESS";
      return rangeOf(regressX) && rangeOf(regressY) && rangeOf(regressOutput);
    case kMultiRegress:
      keyword = "DATAMULREG";
      if (!(rangeOf(multiX) && rangeOf(multiY) && rangeOf(multiOutput))) return false;
      args.push_back(Arg::ofText(termGridText(terms)));
      return true;
    case kTable: {
      keyword = "DATATABLE";
      if (!rangeOf(tableOutput) || !rangeOf(tableInput1)) return false;
      rangeOf(tableInput2);
      return true;
    }
    case kForm:
      keyword = "DATAFORM";
      return rangeOf(formRange);
    default:
      return false;
  }
}

// --- The array dialog -----------------------------------------------------

namespace {

const char* const kArrayKeywords[] = {"MATADD", "MATSUB", "MATMLT", "MATTRANS",
                                      "MATINV", "MATSLV", "MATDET", "MATLIN"};

}  // namespace

const char* ArrayDialogModel::pageName(int p) {
  return p >= 0 && p < kPageCount ? ArrayPageName(static_cast<ArrayPage>(p)) : "";
}

const char* ArrayDialogModel::keyword(int p) {
  return p >= 0 && p < kPageCount ? kArrayKeywords[p] : "";
}

ArrayDialogModel::ArrayDialogModel(Worksheet& ws, int startPage, const CellRange& selection)
    : page(startPage >= 0 && startPage < kPageCount ? startPage : kAdd), ws_(ws) {
  if (selection.valid()) first = ws.rangeText(selection.ordered());
  addField(
      "page", [this] { return std::string(pageName(page)); },
      [this](std::string_view v) {
        for (int p = 0; p < kPageCount; ++p)
          if (v == pageName(p) || v == std::to_string(p)) {
            page = p;
            return true;
          }
        return false;
      });
  addText("first", first, 255);
  addText("second", second, 255);
  addText("output", output, 255);
}

std::string ArrayDialogModel::caption() const {
  return std::string("ARRAY: ") + pageName(page);
}

std::string ArrayDialogModel::pointPrompt(std::string_view field) const {
  const char* name = field == "second"   ? "Second"
                     : field == "output" ? "Output"
                     : hasSecond()       ? "First"
                                         : "Input";
  return std::string(pageName(page)) + ":" + name + " Range";
}

std::optional<CellRange> ArrayDialogModel::range(const std::string& text) const {
  if (text.find_first_not_of(' ') == std::string::npos) return std::nullopt;
  ParsedRange p = ParseRange(ws_, text, kRangeWords | kSingleDot);
  ws_.session().error().clear();
  if (!p.ok || !p.range.valid()) return std::nullopt;
  return p.range.ordered();
}

bool ArrayDialogModel::check(std::string& message) {
  for (const std::string* f : {&first, &second, &output}) {
    if (f == &second && !hasSecond()) continue;
    if (f->find_first_not_of(' ') != std::string::npos && !range(*f)) {
      message = "Invalid Range: " + *f;
      return false;
    }
  }
  return true;
}

bool ArrayDialogModel::command(std::string& kw, Args& args, std::string& message) const {
  message.clear();
  args.clear();
  kw = keyword(page);
  std::optional<CellRange> a = range(first), b = range(second), out = range(output);
  if (!a || !out || (hasSecond() && !b)) return false;
  args.push_back(Arg::ofRange(*a));
  if (hasSecond()) args.push_back(Arg::ofRange(*b));
  args.push_back(Arg::ofRange(*out));
  return true;
}

}  // namespace tw
