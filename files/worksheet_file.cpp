// The entry points around the reader: Load with its messages, the File
// Open test, ListNames, the link loader and the worksheets that external
// references read from disk.
#include "files/worksheet_file.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

#include "core/dependencies.h"
#include "core/file_names.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "files/worksheet_file_internal.h"

namespace tw {

namespace fs = std::filesystem;

namespace {

constexpr int kIoOk = 0;
constexpr int kIoNotFound = 2;
constexpr int kIoReadError = 100;

// The file a name stands for: ".WKS" added to a name without an extension,
// then found without case when it does not exist as given.
std::string resolveName(const std::string& fileName) {
  std::string name = withWorksheetExtension(fileName);
  return findExistingFile(name).value_or(name);
}

bool isStartupFile(const Session& session, const std::string& path) {
  return sameFileName(baseName(path), baseName(session.settings().autoexec));
}

}  // namespace

LoadOptions LoadOptions::fromModeBits(unsigned bits, int destinationRow, int destinationColumn,
                                      std::string source) {
  LoadOptions o;
  if (bits & 0x10) {
    o.mode = LoadMode::Combine;
    o.content = (bits & 0x04) ? CombineContent::ValuesOnly : CombineContent::Formulas;
    unsigned sum = bits & 0x03;
    o.arithmetic = sum == 2   ? CombineArithmetic::Add
                   : sum == 3 ? CombineArithmetic::Subtract
                              : CombineArithmetic::Replace;
  } else if (bits & 0x04) {
    o.mode = LoadMode::Link;
  }
  o.after = (bits & 0x20) ? AfterLoad::NoLink : AfterLoad::LinkAndRecalculate;
  o.destinationRow = destinationRow;
  o.destinationColumn = destinationColumn;
  o.source = std::move(source);
  return o;
}

bool Load(Worksheet& ws, const std::string& fileName, const LoadOptions& options, LoadReport* out) {
  Session& session = ws.session();
  LoadReport local;
  LoadReport& report = out ? *out : local;
  report = LoadReport{};
  const std::string path = resolveName(fileName);
  const bool startup = isStartupFile(session, path);
  const bool quiet = options.messages == LoadMessages::Quiet;
  const ErrorState saved = session.error();

  bool ok = loadFile(session, options.mode == LoadMode::Link ? nullptr : &ws, path, options,
                     fileName, report);
  if (!report.opened) {
    session.ioResult = kIoNotFound;
    if (options.mode != LoadMode::Link && !startup)
      report.messages.push_back("Unable to Open File");
  } else {
    session.ioResult = report.messages.empty() ? kIoOk : kIoReadError;
    if (options.mode == LoadMode::Retrieve) {
      // The start-up worksheet stays unnamed, so that saving it asks for a name.
      ws.hasFileName = !startup;
      ws.fileName = startup ? std::string() : path;
      if (!startup) ws.name = upperCased(path);
      ws.modified = false;
    } else if (options.mode == LoadMode::Combine && ok) {
      ws.modified = true;
    }
  }
  if (!report.messages.empty()) session.lastFileMessage = report.messages.back();
  if (quiet) {
    session.error() = saved;
  } else {
    session.error().clear();
    for (const std::string& m : report.messages) session.ShowError(m);
  }
  return ok;
}

void linkLoadedFormulas(Worksheet& ws) {
  std::vector<CellHandle> pending;
  ws.ForEachCell(CellRange::of(0, 0, ws.maxRow, ws.maxCol), [&](CellHandle h, Cell& c) {
    if ((c.kind & kKindUnlinked) && isFormula(&c) && c.content) pending.push_back(h);
    return true;
  });
  ws.session().error().clear();
  for (CellHandle h : pending) {
    RegisterDependencies(ws, h);
    ws.cell(h).kind &= ~kKindUnlinked;
  }
  ws.session().error().clear();
  RecalcAll(ws);
}

bool ListNames(Worksheet& ws, const std::string& fileName, std::vector<std::string>& list) {
  std::vector<RangeName> names;
  if (!readFileNames(resolveName(fileName), names)) return false;
  for (const RangeName& n : names) list.push_back(n.name + " " + ws.rangeText(n.range));
  return true;
}

bool isWorksheetFile(const std::string& fileName) {
  std::string path = resolveName(fileName);
  if (!isRegularFile(path)) return false;
  std::ifstream in(path, std::ios::binary);
  unsigned char head[4];
  if (!in.read(reinterpret_cast<char*>(head), 4)) return false;
  return (head[2] | (head[3] << 8)) == 2;
}

Worksheet* openWorksheetFile(Session& session, const std::string& fileName) {
  std::string path = resolveName(fileName);
  if (Worksheet* open = session.findWorksheet(path)) {
    session.setCurrent(open);
    return open;
  }
  if (!isWorksheetFile(path)) {
    session.ioResult = kIoNotFound;
    session.lastFileMessage = "Invalid WKS File!";
    session.ShowError("Invalid WKS File!");
    return nullptr;
  }
  addRecentFile(session.settings(), path);

  Worksheet& ws = session.openWorksheet(upperCased(path));
  LoadReport report;
  bool whole = Load(ws, path, LoadOptions{}, &report);
  if (!report.opened) {
    session.closeWorksheet(ws);
    return nullptr;
  }
  // What was read stays; the message has been shown.
  session.lastLoadPartial = !whole || !report.messages.empty();
  ws.readInPart = session.lastLoadPartial;
  return &ws;
}

void loadLinkedFiles(Session& session) {
  LoadOptions options;
  options.mode = LoadMode::Link;
  for (const std::string& file : session.links().files()) {
    LoadReport report;
    std::string path = resolveName(file);
    loadFile(session, nullptr, path, options, file, report);
    if (!report.opened) continue;
    session.ioResult = report.messages.empty() ? kIoOk : kIoReadError;
    for (const std::string& m : report.messages) session.ShowError(m);
  }
}

namespace {

// Worksheets read for external references, held apart from the open
// windows. A file changed on disk is read again; the copy it replaces is
// kept until the next full recalculation starts, since an evaluation in
// progress may still hold it.
class ExternalWorksheets {
 public:
  explicit ExternalWorksheets(Session& session) : session_(session) {}

  Worksheet* find(const std::string& reference) {
    std::optional<std::string> found = findExistingFile(withWorksheetExtension(reference));
    if (!found || !isRegularFile(*found)) return nullptr;
    std::error_code ec;
    auto stamp = fs::last_write_time(*found, ec);
    for (Entry& e : entries_) {
      if (e.path != *found) continue;
      if (e.stamp == stamp || session_.recalcBusy) return e.ws.get();
      retired_.push_back(std::move(e.ws));
      e.ws = read(*found);
      e.stamp = stamp;
      return e.ws.get();
    }
    entries_.push_back({*found, stamp, read(*found)});
    return entries_.back().ws.get();
  }

  void releaseRetired() { retired_.clear(); }

  // Before a full recalculation, while no evaluation holds a copy: files
  // changed on disk since they were read are read again.
  void refresh() {
    for (Entry& e : entries_) {
      std::error_code ec;
      auto stamp = fs::last_write_time(e.path, ec);
      if (ec || stamp == e.stamp || !isRegularFile(e.path)) continue;
      e.ws = read(e.path);
      e.stamp = stamp;
    }
  }

 private:
  struct Entry {
    std::string path;
    fs::file_time_type stamp;
    std::unique_ptr<Worksheet> ws;
  };

  std::unique_ptr<Worksheet> read(const std::string& path) {
    auto ws = std::make_unique<Worksheet>(session_, upperCased(path));
    ws->functions = session_.programFunctions();
    LoadOptions options;
    options.after = AfterLoad::NoLink;
    options.messages = LoadMessages::Quiet;
    int io = session_.ioResult;
    std::string last = session_.lastFileMessage;
    Load(*ws, path, options);
    session_.ioResult = io;
    session_.lastFileMessage = last;
    return ws;
  }

  Session& session_;
  std::vector<Entry> entries_;
  std::vector<std::unique_ptr<Worksheet>> retired_;
};

}  // namespace

void connectFiles(Session& session) {
  auto external = std::make_shared<ExternalWorksheets>(session);
  session.externalLoader = [external](const std::string& path) { return external->find(path); };
  session.beforeRecalcAll = [&session, external] {
    external->releaseRetired();
    external->refresh();
    loadLinkedFiles(session);
  };
}

}  // namespace tw
