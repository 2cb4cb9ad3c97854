// The frame's windows, its commands and its menus.
#include <algorithm>
#include <charconv>

#include "commands/file_commands.h"
#include "commands/property_commands.h"
#include "commands/settings_commands.h"
#include "commands/sheet_commands.h"
#include "core/char_case.h"
#include "core/file_names.h"
#include "core/number_text.h"
#include "core/range_parse.h"
#include "core/session.h"
#include "core/undo.h"
#include "core/worksheet.h"
#include "files/worksheet_file.h"
#include "shell/audit_frame.h"
#include "shell/data_frame.h"
#include "shell/dialog_models.h"
#include "shell/frame.h"
#include "shell/range_name_dialog.h"
#include "shell/startup.h"
#include "shell/text_tools_frame.h"
#include "shell/transfer_frame.h"
#include "shell/window_layout.h"

namespace tw {

Frame::Frame(Session& session, FrameView& view) : session_(session), view_(view) {
  addWorksheetCommands(commands_);
  addFrameCommands();
  addForms();
  addDataFrame(*this);
  addTransferFrame(*this);
  addAuditFrame(*this);
  addTextToolsFrame(*this);
}

Frame::~Frame() = default;

// --- Windows ------------------------------------------------------------------------

WindowState& Frame::addWindow(Worksheet& ws) {
  windows_.push_back(std::make_unique<WindowState>(ws));
  WindowState& w = *windows_.back();
  std::string caption = ws.hasFileName ? ws.fileName : ws.name;
  w.caption = caption;
  view_.windowOpened(w);
  activate(&w);
  return w;
}

WindowState* Frame::windowFor(const Worksheet& ws) {
  for (const auto& w : windows_)
    if (&w->worksheet() == &ws) return w.get();
  return nullptr;
}

void Frame::activate(WindowState* w) {
  if (w != active_) {
    if (entryActive()) CancelEntry();
    if (menuCursor_.open()) closeMenu();
  }
  active_ = w;
  if (w) {
    session_.setCurrent(&w->worksheet());
    view_.showRecalcMode(w->worksheet().settings.manualRecalc);
  }
  refreshMenus();
  UpdateCellIndicators();
  refreshMode();
}

bool Frame::closeWindow(WindowState& w, CloseMode mode) {
  Worksheet& ws = w.worksheet();
  if (mode != CloseMode::DiscardUnasked && &w == active_) {
    // A pending entry keeps the window open, unless it is still empty.
    if (entryActive()) {
      if (!text_.empty()) return false;
      CancelEntry();
    }
    if (prompt_) return false;
  }
  bool lastWindow = std::count_if(windows_.begin(), windows_.end(),
                                  [&](const auto& o) { return &o->worksheet() == &ws; }) == 1;
  if (lastWindow && ws.modified && mode != CloseMode::DiscardUnasked) {
    bool save = mode == CloseMode::SaveUnasked;
    if (!save) {
      Answer answer = session_.host().askYesNoCancel(
          "Save Worksheet \r" + std::string(baseName(w.caption)) + "?", "TALLOWAY");
      if (answer == Answer::Cancel) return false;
      save = answer == Answer::Yes;
    }
    if (save) {
      // Only a save that succeeded lets the window go.
      WindowState* before = active_;
      activate(&w);
      CommandContext cx = context();
      bool saved = SaveWorksheet(cx, SaveTarget::ItsFile).ok;
      if (before && before != &w) activate(before);
      if (!saved) return false;
    }
  }
  view_.windowClosing(w);
  if (active_ == &w) {
    if (entryActive()) endEntry();
    if (prompt_) {
      prompt_.reset();
      view_.showPrompt(false, {}, {});
    }
    active_ = nullptr;
  }
  std::erase_if(windows_, [&](const auto& p) { return p.get() == &w; });
  if (!windowFor(ws)) session_.closeWorksheet(ws);
  activate(active_ ? active_ : (windows_.empty() ? nullptr : windows_.back().get()));
  return true;
}

bool Frame::closeAll(CloseMode mode) {
  while (!windows_.empty())
    if (!closeWindow(*windows_.back(), mode)) return false;
  return true;
}

void Frame::toggleSplit(WindowState& w) {
  w.setSplit(!w.split());
  view_.windowChanged(w);
  refreshMenus();
}

void Frame::startUp(const std::string& startFile, const std::string& settingsDirectory,
                    const std::string& programDirectory) {
  if (!startFile.empty()) {
    if (openWorksheet(startFile)) return;
  } else if (auto path =
                 findStartupWorksheet(session_.settings(), settingsDirectory, programDirectory)) {
    // The start-up worksheet has no name of its own: saving it asks for one.
    Worksheet& ws = session_.openWorksheet(session_.settings().autoexec);
    if (Load(ws, *path, LoadOptions{})) {
      ws.hasFileName = false;
      ws.fileName.clear();
      restoreLayout(addWindow(ws), ws.settings);
      UpdateCellIndicators();
      runAutoexec(ws);
      return;
    }
    session_.closeWorksheet(ws);
  }
  if (session_.settings().preopen && windows_.empty()) newWorksheet();
}

// --- Workspace ------------------------------------------------------------------------

Worksheet* Frame::newWorksheet() {
  std::string name = "SHEET" + std::to_string(windows_.size() + 1) + ".WKS";
  Worksheet& ws = session_.openWorksheet(name);
  ws.modified = false;
  addWindow(ws);
  return &ws;
}

Worksheet* Frame::openWorksheet(const std::string& path) {
  if (Worksheet* open = session_.findWorksheet(path)) {
    if (WindowState* w = windowFor(*open)) {
      activate(w);
      view_.windowChanged(*w);
      return open;
    }
  }
  setWaiting(true);
  Worksheet* ws = openWorksheetFile(session_, path);
  setWaiting(false);
  if (!ws) return nullptr;
  refreshMenus();
  if (WindowState* w = windowFor(*ws)) {
    activate(w);
    return ws;
  }
  // The window shows the layout the file kept, the cursor's cell described.
  WindowState& w = addWindow(*ws);
  if (ws->readInPart) w.caption += kReadInPartCaption;
  restoreLayout(w, ws->settings);
  view_.windowChanged(w);
  view_.cursorMoved(w);
  UpdateCellIndicators();
  runAutoexec(*ws);
  return ws;
}

bool Frame::closeWorksheet(Worksheet& ws, CloseMode mode) {
  while (WindowState* w = windowFor(ws))
    if (!closeWindow(*w, mode)) return false;
  return true;
}

void Frame::storeLayout(Worksheet& ws) {
  if (WindowState* w = windowFor(ws)) tw::storeLayout(*w, ws.settings);
}

void Frame::arrangeWindows(Arrangement how) {
  view_.arrangeWindows(how);
}

void Frame::exitProgram() {
  view_.exitProgram();
}

// --- Commands ---------------------------------------------------------------------------

CommandContext Frame::context() {
  CommandContext cx{session_};
  cx.workspace = this;
  if (active_) {
    cx.ws = &active_->worksheet();
    cx.row = active_->row();
    cx.col = active_->col();
    cx.selection = active_->selection();
  }
  return cx;
}

CommandResult Frame::execute(std::string_view name, const Args& args) {
  const CommandEntry* entry = commands_.find(name);
  if (!entry) {
    session_.host().beep();
    return CommandResult::failed();
  }
  if (entryActive()) CancelEntry();
  CommandContext cx = context();
  Worksheet* ws = cx.ws;
  CommandResult r = runCommand(*entry, cx, args);
  // The command may have closed the window it ran in.
  if (ws && !windowFor(*ws)) ws = nullptr;
  show(r, ws);
  return r;
}

void Frame::show(const CommandResult& r, Worksheet* ws) {
  Host& host = session_.host();
  if (r.recalculated) {
    for (const auto& w : session_.worksheets()) host.cellsChanged(*w, kEmptyRange);
  } else if (ws) {
    if (r.allChanged) host.cellsChanged(*ws, kEmptyRange);
    for (const CellRange& c : r.changed) host.cellsChanged(*ws, c);
  }
  if (ws && (r.renamed || r.layoutChanged))
    for (const auto& w : windows_)
      if (&w->worksheet() == ws) {
        if (r.renamed) w->caption = ws->fileName;
        view_.windowChanged(*w);
      }
  if (r.moveCursor && active_ && ws == &active_->worksheet()) {
    active_->moveTo(r.cursorRow, r.cursorCol);
    view_.cursorMoved(*active_);
  }
  if (active_) view_.showRecalcMode(active_->worksheet().settings.manualRecalc);
  refreshMenus();
  UpdateCellIndicators();
  refreshMode();
}

namespace {

std::optional<double> numberOf(const std::string& text, char decimal) {
  return parseNumberText(text, decimal);
}

}  // namespace

void Frame::invoke(std::string_view name, const std::string& argument) {
  closeMenu();
  auto form = forms_.find(upperCased(name));
  if (form != forms_.end()) {
    formArgument_ = argument;
    form->second();
    return;
  }
  const CommandEntry* entry = commands_.find(name);
  if (!entry) {
    session_.host().beep();
    return;
  }
  if (entry->needs == Needs::Worksheet && !active_) {
    session_.host().beep();
    return;
  }
  Args args;
  if (!argument.empty() && !entry->params.empty()) {
    const Param& p = entry->params[0];
    if (p.kind == ArgKind::Text) {
      args.push_back(Arg::ofText(argument));
    } else if (p.kind == ArgKind::Number || p.kind == ArgKind::Integer) {
      std::optional<double> x = numberOf(argument, '.');
      args.push_back(x ? Arg::ofNumber(*x) : Arg{});
    } else if (auto r = parsePromptRange(argument)) {
      args.push_back(Arg::ofRange(*r));
    }
  }
  size_t given = args.size();
  gather(*entry, std::move(args), given);
}

void Frame::gather(const CommandEntry& entry, Args args, size_t from) {
  for (size_t i = from; i < entry.params.size(); ++i) {
    const Param& p = entry.params[i];
    if (args.size() <= i) args.resize(i + 1);
    if (args[i].given || p.optional) continue;
    if (p.kind == ArgKind::Range || p.kind == ArgKind::Address) {
      if (!active_) return;
      CellRange initial = p.kind == ArgKind::Range
                              ? active_->selection()
                              : CellRange::cell(active_->row(), active_->col());
      std::string command = entry.name;
      WindowState* w = active_;
      OpenRangePrompt(
          std::string(p.prompt),
          [this, command, w, args, i](const std::string& text) mutable {
            const CommandEntry* e = commands_.find(command);
            if (!e || active_ != w || text.empty()) return;
            std::optional<CellRange> r = parsePromptRange(text);
            if (!r) {
              session_.host().beep();
              return;
            }
            args[i] = Arg::ofRange(*r);
            gather(*e, std::move(args), i + 1);
          },
          initial);
      clearRunOnCancel();
      return;
    }
    std::optional<std::string> answer =
        session_.host().inputBox("TALLOWAY", std::string(p.prompt), "");
    if (!answer) return;
    if (p.kind == ArgKind::Text) {
      args[i] = Arg::ofText(*answer);
    } else {
      std::optional<double> x = numberOf(*answer, session_.settings().decimalSeparator);
      if (!x) {
        session_.host().beep();
        return;
      }
      args[i] = Arg::ofNumber(*x);
    }
  }
  execute(entry.name, args);
}

// The commands that act on the frame's windows rather than on cells.
void Frame::addFrameCommands() {
  // Shows or hides the macro-button bar.
  commands_.add({"MACROBAR", {}, [this](CommandContext&, const Args&) {
                   showBars(session_.settings().macroBar ? "M0" : "M1");
                   refreshMenus();
                   return CommandResult{};
                 }});
  commands_.add({"WINDOWSPLIT", {}, [this](CommandContext&, const Args&) {
                   if (active_) toggleSplit(*active_);
                   return CommandResult{};
                 }});
  // Split panes scroll together: 1 horizontally, 2 vertically (toggled).
  commands_.add(
      {"WINDOWSYNC", {{ArgKind::Integer, "", true}}, [this](CommandContext&, const Args& a) {
         if (!active_) return CommandResult::failed();
         int which = static_cast<int>(numberArg(a, 0));
         if (which == 1) active_->syncHorizontal = !active_->syncHorizontal;
         if (which == 2) active_->syncVertical = !active_->syncVertical;
         active_->worksheet().modified = true;
         return CommandResult{};
       }});
  // The Window menu's list: the window of that number comes forward.
  commands_.add(
      {"WINDOWSHOW", {{ArgKind::Integer, "", true}}, [this](CommandContext&, const Args& a) {
         int n = static_cast<int>(numberArg(a, 0));
         if (n < 1 || n > static_cast<int>(windows_.size())) return CommandResult::failed();
         WindowState* w = windows_[n - 1].get();
         activate(w);
         view_.windowChanged(*w);
         return CommandResult{};
       }});
  // F3 and Shift+F3, and their menu items: the macro at a cell, in step mode or not.
  for (bool step : {false, true}) {
    commands_.add({step ? "MACROSTEP" : "MACRORUN",
                   {{ArgKind::Address, "MACRO: Specify Cell"}},
                   [this, step](CommandContext& cx, const Args& a) {
                     if (!macros_ || (step && macros_->macroRunning())) {
                       session_.host().beep();
                       return CommandResult::failed();
                     }
                     CellRange r = rangeArg(cx, a, 0, ArgKind::Address);
                     macros_->runMacroAt(r.row1, r.col1, step);
                     return CommandResult{};
                   }});
  }
}

void Frame::pointAtRange(const std::string& title, std::function<void(const std::string&)> then,
                         const CellRange& start) {
  if (!active_) return;
  WindowState* w = active_;
  OpenRangePrompt(
      title,
      [this, w, then = std::move(then)](const std::string& text) {
        if (active_ == w) then(text);
      },
      start.valid() ? start : active_->selection());
}

void Frame::runAutoexec(Worksheet& ws) {
  int n = ws.names.FindName("AUTOEXEC");
  if (!macros_ || n <= 0 || !ws.names.entry(n).range.valid()) return;
  CellRange r = ws.names.entry(n).range.ordered();
  session_.host().beep();
  macros_->runMacroAt(r.row1, r.col1, false);
}

void Frame::refreshAll() {
  for (const auto& w : session_.worksheets()) session_.host().cellsChanged(*w, kEmptyRange);
  for (const auto& w : windows_) view_.cursorMoved(*w);
  UpdateCellIndicators();
  refreshMode();
}

void Frame::moveCursor(int rows, int cols) {
  if (!active_) return;
  Pane& p = active_->pane();
  active_->moveTo(p.row + rows, p.col + cols, p.anchored);
  view_.cursorMoved(*active_);
  UpdateCellIndicators();
}

void Frame::setAnchor(bool on) {
  if (!active_) return;
  active_->anchorHeld = on;
  if (on)
    active_->anchorHere();
  else
    active_->moveTo(active_->row(), active_->col());
  view_.cursorMoved(*active_);
}

void Frame::freezeTitles(int type, int row, int col) {
  if (!active_) return;
  Worksheet& ws = active_->worksheet();
  const Pane& p = active_->pane();
  ws.settings.titleRows =
      (type & 1) && row >= p.topRow ? CellRange::of(p.topRow, 0, row, kColumns - 1) : CellRange{};
  ws.settings.titleColumns =
      (type & 2) && col >= p.leftCol ? CellRange::of(0, p.leftCol, kRows - 1, col) : CellRange{};
  ws.modified = true;
  session_.host().cellsChanged(ws, kEmptyRange);
}

bool Frame::focusWorksheet(const std::string& name) {
  for (const auto& w : windows_) {
    const Worksheet& ws = w->worksheet();
    if ((ws.hasFileName && sameFileName(ws.fileName, name)) || sameText(ws.name, name) ||
        sameFileName(baseName(ws.fileName), name)) {
      activate(w.get());
      view_.windowChanged(*w);
      return true;
    }
  }
  session_.host().beep();
  return false;
}

void Frame::showBars(const std::string& items) {
  ProgramSettings& s = session_.settings();
  for (size_t i = 0; i + 1 < items.size(); ++i) {
    bool on = items[i + 1] == '1';
    switch (upperChar(items[i])) {
      case 'Q':
        s.quickBar = on;
        break;
      case 'M':
        s.macroBar = on;
        break;
      case 'S':
        s.statusBar = on;
        break;
      default:
        continue;
    }
  }
  view_.showBars(s.quickBar, s.macroBar, s.statusBar);
}

void Frame::setZoom(int percent) {
  if (!active_) return;
  active_->zoom = std::clamp(percent, 20, 200);
  view_.windowChanged(*active_);
  session_.host().cellsChanged(active_->worksheet(), kEmptyRange);
}

void Frame::showRangeNames(std::shared_ptr<RangeNameModel> model) {
  model->point = RangeNameModel::Point::None;
  session_.host().runDialog(*model);
  if (model->point == RangeNameModel::Point::None || !active_) return;
  // Pointing at the field's range on the sheet, from the range it holds
  // (or the selection the dialog started with).
  std::optional<CellRange> start = parsePromptRange(model->pointedField());
  if (!start) start = parsePromptRange(model->pointStart());
  WindowState* w = active_;
  OpenRangePrompt(
      model->pointPrompt(),
      [this, model, w](const std::string& text) {
        if (active_ != w) return;
        model->pointedField() = text;
        showRangeNames(model);
      },
      start ? *start : active_->selection());
}

void Frame::showProperties(std::shared_ptr<PropertiesModel> model, CellRange selection) {
  model->pointAtRange = false;
  if (!session_.host().runDialog(*model) || !active_) return;
  if (model->pointAtRange) {
    std::optional<CellRange> start = parsePromptRange(model->range);
    WindowState* w = active_;
    OpenRangePrompt(
        "PROPERTY : Specify Range",
        [this, model, w, selection](const std::string& text) {
          if (active_ != w) return;
          model->range = text;
          showProperties(model, selection);
        },
        start ? *start : selection);
    return;
  }
  std::optional<CellRange> r = parsePromptRange(model->range);
  if (!r) return session_.host().beep();
  CommandContext cx = context();
  CommandResult result = ApplyProperties(cx, *r, model->values);
  show(result, &active_->worksheet());
}

// The frame's dialogs: each fills its model, and OK runs the commands.
void Frame::addForms() {
  Host& host = session_.host();
  forms_["RANGEFORMAT"] = [this, &host] {
    if (!active_) return host.beep();
    FormatModel model(session_.settings().formats);
    if (!host.runDialog(model)) return;
    execute("RANGEFORMAT", {Arg::ofRange(active_->selection()), Arg::ofText(model.code)});
  };
  forms_["WIDTHHEIGHT"] = [this, &host] {
    if (!active_) return host.beep();
    Worksheet& ws = active_->worksheet();
    CellRange r = active_->selection();
    WidthHeightModel model(columnCharacters(ws, r.col1), ws.rowPixels(r.row1));
    if (!host.runDialog(model)) return;
    execute(model.column() ? "COLUMNWIDTH" : "ROWHEIGHTS",
            {Arg::ofRange(r), Arg::ofNumber(model.value)});
  };
  forms_["COPYDIALOG"] = [this, &host] {
    if (!active_) return host.beep();
    Worksheet& ws = active_->worksheet();
    CopyModel model(ws.rangeText(active_->selection()),
                    ws.addressText(active_->row(), active_->col()));
    if (!host.runDialog(model)) return;
    std::optional<CellRange> from = parsePromptRange(model.from);
    std::optional<CellRange> to = parsePromptRange(model.to);
    if (!from || !to) return host.beep();
    execute("COPYVALUE", {Arg::ofNumber(model.kind), Arg::ofRange(*from), Arg::ofRange(*to),
                          Arg::ofNumber(model.factorValue())});
  };
  const std::pair<const char*, uint8_t> propertyForms[] = {
      {"PROPERTIES", 0},           {"PROPFORMAT", kPageFormat},
      {"PROPSHADE", kPageShade},   {"PROPTYPEFACE", kPageTypeface},
      {"PROPPREFIX", kPagePrefix}, {"PROPLOCK", kPageLock},
      {"PROPBORDER", kPageBorder}};
  for (const auto& [name, page] : propertyForms) {
    uint8_t bit = page;
    forms_[name] = [this, &host, bit] {
      if (!active_) return host.beep();
      Worksheet& ws = active_->worksheet();
      CellRange sel = active_->selection();
      CellRange top = sel.ordered();
      showProperties(
          std::make_shared<PropertiesModel>(PropertiesOf(ws, top.row1, top.col1), ws.rangeText(sel),
                                            bit, session_.settings().fontNames),
          sel);
    };
  }
  forms_["RANGENAME"] = [this, &host] {
    if (!active_) return host.beep();
    showRangeNames(std::make_shared<RangeNameModel>(
        *this, active_->worksheet().rangeText(active_->selection())));
  };
  forms_["GENERALSETTINGS"] = [this, &host] {
    Worksheet* ws = active_ ? &active_->worksheet() : nullptr;
    GeneralSettingsModel model(generalSettingsOf(session_.settings(), ws));
    model.host = &host;
    if (!host.runDialog(model)) return;
    std::string toolbar = session_.settings().toolMacros;
    CommandContext cx = context();
    show(ApplyGeneralSettings(cx, model.values), ws);
    if (session_.settings().toolMacros != toolbar) view_.toolbarFileChanged(toolbar);
  };
  forms_["DOCINFO"] = [this, &host] {
    if (!active_) return host.beep();
    Worksheet& ws = active_->worksheet();
    DocumentInfoModel model(ws);
    if (!host.runDialog(model)) return;
    if (model.title != ws.settings.title)
      execute("FILEDOC", {Arg::ofNumber(0), Arg::ofText(model.title)});
    if (model.comments != ws.settings.comments)
      execute("FILEDOC", {Arg::ofNumber(1), Arg::ofText(model.comments)});
  };
  forms_["SYSTEMINFO"] = [this, &host] {
    SystemInfoModel model(session_);
    host.runDialog(model);
  };
}

// --- Menus --------------------------------------------------------------------------------

void Frame::refreshMenus() {
  MenuState s;
  s.haveWindow = active_ != nullptr;
  s.macroBar = session_.settings().macroBar;
  if (active_) {
    Worksheet& ws = active_->worksheet();
    s.canUndo = ws.undo && !ws.undo->empty();
    s.manualRecalc = ws.settings.manualRecalc;
    s.split = active_->split();
    s.syncHorizontal = active_->syncHorizontal;
    s.syncVertical = active_->syncVertical;
  }
  for (size_t i = 0; i < windows_.size(); ++i) {
    const std::string& c = windows_[i]->caption;
    s.windows.push_back(c.substr(c.find_last_of('/') + 1));
    if (windows_[i].get() == active_) s.activeWindow = static_cast<int>(i);
  }
  s.recentFiles = session_.settings().history;
  s.recentShown = session_.settings().historySize;
  if (s == menuState_) return;
  menuState_ = std::move(s);
  if (menuBuilt_) {
    MenuBar bar = buildMenuBar(menuState_);
    if (bar == menuBar_) return;
    menuBar_ = std::move(bar);
  }
  // Open menus keep what they show until they close.
  if (menuCursor_.open())
    menusStale_ = true;
  else
    view_.menusChanged();
}

void Frame::openMenu(char mnemonic) {
  if (entryActive() || prompt_) return;
  int first = mnemonic ? itemWithMnemonic(menuBar(), mnemonic) : nextSelectable(menuBar(), -1, 1);
  if (first < 0) return;
  // The slash and Alt highlight the bar, where letters choose a menu; a
  // mnemonic drops its menu down at once.
  menuCursor_.path = {first};
  if (mnemonic) {
    int item = nextSelectable(menuBar()[first].items, -1, 1);
    if (item >= 0) menuCursor_.path.push_back(item);
  }
  view_.showMenu(menuCursor_);
  refreshMode();
}

void Frame::closeMenu() {
  if (!menuCursor_.open()) return;
  menuCursor_.path.clear();
  menuClosed();
}

void Frame::menuClosed() {
  view_.showMenu(menuCursor_);
  if (menusStale_) {
    menusStale_ = false;
    view_.menusChanged();
  }
  refreshMode();
}

void Frame::chooseMenuItem(const MenuItem& item) {
  std::string command = item.command, argument = item.argument;
  bool enabled = item.enabled;
  closeMenu();
  if (!enabled) {
    session_.host().beep();
    return;
  }
  if (!command.empty()) invoke(command, argument);
}

bool Frame::keyInMenu(const KeyPress& k) {
  std::vector<int>& path = menuCursor_.path;
  const std::vector<MenuItem>& items = currentItems(menuBar(), menuCursor_);
  auto dropDown = [&](int bar) {
    path = {bar};
    int item = nextSelectable(menuBar()[bar].items, -1, 1);
    if (item >= 0) path.push_back(item);
  };
  // Enter on an item: a submenu opens, a command runs (and the menus close).
  bool chose = false;
  auto enter = [&](int index) {
    path.back() = index;
    const MenuItem& item = items[index];
    if (item.submenu) {
      int first = nextSelectable(item.items, -1, 1);
      if (first >= 0) path.push_back(first);
      return;
    }
    chose = true;
    chooseMenuItem(item);
  };
  switch (k.key) {
    case Key::Escape:
      path.pop_back();
      break;
    case Key::Alt:
    case Key::F10:
      path.clear();
      break;
    case Key::Left:
    case Key::Right: {
      int direction = k.key == Key::Right ? 1 : -1;
      const MenuItem* h = highlighted(menuBar(), menuCursor_);
      if (k.key == Key::Right && path.size() >= 2 && h && h->submenu) {
        enter(path.back());
        break;
      }
      if (k.key == Key::Left && path.size() > 2) {
        path.pop_back();
        break;
      }
      int bar = nextSelectable(menuBar(), path[0], direction);
      if (bar < 0) break;
      if (path.size() >= 2)
        dropDown(bar);
      else
        path = {bar};
      break;
    }
    case Key::Up:
    case Key::Down:
      if (path.size() == 1) {
        dropDown(path[0]);
      } else {
        int next = nextSelectable(items, path.back(), k.key == Key::Down ? 1 : -1);
        if (next >= 0) path.back() = next;
      }
      break;
    case Key::Enter:
      if (path.size() == 1)
        dropDown(path[0]);
      else
        enter(path.back());
      break;
    case Key::Character: {
      int found = itemWithMnemonic(items, k.ch);
      if (found < 0) {
        session_.host().beep();
        return true;
      }
      if (path.size() == 1)
        dropDown(found);
      else
        enter(found);
      break;
    }
    default:
      return true;
  }
  if (chose) return true;
  if (path.empty()) {
    menuClosed();
  } else {
    view_.showMenu(menuCursor_);
    refreshMode();
  }
  return true;
}

std::string acceleratorText(const KeyPress& k) {
  std::string out;
  if (k.ctrl) out += "Ctrl+";
  if (k.alt) out += "Alt+";
  if (k.shift) out += "Shift+";
  if (k.key == Key::Character) {
    out += upperChar(k.ch);
  } else if (k.key >= Key::F1 && k.key <= Key::F12) {
    out += "F" + std::to_string(static_cast<int>(k.key) - static_cast<int>(Key::F1) + 1);
  } else {
    return {};
  }
  return out;
}

}  // namespace tw
