#include "ui/main_window.h"

#include <QPointer>
#include <QTimer>

#include "graphs/graph_frame.h"
#include "print/print_frame.h"
#include "ui/graph_view.h"

#include "shell/window_placement.h"

#include <QColorDialog>
#include <tuple>

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "core/cell_display.h"
#include "core/worksheet.h"
#include "files/program_session.h"
#include "files/settings_file.h"
#include "files/worksheet_file.h"
#include "ui/grid_pane.h"
#include "ui/macro_bar.h"
#include "ui/text_codec.h"
#include "ui/worksheet_window.h"

namespace tw {

namespace {

QColor screenColour(int index) {
  uint32_t rgb = toRgb(kPalette[index & 15]);
  return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

std::optional<KeyPress> translate(const QKeyEvent* e) {
  KeyPress k;
  k.shift = e->modifiers() & Qt::ShiftModifier;
  k.ctrl = e->modifiers() & Qt::ControlModifier;
  k.alt = e->modifiers() & Qt::AltModifier;
  switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      k.key = Key::Enter;
      break;
    case Qt::Key_Escape:
      k.key = Key::Escape;
      break;
    case Qt::Key_Pause:
    case Qt::Key_Cancel:
      k.key = Key::Break;
      break;
    case Qt::Key_Tab:
      k.key = Key::Tab;
      break;
    case Qt::Key_Backspace:
      k.key = Key::Backspace;
      break;
    case Qt::Key_Delete:
      k.key = Key::Delete;
      break;
    case Qt::Key_Insert:
      k.key = Key::Insert;
      break;
    case Qt::Key_Left:
      k.key = Key::Left;
      break;
    case Qt::Key_Right:
      k.key = Key::Right;
      break;
    case Qt::Key_Up:
      k.key = Key::Up;
      break;
    case Qt::Key_Down:
      k.key = Key::Down;
      break;
    case Qt::Key_Home:
      k.key = Key::Home;
      break;
    case Qt::Key_End:
      k.key = Key::End;
      break;
    case Qt::Key_PageUp:
      k.key = Key::PageUp;
      break;
    case Qt::Key_PageDown:
      k.key = Key::PageDown;
      break;
    default:
      if (e->key() >= Qt::Key_F1 && e->key() <= Qt::Key_F12) {
        k.key = static_cast<Key>(static_cast<int>(Key::F1) + (e->key() - Qt::Key_F1));
        break;
      }
      if (e->key() == Qt::Key_Alt && !k.ctrl && !k.shift) {
        k.key = Key::Alt;
        k.alt = false;
        break;
      }
      if ((k.ctrl || k.alt) && e->key() >= Qt::Key_A && e->key() <= Qt::Key_Z) {
        // Ctrl and Alt with a letter: the letter, for accelerators and mnemonics.
        k.key = Key::Character;
        k.ch = static_cast<char>('a' + (e->key() - Qt::Key_A));
        break;
      }
      if (k.ctrl || k.alt) return std::nullopt;
      if (e->text().size() == 1 && e->text()[0].isPrint()) {
        std::string b = fromQt(e->text());
        k.key = Key::Character;
        k.ch = b[0];
        break;
      }
      return std::nullopt;
  }
  return k;
}

}  // namespace

TForm1::TForm1(const Options& options, QWidget* parent)
    : QMainWindow(parent),
      options_(options),
      host_(*this),
      session_(host_),
      frame_(prepareSession(session_), *this) {
  addGraphFrame(frame_);
  addPrintFrame(frame_);
  setObjectName("TForm1");
  connect(&heldTimer_, &QTimer::timeout, this, &TForm1::releaseHeldKeys);
  if (options_.readSettings) {
    std::string dir = settingsDir();
    ReadSettings(dir + "/" + kSettingsFileName, session_.settings(), 8664,
                 options_.programDirectory);
    ReadUserFunctions(dir + "/" + kUserFunctionsFileName, session_.programFunctions());
  }

  mdi = new QMdiArea(this);
  mdi->setObjectName("MDI");
  mdi->setViewMode(QMdiArea::SubWindowView);
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  buildInputRow();
  layout->addWidget(Edit1->parentWidget());
  layout->addWidget(prompt1);
  {
    // The macro-button bar stands beside the worksheet area.
    auto* area = new QHBoxLayout;
    area->setContentsMargins(0, 0, 0, 0);
    area->setSpacing(0);
    macroBarWidget_ = new tbarmenu1(macroButtons_, central);
    area->addWidget(macroBarWidget_);
    area->addWidget(mdi, 1);
    layout->addLayout(area, 1);
    connect(macroBarWidget_, &tbarmenu1::pick, this,
            [this](const std::string& macro) { runMacroButton(frame_, macro); });
    connect(macroBarWidget_, &tbarmenu1::defineButton, this, [this](int k) {
      QPoint corner = macroBarWidget_->mapToGlobal(QPoint(1, macroButtons_.rowTop(k)));
      defineMacroButton(host_, macroButtons_, k,
                        {corner.x(), corner.y(), macroBarWidget_->width() - 2, kMacroButtonHeight});
      macroBarWidget_->update();
    });
    macroBarWidget_->setVisible(session_.settings().macroBar);
    if (options_.readSettings) loadMacroButtons();
  }
  setCentralWidget(central);
  frame_.refreshMenus();
  buildMenus();
  buildQuickBar();
  buildFormatBar();
  buildStatusBar();
  connect(mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
    if (!sub) return;
    if (auto* f = qobject_cast<TForm2*>(sub->widget())) windowActivated(f);
  });
  qApp->installEventFilter(this);
  // Settings are written once at the end, however the program ends.
  connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { writeSettings(); });
  resize(1000, 700);
  updateTitle();
  showModeIndicator(Mode::Ready);
}

TForm1::~TForm1() {
  qApp->removeEventFilter(this);
  closing_ = true;
  frame_.closeAll(CloseMode::DiscardUnasked);
}

std::string TForm1::settingsDir() const {
  return settingsDirectory(options_.programDirectory);
}

// --- Building the frame --------------------------------------------------------------

void TForm1::buildInputRow() {
  auto* row = new QWidget(this);
  auto* h = new QHBoxLayout(row);
  h->setContentsMargins(4, 2, 4, 2);
  h->setSpacing(4);
  address = new QLabel(row);
  address->setObjectName("address");
  address->setMinimumWidth(90);
  address->setFrameShape(QFrame::Panel);
  address->setFrameShadow(QFrame::Sunken);
  EnterKey = new QToolButton(row);
  EnterKey->setObjectName("EnterKey");
  EnterKey->setText(QString::fromUtf8("\u2714"));
  EnterKey->setToolTip("Enter");
  EscKey = new QToolButton(row);
  EscKey->setObjectName("EscKey");
  EscKey->setText(QString::fromUtf8("\u2716"));
  EscKey->setToolTip("Esc");
  EnterKey->hide();
  EscKey->hide();
  Edit1 = new QLineEdit(row);
  Edit1->setObjectName("Edit1");
  Edit1->setFocusPolicy(Qt::ClickFocus);
  Edit1->installEventFilter(this);
  description = new QLabel(row);
  description->setObjectName("description");
  h->addWidget(address);
  h->addWidget(EnterKey);
  h->addWidget(EscKey);
  h->addWidget(description);
  h->addWidget(Edit1, 1);
  connect(EnterKey, &QToolButton::clicked, this, [this] { frame_.key(KeyPress::of(Key::Enter)); });
  connect(EscKey, &QToolButton::clicked, this, [this] { frame_.key(KeyPress::of(Key::Escape)); });

  prompt1 = new QWidget(this);
  prompt1->setObjectName("prompt1");
  auto* p = new QHBoxLayout(prompt1);
  p->setContentsMargins(4, 2, 4, 2);
  promptCaption = new QLabel(prompt1);
  promptText = new QLineEdit(prompt1);
  promptText->setReadOnly(true);
  promptText->setFocusPolicy(Qt::NoFocus);
  promptNames = new QComboBox(prompt1);
  promptNames->setObjectName("promptNames");
  promptNames->setFocusPolicy(Qt::NoFocus);
  promptNames->setToolTip("Range names");
  connect(promptNames, &QComboBox::textActivated, this, [this](const QString& name) {
    if (!name.isEmpty()) frame_.setPromptText(fromQt(name));
  });
  auto* accept = new QToolButton(prompt1);
  accept->setText("OK");
  auto* cancel = new QToolButton(prompt1);
  cancel->setText("Cancel");
  p->addWidget(promptCaption);
  p->addWidget(promptText, 1);
  p->addWidget(promptNames);
  p->addWidget(accept);
  p->addWidget(cancel);
  connect(accept, &QToolButton::clicked, this, [this] { frame_.acceptPrompt(); });
  connect(cancel, &QToolButton::clicked, this, [this] { frame_.cancelPrompt(); });
  prompt1->hide();
}

void TForm1::buildMenus() {
  menuBar()->clear();
  // The old menus go once control returns: one of their items may be
  // running the command that changed them.
  for (auto& [path, menu] : menus_)
    if (path.size() == 1) {
      menu->setParent(nullptr);
      menu->deleteLater();
    }
  menus_.clear();
  actions_.clear();
  const MenuBar& bar = frame_.menuBar();
  for (size_t i = 0; i < bar.size(); ++i) {
    const MenuItem& m = bar[i];
    QMenu* menu = menuBar()->addMenu(toQt(m.caption));
    std::vector<int> path{static_cast<int>(i)};
    menus_[path] = menu;
    actions_[path] = menu->menuAction();
    menu->menuAction()->setVisible(m.visible);
    addItems(menu, m.items, path);
  }
}

void TForm1::addItems(QMenu* menu, const std::vector<MenuItem>& items, std::vector<int> path) {
  // A menu closed by a click elsewhere closes the frame's menus too.
  connect(menu, &QMenu::aboutToHide, this, [this] {
    if (!mirroring_ && frame_.menuOpen()) frame_.closeMenu();
  });
  for (size_t k = 0; k < items.size(); ++k) {
    const MenuItem& item = items[k];
    std::vector<int> at = path;
    at.push_back(static_cast<int>(k));
    QAction* action;
    if (item.separator) {
      action = menu->addSeparator();
    } else if (item.submenu) {
      QMenu* sub = menu->addMenu(toQt(item.caption));
      action = sub->menuAction();
      menus_[at] = sub;
      addItems(sub, item.items, at);
    } else {
      QString caption = toQt(item.caption);
      if (!item.accelerator.empty() && !caption.contains('\t'))
        caption += "\t" + toQt(item.accelerator);
      action = menu->addAction(caption);
      MenuItem copy = item;
      connect(action, &QAction::triggered, this, [this, copy] { frame_.chooseMenuItem(copy); });
    }
    if (!item.name.empty()) action->setObjectName(toQt(item.name));
    if (!item.hint.empty()) action->setStatusTip(toQt(item.hint));
    action->setVisible(item.visible);
    action->setEnabled(item.enabled);
    action->setCheckable(item.checkable);
    action->setChecked(item.checked);
    actions_[at] = action;
  }
}

QMenu* TForm1::menuAt(const std::vector<int>& path) const {
  auto it = menus_.find(path);
  return it == menus_.end() ? nullptr : it->second;
}

QAction* TForm1::actionAt(const std::vector<int>& path) const {
  auto it = actions_.find(path);
  return it == actions_.end() ? nullptr : it->second;
}

void TForm1::buildQuickBar() {
  QToolBar* quick = quickBar_ = addToolBar("Quick buttons");
  quick->setObjectName("QuickBar");
  for (auto [caption, command] :
       std::vector<std::pair<const char*, const char*>>{{"New", "FILENEW"},
                                                        {"Open", "FILEOPEN"},
                                                        {"Save", "FILESAVE"},
                                                        {"Undo", "UNDO"},
                                                        {"Calc", "CALC"},
                                                        {"Copy", "COPY"},
                                                        {"Move", "MOVE"},
                                                        {"Erase", "ERASE"}}) {
    std::string c = command;
    quick->addAction(caption, this, [this, c] { frame_.invoke(c); });
  }
  // Rows and columns of the selection, without a prompt.
  for (auto [caption, command, step] :
       std::vector<std::tuple<const char*, const char*, int>>{{"Ins Row", "ROWSBUTTON", 1},
                                                              {"Del Row", "ROWSBUTTON", -1},
                                                              {"Ins Col", "COLUMNSBUTTON", 1},
                                                              {"Del Col", "COLUMNSBUTTON", -1}}) {
    std::string c = command;
    int n = step;
    quick->addAction(caption, this, [this, c, n] { frame_.execute(c, {Arg::ofNumber(n)}); });
  }
  // Ascend / Descend Sort: the selection's rows on its first column.
  quick->addAction("Ascend", this, [this] { frame_.execute("SORTASCEND"); });
  quick->addAction("Descend", this, [this] { frame_.execute("SORTDESCEND"); });
  // Speed Fill: the selection continued from its first cell.
  quick->addAction("Speed Fill", this, [this] { frame_.execute("SPEEDFILL"); });
  // Find & Replace, Justify and the text editor open their dialogs.
  quick->addAction("Find", this, [this] { frame_.invoke("FINDREPLACE"); });
  quick->addAction("Justify", this, [this] { frame_.invoke("JUSTIFY"); });
  quick->addAction("Text Processor", this, [this] { frame_.invoke("WORDEDIT"); });
  // Quick Graph (SpQgr): the selection's columns as a new named graph, shown.
  QAction* quickGraph =
      quick->addAction("Quick Graph", this, [this] { frame_.execute("QUICKGRAPH"); });
  quickGraph->setObjectName("SpQgr");
  // User Button (spbtok): armed, the next drag on a grid makes a button there.
  QAction* userButton = quick->addAction("User Button");
  userButton->setObjectName("spbtok");
  userButton->setCheckable(true);
  quick->setVisible(session_.settings().quickBar);
}

// The format bar: each control applies one attribute to the selection.
void TForm1::buildFormatBar() {
  addToolBarBreak();
  QToolBar* bar = addToolBar("Format");
  bar->setObjectName("FormatBar");
  auto run = [this](const char* command, Arg value) {
    frame_.execute(command, {std::move(value)});
  };
  for (auto [caption, bit] :
       std::vector<std::pair<const char*, int>>{{"B", 1}, {"I", 2}, {"U", 4}}) {
    QAction* a =
        bar->addAction(caption, this, [run, bit] { run("FORMATSTYLE", Arg::ofNumber(bit)); });
    QFont f = font();
    f.setBold(bit == 1);
    f.setItalic(bit == 2);
    f.setUnderline(bit == 4);
    a->setFont(f);
  }
  auto* face = new QComboBox(bar);
  face->setObjectName("FontBox");
  face->addItem("(default)", 255);
  for (size_t i = 0; i < session_.settings().fontNames.size() && i < 255; ++i)
    face->addItem(toQt(session_.settings().fontNames[i]), int(i));
  connect(face, &QComboBox::activated, this,
          [run, face](int i) { run("FORMATFONT", Arg::ofNumber(face->itemData(i).toInt())); });
  bar->addWidget(face);
  auto* size = new QComboBox(bar);
  size->setObjectName("SizeBox");
  size->setEditable(true);
  for (int s : {8, 9, 10, 11, 12, 14, 16, 18, 20, 24, 28, 36}) size->addItem(QString::number(s));
  size->setCurrentText(QString());
  connect(size, &QComboBox::textActivated, this, [run](const QString& t) {
    bool ok = false;
    double v = t.toDouble(&ok);
    if (ok) run("FORMATSIZE", Arg::ofNumber(v));
  });
  bar->addWidget(size);
  bar->addAction("A+", this, [run] { run("FORMATSTEP", Arg::ofNumber(1)); });
  bar->addAction("A-", this, [run] { run("FORMATSTEP", Arg::ofNumber(-1)); });
  bar->addAction("B", this,
                 [this, run] {
                   QColor c = QColorDialog::getColor(Qt::white, this, "Background");
                   if (c.isValid()) run("FORMATBACK", Arg::ofNumber(double(c.rgb() & 0xFFFFFF)));
                 })
      ->setToolTip("Background colour");
  bar->addAction("F", this,
                 [this, run] {
                   QColor c = QColorDialog::getColor(Qt::black, this, "Text colour");
                   if (c.isValid()) run("FORMATTEXT", Arg::ofNumber(double(c.rgb() & 0xFFFFFF)));
                 })
      ->setToolTip("Text colour");
  auto* format = new QComboBox(bar);
  format->setObjectName("FormatBox");
  format->addItem("Format");
  for (const NamedFormat& f : session_.settings().formats)
    format->addItem(toQt(f.code + ", " + f.description));
  connect(format, &QComboBox::activated, this, [run, format](int i) {
    if (i > 0) run("FORMATBOX", Arg::ofText(fromQt(format->itemText(i))));
    format->setCurrentIndex(0);  // the caption returns to "Format"
  });
  bar->addWidget(format);
  bar->addAction("Protect/Unprotect Sheet", this, [this] { frame_.execute("PROTECTSHEET"); });
}

void TForm1::buildStatusBar() {
  auto panel = [this](const char* name, const QString& text) {
    auto* l = new QLabel(text, this);
    l->setObjectName(name);
    l->setAlignment(Qt::AlignCenter);
    l->setMinimumWidth(48);
    l->setAutoFillBackground(true);
    return l;
  };
  PnMode = panel("PnMode", "READY");
  PnMode->setMinimumWidth(70);
  PnCap = panel("PnCap", "CAP");
  PnScr = panel("PnScr", "SCR");
  PnNum = panel("PnNum", "NUM");
  PnIns = panel("PnIns", "INS");
  PnAuto = panel("PnAuto", "Auto");
  gauge = new QProgressBar(this);
  gauge->setObjectName("gauge");
  gauge->setMaximumWidth(160);
  gauge->hide();
  statusBar()->addWidget(PnMode);
  statusBar()->addWidget(gauge);
  for (QLabel* l : {PnCap, PnScr, PnNum, PnIns, PnAuto}) statusBar()->addPermanentWidget(l);
  showLocks(queryLockToggles().value_or(locks_));
  setToggle(PnIns, frame_.insertMode());
  statusBar()->setVisible(session_.settings().statusBar);
}

void TForm1::changeEvent(QEvent* e) {
  if (e->type() == QEvent::ActivationChange && isActiveWindow() && PnCap)
    showLocks(queryLockToggles().value_or(locks_));
  QMainWindow::changeEvent(e);
}

// The lock panels show what the keyboard holds; Scroll Lock also decides
// whether Enter moves the cursor.
void TForm1::showLocks(const LockToggles& t) {
  locks_ = t;
  setToggle(PnCap, t.caps);
  setToggle(PnNum, t.num);
  setToggle(PnScr, t.scroll);
  frame_.setEnterMoves(t.scroll);
}

void TForm1::setToggle(QLabel* panel, bool on) {
  QPalette pal = panel->palette();
  pal.setColor(QPalette::Window, on ? Qt::black : QColor(192, 192, 192));
  pal.setColor(QPalette::WindowText, on ? Qt::white : Qt::black);
  panel->setPalette(pal);
}

void TForm1::updateTitle() {
  QString title = "TALLOWAY";
  TForm2* f = activeForm();
  // A maximized window's name is shown by the frame itself, in brackets.
  auto* sub = f ? qobject_cast<QMdiSubWindow*>(f->parentWidget()) : nullptr;
  bool maximized = sub && sub->isMaximized();
  if (!stepText_.empty())
    title += " - " + toQt(stepText_);
  else if (f && !maximized)
    title += " - " + f->windowTitle();
  setWindowTitle(title);
}

void TForm1::showMacroStep(const std::string& text) {
  stepText_ = text;
  updateTitle();
}

void TForm1::showGraph(int graph, bool maximised, int closeAfterMs, bool modal) {
  TForm2* w = activeForm();
  if (!w) return;
  delete graphView_;
  graphView_ = new TGraphView(*this, w->state().worksheet(), graph);
  graphView_->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(graphView_, &QObject::destroyed, this, [this](QObject* gone) {
    if (gone == graphView_) graphView_ = nullptr;
  });
  if (closeAfterMs > 0) {
    QPointer<TGraphView> view = graphView_;
    QTimer::singleShot(closeAfterMs, this, [view] {
      if (view) view->close();
    });
  }
  if (maximised)
    graphView_->showMaximized();
  else
    graphView_->show();
  graphView_->raise();
  graphView_->activateWindow();
  if (modal) graphView_->exec();
}

void TForm1::showBars(bool quick, bool macro, bool status) {
  if (quickBar_) quickBar_->setVisible(quick);
  if (macroBarWidget_) macroBarWidget_->setVisible(macro);
  statusBar()->setVisible(status);
}

// --- Windows ----------------------------------------------------------------------------

TForm2* TForm1::formFor(const WindowState* w) const {
  auto it = forms_.find(w);
  return it == forms_.end() ? nullptr : it->second;
}

TForm2* TForm1::activeForm() const {
  return formFor(const_cast<Frame&>(frame_).active());
}

std::vector<TForm2*> TForm1::forms() const {
  std::vector<TForm2*> out;
  for (const auto& w : frame_.windows())
    if (TForm2* f = formFor(w.get())) out.push_back(f);
  return out;
}

TForm2* TForm1::newWorksheet() {
  frame_.execute("FILENEW");
  return activeForm();
}

TForm2* TForm1::openFile(const std::string& path) {
  if (!frame_.execute("FILEOPEN", {Arg::ofText(path)}).ok) return nullptr;
  return activeForm();
}

bool TForm1::saveWindow(TForm2* f, bool saveAs) {
  if (!f) return false;
  frame_.activate(&f->state());
  return frame_.execute(saveAs ? "FILESAVEAS" : "FILESAVE").ok;
}

void TForm1::windowOpened(WindowState& state) {
  auto* form = new TForm2(*this, frame_, state);
  form->setWindowTitle(toQt(state.caption).section('/', -1));
  forms_[&state] = form;
  // A maximized window keeps the frame maximized for the next one.
  QMdiSubWindow* current = mdi->activeSubWindow();
  bool maximized = session_.settings().maximised || (current && current->isMaximized());
  QMdiSubWindow* sub = mdi->addSubWindow(form);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  QSize area = mdi->viewport()->size();
  int n = static_cast<int>(mdi->subWindowList().size()) - 1;
  Rect place = cascadePlace(n, area.width(), area.height());
  sub->setGeometry(place.x, place.y, place.width, place.height);
  if (maximized)
    sub->showMaximized();
  else
    sub->show();
  mdi->setActiveSubWindow(sub);
  form->Grid1->setFocus();
}

void TForm1::windowClosing(WindowState& state) {
  TForm2* form = formFor(&state);
  forms_.erase(&state);
  if (!form) return;
  form->closingFromFrame = true;
  // The window's state goes now: the widgets must not paint it again.
  if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget())) {
    sub->hide();
    mdi->removeSubWindow(sub);
    if (closing_)
      delete sub;
    else
      sub->deleteLater();
  }
  // Once the frame has let the window go, the caption names what is left.
  if (!closing_) QTimer::singleShot(0, this, [this] { updateTitle(); });
}

void TForm1::windowChanged(WindowState& state) {
  TForm2* form = formFor(&state);
  if (!form) return;
  form->setWindowTitle(toQt(state.caption).section('/', -1));
  form->showLayout();
  if (frame_.active() == &state)
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget()))
      if (mdi->activeSubWindow() != sub) mdi->setActiveSubWindow(sub);
  updateTitle();
}

void TForm1::windowActivated(TForm2* f) {
  if (!f) return;
  if (frame_.active() != &f->state()) frame_.activate(&f->state());
  updateTitle();
  f->refresh();
}

void TForm1::repaintCells(const Worksheet& ws, const CellRange& range) {
  for (const auto& w : frame_.windows()) {
    if (&w->worksheet() != &ws) continue;
    if (TForm2* f = formFor(w.get())) f->refreshCells(range);
  }
}

void TForm1::arrangeWindows(Arrangement how) {
  switch (how) {
    case Arrangement::Tile:
    case Arrangement::Cascade: {
      QList<QMdiSubWindow*> subs = mdi->subWindowList(QMdiArea::CreationOrder);
      QSize area = mdi->viewport()->size();
      std::vector<Rect> tiles = tilePlaces(int(subs.size()), area.width(), area.height());
      for (int i = 0; i < subs.size(); ++i) {
        if (subs[i]->isMaximized() || subs[i]->isMinimized()) subs[i]->showNormal();
        Rect r = how == Arrangement::Tile ? tiles[i] : cascadePlace(i, area.width(), area.height());
        subs[i]->setGeometry(r.x, r.y, r.width, r.height);
        if (how == Arrangement::Cascade) subs[i]->raise();
      }
      if (QMdiSubWindow* active = mdi->activeSubWindow()) active->raise();
      break;
    }
    case Arrangement::Next:
      mdi->activateNextSubWindow();
      break;
  }
}

void TForm1::exitProgram() {
  QMetaObject::invokeMethod(
      this, [this] { close(); }, Qt::QueuedConnection);
}

// --- FrameView -------------------------------------------------------------------------------

void TForm1::showModeIndicator(Mode m) {
  ModeLook look = modeLook(m);
  PnMode->setText(look.text);
  QPalette pal = PnMode->palette();
  pal.setColor(QPalette::Window, screenColour(look.colour >> 4));
  pal.setColor(QPalette::WindowText, screenColour(look.colour & 15));
  PnMode->setPalette(pal);
  if (m == Mode::Wait) QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TForm1::showGauge(int percent) {
  if (percent < 0) {
    gauge->hide();
    return;
  }
  gauge->setValue(percent);
  gauge->show();
}

void TForm1::showInput(const std::string& text, size_t caret, bool red, bool active) {
  QString t = toQt(text);
  if (Edit1->text() != t) Edit1->setText(t);
  Edit1->setCursorPosition(static_cast<int>(caret));
  QPalette pal = Edit1->palette();
  pal.setColor(QPalette::Text, red ? Qt::red : Qt::black);
  pal.setColor(QPalette::Base, active ? palette().color(QPalette::Base) : QColor(192, 192, 192));
  Edit1->setPalette(pal);
  EnterKey->setVisible(active);
  EscKey->setVisible(active);
  if (active && !Edit1->hasFocus()) Edit1->setFocus();
  if (!active && Edit1->hasFocus())
    if (TForm2* f = activeForm()) f->Grid1->setFocus();
}

void TForm1::showAddress(const std::string& text) {
  address->setText(toQt(text));
}

void TForm1::showDescription(const std::string& text) {
  description->setText(toQt(text));
}

void TForm1::showPrompt(bool open, const std::string& title, const std::string& text) {
  if (open && !prompt1->isVisible()) {
    promptNames->clear();
    if (WindowState* w = frame_.active())
      for (const RangeName& n : w->worksheet().names.entries()) promptNames->addItem(toQt(n.name));
    promptNames->setVisible(promptNames->count() > 0);
    promptNames->setCurrentIndex(-1);
  }
  prompt1->setVisible(open);
  promptCaption->setText(toQt(title));
  promptText->setText(toQt(text));
}

void TForm1::cursorMoved(WindowState& w) {
  if (TForm2* f = formFor(&w)) f->refresh(true);
}

void TForm1::menusChanged() {
  buildMenus();
}

void TForm1::showMenu(const MenuCursor& cursor) {
  mirroring_ = true;
  // Close what the cursor no longer opens, deepest first.
  for (auto it = menus_.rbegin(); it != menus_.rend(); ++it) {
    const std::vector<int>& path = it->first;
    bool wanted = cursor.path.size() > path.size() &&
                  std::equal(path.begin(), path.end(), cursor.path.begin());
    if (!wanted && it->second->isVisible()) it->second->hide();
  }
  if (cursor.open()) {
    QAction* barAction = actionAt({cursor.path[0]});
    if (cursor.path.size() == 1) {
      menuBar()->setActiveAction(barAction);
    } else {
      std::vector<int> path{cursor.path[0]};
      QPoint at = menuBar()->mapToGlobal(menuBar()->actionGeometry(barAction).bottomLeft());
      for (size_t depth = 1; depth < cursor.path.size(); ++depth) {
        QMenu* menu = menuAt(path);
        if (!menu) break;
        if (!menu->isVisible()) menu->popup(at);
        path.push_back(cursor.path[depth]);
        QAction* item = actionAt(path);
        menu->setActiveAction(item);
        if (item) at = menu->mapToGlobal(menu->actionGeometry(item).topRight());
      }
    }
  } else {
    menuBar()->setActiveAction(nullptr);
  }
  mirroring_ = false;
}

void TForm1::showRecalcMode(bool manual) {
  PnAuto->setText(manual ? "Manual" : "Auto");
}

void TForm1::showEndMode(bool on) {
  QPalette pal = address->palette();
  pal.setColor(QPalette::WindowText, on ? Qt::blue : palette().color(QPalette::WindowText));
  address->setPalette(pal);
}

void TForm1::showInsert(bool on) {
  setToggle(PnIns, on);
}

// --- Keys --------------------------------------------------------------------------------------

bool TForm1::eventFilter(QObject* watched, QEvent* e) {
  if (watched == Edit1 && e->type() == QEvent::MouseButtonPress) {
    if (!frame_.entryActive()) frame_.clickInputLine();
    return false;
  }
  QEvent::Type type = e->type();
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
    return QMainWindow::eventFilter(watched, e);
  auto* w = qobject_cast<QWidget*>(watched);
  if (!w) return false;
  auto* ke = static_cast<QKeyEvent*>(e);
  bool menus = frame_.menuOpen() && qobject_cast<QMenu*>(w);
  if (!menus && (w->window() != this || QApplication::activeModalWidget())) return false;
  if (!menus && qobject_cast<QMenu*>(w)) return false;  // a menu opened with the mouse
  if (type == QEvent::ShortcutOverride) {
    // Alt and Ctrl with a key come to the frame as keys, not as Qt's shortcuts.
    if (ke->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) {
      e->accept();
      return true;
    }
    return false;
  }
  if (type == QEvent::KeyPress) {
    // A lock key asks the display server where it can; any key reads the
    // modifier state that came with it.
    int key = ke->key();
    bool lockKey = key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock;
    std::optional<LockToggles> asked = lockKey ? queryLockToggles() : std::nullopt;
    showLocks(asked.value_or(togglesFromKey(*ke, locks_)));
  }
  if (type == QEvent::KeyRelease) return ke->key() == Qt::Key_Alt;
  switch (ke->key()) {
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
      return true;  // taken here, so that it does not travel on and toggle again
    default:
      break;
  }
  std::optional<KeyPress> k = translate(ke);
  if (!k) return menus;
  k->synthetic = synthetic_;
  if (host_.takeAwaitedKey(*k)) return true;
  // While a macro plays, the keyboard's keys wait, except the ones that
  // break it; a break discards what waited.
  if (macros_.macroRunning() && !k->synthetic) {
    if (k->key == Key::Break || k->key == Key::Escape) {
      heldKeys_.clear();
      macros_.RequestBreak();
    } else {
      heldKeys_.push_back(*k);
      if (!heldTimer_.isActive()) heldTimer_.start(10);
    }
    return true;
  }
  if (!heldKeys_.empty()) {
    // Typed after keys still waiting: in their order.
    heldKeys_.push_back(*k);
    releaseHeldKeys();
    return true;
  }
  if (k->key == Key::F1) return false;
  bool used = frame_.key(*k);
  return used || menus;
}

// The keys that waited go out as the host delivers a macro's, one per turn
// of the event loop to whatever has the keyboard then (a dialog one of them
// opens gets the rest).
void TForm1::releaseHeldKeys() {
  if (macros_.macroRunning()) return;
  heldTimer_.stop();
  std::vector<KeyPress> keys(heldKeys_.begin(), heldKeys_.end());
  heldKeys_.clear();
  host_.deliverKeys(keys);
}

// --- Start and stop
// --------------------------------------------------------------------------------

void TForm1::startUp() {
  frame_.startUp(options_.startFile, settingsDir(), options_.programDirectory);
}

void TForm1::writeSettings() {
  if (!options_.readSettings || settingsWritten_) return;
  settingsWritten_ = true;
  saveMacroButtons();
  std::string dir = settingsDir();
  WriteSettings(dir + "/" + kSettingsFileName, session_.settings(), options_.programDirectory);
}

// The toolbar file is named in the settings, beside them unless the name
// has a directory; the glyph strip is read from beside the settings, or
// the one that comes with the program, and saved beside the settings.
static std::string besideSettings(const std::string& dir, const std::string& name) {
  return !name.empty() && name[0] == '/' ? name : dir + "/" + name;
}

void TForm1::loadMacroButtons() {
  std::string dir = settingsDir();
  const std::string& name = session_.settings().toolMacros;
  macroButtons_.readItems(besideSettings(dir, name.empty() ? "TALWAY.MAC" : name));
  if (!macroButtons_.readGlyphs(dir + "/" + kGlyphFileName))
    macroButtons_.readGlyphs(options_.programDirectory + "/" + kGlyphFileName);
}

void TForm1::saveMacroButtons() {
  std::string dir = settingsDir();
  const std::string& name = session_.settings().toolMacros;
  bool ok = macroButtons_.writeItems(besideSettings(dir, name.empty() ? "TALWAY.MAC" : name));
  ok = macroButtons_.writeGlyphs(dir + "/" + kGlyphFileName) && ok;
  if (!ok) host_.beep();
}

void TForm1::toolbarFileChanged(const std::string& previous) {
  std::string dir = settingsDir();
  const std::string& name = session_.settings().toolMacros;
  if (!macroButtons_.switchFile(besideSettings(dir, previous), besideSettings(dir, name)))
    host_.beep();
  if (macroBarWidget_) macroBarWidget_->update();
}

void TForm1::closeEvent(QCloseEvent* e) {
  if (!frame_.closeAll(CloseMode::Ask)) {
    e->ignore();
    return;
  }
  writeSettings();
  e->accept();
}

}  // namespace tw
