#include "ui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <filesystem>

#include "core/cell_entry.h"
#include "core/display_format.h"
#include "core/recalc.h"
#include "core/undo.h"
#include "core/worksheet.h"
#include "files/settings_file.h"
#include "files/worksheet_file.h"
#include "functions/function_library.h"
#include "ui/dialogs.h"
#include "ui/grid_pane.h"
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
      frame_(session_, *this) {
  setObjectName("TForm1");
  if (options_.readSettings) {
    std::string dir = settingsDir();
    ReadSettings(dir + "/" + kSettingsFileName, session_.settings(), 8664,
                 options_.programDirectory);
    ReadUserFunctions(dir + "/" + kUserFunctionsFileName, session_.programFunctions());
  }
  installFunctionLibrary(session_);
  connectFiles(session_);

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
  layout->addWidget(mdi, 1);
  setCentralWidget(central);
  buildMenus();
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
  showMode(Mode::Ready);
}

TForm1::~TForm1() {
  qApp->removeEventFilter(this);
  for (auto& [state, form] : forms_) form->closeUnasked = true;
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
  fileMenu_ = menuBar()->addMenu("&File");
  QAction* newAction = fileMenu_->addAction("&New", this, [this] { newWorksheet(); });
  newAction->setObjectName("New1");
  QAction* openAction = fileMenu_->addAction("&Open...", this, [this] { FileOpenClick(); });
  openAction->setObjectName("Open1");
  QAction* saveAction =
      fileMenu_->addAction("&Save", this, [this] { saveWindow(activeForm(), false); });
  saveAction->setObjectName("Save1");
  fileMenu_->addAction("Save &As...", this, [this] { saveWindow(activeForm(), true); })
      ->setObjectName("SaveAs1");
  fileMenu_->addAction("&Close", this, [this] {
    if (QMdiSubWindow* sub = mdi->activeSubWindow()) sub->close();
  });
  recentSeparator_ = fileMenu_->addSeparator();
  for (int k = 0; k < Frame::kMaxRecent; ++k) {
    auto* item = new QAction(this);
    item->setObjectName(QString("NM%1").arg(k));
    connect(item, &QAction::triggered, this,
            [this, item] { openFile(pathFromQt(item->data().toString())); });
    recentItems_.push_back(item);
  }
  for (int k = 0; k < 5; ++k) fileMenu_->addAction(recentItems_[k]);
  moreMenu_ = fileMenu_->addMenu("More");
  moreMenu_->menuAction()->setObjectName("Mhist");
  for (int k = 5; k < Frame::kMaxRecent; ++k) moreMenu_->addAction(recentItems_[k]);
  fileMenu_->addSeparator();
  fileMenu_->addAction("E&xit", this, [this] { close(); });
  updateRecentMenu();

  QMenu* edit = menuBar()->addMenu("&Edit");
  undoAction_ = edit->addAction("&Undo\tCtrl+Z", this, [this] { Undo1Click(); });
  undoAction_->setShortcut(QKeySequence("Ctrl+Z"));

  QMenu* range = menuBar()->addMenu("&Range");
  range->addAction("&Format...", this, [this] { formatDialog(); });
  range->addAction("&Width / Height...", this, [this] { widthDialog(); });
  range->addAction("&Go To...\tF5", this, [this] { frame_.key(KeyPress::of(Key::F5)); });

  QMenu* tools = menuBar()->addMenu("&Tools");
  tools->addAction("&Calc\tF9", this, [this] { CalcClick(); })->setObjectName("Calc1");
  tools->addAction("&General Settings...", this, [this] { generalSettingsDialog(); });

  QMenu* window = menuBar()->addMenu("&Window");
  window->addAction("&Split", this, [this] {
    if (TForm2* f = activeForm()) f->setSplit(!f->state().split());
  });
  window->addAction("&Tile", mdi, &QMdiArea::tileSubWindows);
  window->addAction("&Cascade", mdi, &QMdiArea::cascadeSubWindows);
  window->addAction("&Next", mdi, &QMdiArea::activateNextSubWindow);

  QMenu* help = menuBar()->addMenu("&Help");
  help->addAction("&Document Information...", this, [this] { documentInfoDialog(); });
  help->addAction("&System Information...", this, [this] { systemInfoDialog(); });

  QToolBar* quick = addToolBar("Quick buttons");
  quick->setObjectName("QuickBar");
  quick->addAction(newAction);
  quick->addAction(openAction);
  quick->addAction(saveAction);
  quick->addAction("Undo", this, [this] { Undo1Click(); });
  quick->addAction("Calc", this, [this] { CalcClick(); });
  quick->setVisible(session_.settings().quickBar);
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
  setToggle(PnCap, capsLock_);
  setToggle(PnScr, scrollLock_);
  setToggle(PnNum, numLock_);
  setToggle(PnIns, frame_.insertMode());
  statusBar()->setVisible(session_.settings().statusBar);
}

void TForm1::setToggle(QLabel* panel, bool on) {
  QPalette pal = panel->palette();
  pal.setColor(QPalette::Window, on ? Qt::black : QColor(192, 192, 192));
  pal.setColor(QPalette::WindowText, on ? Qt::white : Qt::black);
  panel->setPalette(pal);
}

void TForm1::updateRecentMenu() {
  const auto& recent = frame_.recentFiles();
  int shown = std::min<int>(static_cast<int>(recent.size()), Frame::kMaxRecent);
  for (int k = 0; k < Frame::kMaxRecent; ++k) {
    QAction* item = recentItems_[k];
    if (k < shown) {
      QString full = pathToQt(recent[k]);
      QString base = full.section('/', -1).section(':', -1).section('\\', -1);
      item->setText(QString("&%1 %2").arg(k).arg(base));
      item->setData(full);
      item->setVisible(true);
    } else {
      item->setVisible(false);
    }
  }
  recentSeparator_->setVisible(shown > 0);
  moreMenu_->menuAction()->setVisible(shown > 5);
}

void TForm1::updateTitle() {
  QString title = "TALLOWAY";
  if (TForm2* f = activeForm()) title += " - " + f->windowTitle();
  setWindowTitle(title);
}

// --- Windows ----------------------------------------------------------------------------

TForm2* TForm1::formFor(WindowState* w) const {
  auto it = forms_.find(w);
  return it == forms_.end() ? nullptr : it->second;
}

TForm2* TForm1::activeForm() const {
  QMdiSubWindow* sub = mdi->activeSubWindow();
  if (sub) return qobject_cast<TForm2*>(sub->widget());
  return forms_.empty() ? nullptr : forms_.begin()->second;
}

std::vector<TForm2*> TForm1::forms() const {
  std::vector<TForm2*> out;
  for (auto& [state, form] : forms_) out.push_back(form);
  return out;
}

static TForm2* makeWindow(TForm1& main, Frame& frame, QMdiArea* mdi, Worksheet& ws,
                          std::map<WindowState*, TForm2*>& forms, bool maximised) {
  WindowState& state = frame.addWindow(ws);
  auto* form = new TForm2(main, frame, state);
  std::string caption = ws.hasFileName ? ws.fileName : ws.name;
  form->setWindowTitle(toQt(caption).section('/', -1));
  state.caption = caption;
  forms[&state] = form;
  QMdiSubWindow* sub = mdi->addSubWindow(form);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  if (maximised)
    sub->showMaximized();
  else
    sub->show();
  QSize area = mdi->viewport()->size();
  sub->resize(std::max(640, area.width() * 9 / 10), std::max(420, area.height() * 9 / 10));
  form->Grid1->setFocus();
  return form;
}

TForm2* TForm1::newWorksheet() {
  std::string name = "SHEET" + std::to_string(forms_.size() + 1) + ".WKS";
  Worksheet& ws = session_.openWorksheet(name);
  ws.modified = false;
  TForm2* f = makeWindow(*this, frame_, mdi, ws, forms_, session_.settings().maximised);
  windowActivated(f);
  return f;
}

TForm2* TForm1::openFile(const std::string& path) {
  if (Worksheet* open = session_.findWorksheet(path)) {
    if (WindowState* w = frame_.windowFor(*open)) {
      TForm2* f = formFor(w);
      mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(f->parentWidget()));
      return f;
    }
  }
  setWaiting(true);
  Worksheet* ws = openWorksheetFile(session_, path);
  frame_.setWaiting(false);
  if (!ws) return nullptr;
  frame_.AddRecentFile(ws->hasFileName ? ws->fileName : path);
  updateRecentMenu();
  if (WindowState* w = frame_.windowFor(*ws)) return formFor(w);
  TForm2* f = makeWindow(*this, frame_, mdi, *ws, forms_, session_.settings().maximised);
  // The window shows the layout the file kept.
  WindowState& state = f->state();
  const WorksheetSettings& s = ws->settings;
  for (int i = 0; i < 2; ++i) {
    Pane& p = state.pane(i);
    p.topRow = std::clamp<int>(s.panes[i].topRow, 0, kRows - 1);
    p.leftCol = std::clamp<int>(s.panes[i].leftColumn, 0, kColumns - 1);
    p.row = std::clamp<int>(s.panes[i].cursorRow, 0, kRows - 1);
    p.col = std::clamp<int>(s.panes[i].cursorColumn, 0, kColumns - 1);
  }
  state.syncHorizontal = s.syncHorizontal;
  state.syncVertical = s.syncVertical;
  if (s.split) f->setSplit(true);
  f->updateTabs();
  windowActivated(f);
  return f;
}

void TForm1::setWaiting(bool on) {
  frame_.setWaiting(on);
}

bool TForm1::saveWindow(TForm2* f, bool saveAs) {
  if (!f) return false;
  Worksheet& ws = f->state().worksheet();
  std::string target = ws.fileName;
  if (saveAs || !ws.hasFileName) {
    QString start = pathToQt(session_.settings().saveDirectory);
    QString initial = start.isEmpty() ? f->windowTitle() : start + "/" + f->windowTitle();
    QString chosen = chooseSaveName
                         ? chooseSaveName(initial)
                         : QFileDialog::getSaveFileName(this, "TALLOWAY SAVE AS...", initial,
                                                        "Worksheets(*.WKS *.wks *.WK1 *.wk1)");
    if (chosen.isEmpty()) return false;
    if (QFileInfo(chosen).suffix().isEmpty()) chosen += ".WKS";
    target = pathFromQt(chosen);
    session_.settings().saveDirectory = pathFromQt(QFileInfo(chosen).absolutePath());
  }
  // Remember the window's layout with the worksheet.
  WindowState& state = f->state();
  for (int i = 0; i < 2; ++i) {
    const Pane& p = state.pane(i);
    ws.settings.panes[i] = {int16_t(p.leftCol), int16_t(p.topRow), int16_t(p.col), int16_t(p.row)};
  }
  ws.settings.split = state.split() ? 1 : 0;
  ws.settings.syncHorizontal = state.syncHorizontal;
  ws.settings.syncVertical = state.syncVertical;
  ws.settings.activePane = static_cast<uint8_t>(state.activePane());
  frame_.setWaiting(true);
  bool ok = Save(ws, target);
  frame_.setWaiting(false);
  if (!ok) return false;
  if (saveAs || !ws.hasFileName || target != ws.fileName) {
    ws.fileName = target;
    ws.hasFileName = true;
    ws.name = fromQt(pathToQt(target).toUpper());
    f->setWindowTitle(pathToQt(target).section('/', -1));
    state.caption = target;
    frame_.AddRecentFile(target);
    updateRecentMenu();
  }
  updateTitle();
  return true;
}

void TForm1::windowActivated(TForm2* f) {
  if (!f) return;
  if (frame_.active() != &f->state()) {
    if (frame_.entryActive()) frame_.CancelEntry();
    frame_.activate(&f->state());
  }
  updateTitle();
  f->refresh();
}

void TForm1::windowClosing(TForm2* f) {
  WindowState* state = &f->state();
  Worksheet* ws = &state->worksheet();
  forms_.erase(state);
  frame_.removeWindow(*state);
  if (!frame_.windowFor(*ws)) session_.closeWorksheet(*ws);
  updateTitle();
  if (forms_.empty()) {
    showAddress({});
    showInput({}, 0, false, false);
    description->clear();
  }
}

void TForm1::refreshWindows() {
  for (auto& [state, form] : forms_) form->refresh();
}

// --- FrameView -------------------------------------------------------------------------------

void TForm1::showModeText(const QString& text) {
  PnMode->setText(text);
}

void TForm1::showMode(Mode m) {
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

void TForm1::ShowProgress(long done, long total) {
  if (total == 0) return;
  if (done == 0) {
    showGauge(-1);
    return;
  }
  showGauge(static_cast<int>(done * 100 / total));
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

void TForm1::cellsChanged(WindowState& w, int) {
  if (TForm2* f = formFor(&w)) f->refresh();
}

void TForm1::openMenu() {
  QList<QAction*> actions = menuBar()->actions();
  if (actions.isEmpty()) return;
  menuBar()->setFocus();
  menuBar()->setActiveAction(actions.first());
}

void TForm1::beep() {
  QApplication::beep();
}

void TForm1::showRecalcMode(bool manual) {
  PnAuto->setText(manual ? "Manual" : "Auto");
}

void TForm1::showEndMode(bool on) {
  QPalette pal = address->palette();
  pal.setColor(QPalette::WindowText, on ? Qt::blue : palette().color(QPalette::WindowText));
  address->setPalette(pal);
}

// --- Keys --------------------------------------------------------------------------------------

bool TForm1::eventFilter(QObject* watched, QEvent* e) {
  if (watched == Edit1 && e->type() == QEvent::MouseButtonPress) {
    if (!frame_.entryActive()) frame_.clickInputLine();
    return false;
  }
  if (e->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, e);
  auto* w = qobject_cast<QWidget*>(watched);
  if (!w || w->window() != this || QApplication::activeModalWidget()) return false;
  if (menuBar()->activeAction()) return false;
  auto* ke = static_cast<QKeyEvent*>(e);
  switch (ke->key()) {
    case Qt::Key_CapsLock:
      setToggle(PnCap, capsLock_ = !capsLock_);
      return false;
    case Qt::Key_NumLock:
      setToggle(PnNum, numLock_ = !numLock_);
      return false;
    case Qt::Key_ScrollLock:
      setToggle(PnScr, scrollLock_ = !scrollLock_);
      frame_.setEnterMoves(scrollLock_);
      return false;
    default:
      break;
  }
  std::optional<KeyPress> k = translate(ke);
  if (!k) return false;
  if (k->key == Key::F1 || k->key == Key::F10) return false;
  bool used = frame_.key(*k);
  if (k->key == Key::Insert) setToggle(PnIns, frame_.insertMode());
  return used;
}

// --- Commands ------------------------------------------------------------------------------------

void TForm1::FileOpenClick() {
  QString dir = pathToQt(session_.settings().loadDirectory);
  QString chosen = QFileDialog::getOpenFileName(
      this, "TALLOWAY OPEN", dir,
      "Worksheets (*.wks *.wk1 *.WKS *.WK1);;Backups (*.wkb *.WKB);;All Files (*)");
  if (chosen.isEmpty()) return;
  session_.settings().loadDirectory = pathFromQt(QFileInfo(chosen).absolutePath());
  openFile(pathFromQt(chosen));
}

void TForm1::Undo1Click() {
  TForm2* f = activeForm();
  if (!f) return;
  Worksheet& ws = f->state().worksheet();
  if (!ws.undo || ws.undo->empty()) {
    QApplication::beep();
    return;
  }
  frame_.setWaiting(true);
  ws.undo->restore(ws);
  frame_.setWaiting(false);
  refreshWindows();
  frame_.UpdateCellIndicators();
}

void TForm1::CalcClick() {
  frame_.key(KeyPress::of(Key::F9));
}

void TForm1::formatDialog() {
  TForm2* f = activeForm();
  if (!f) return;
  std::optional<uint8_t> format = FormatDialog::ask(this, session_.settings().formats);
  if (!format) return;
  Worksheet& ws = f->state().worksheet();
  TakeUndoSnapshot(ws);
  CellRange r = f->state().selection();
  for (int row = r.row1; row <= r.row2; ++row)
    for (int col = r.col1; col <= r.col2; ++col) {
      CellHandle h = ws.GetOrCreateCell(row, col);
      if (h == kNoCell) continue;
      Cell& c = ws.cell(h);
      c.format = static_cast<uint8_t>((c.format & kFormatProtected) | (*format & kFormatMask));
    }
  ws.modified = true;
  f->refresh();
  frame_.UpdateCellIndicators();
}

void TForm1::widthDialog() {
  TForm2* f = activeForm();
  if (!f) return;
  Worksheet& ws = f->state().worksheet();
  CellRange r = f->state().selection();
  auto answer = WidthDialog::ask(this, ws.columnPixels(r.col1) / 8, ws.rowPixels(r.row1));
  if (!answer) return;
  if (answer->column) {
    for (int c = r.col1; c <= r.col2; ++c)
      ws.columnWidth[c] = static_cast<uint16_t>(std::clamp(answer->value * 8, 8, 254));
  } else {
    for (int row = r.row1; row <= r.row2; ++row)
      ws.rowHeight[row] = static_cast<uint16_t>(std::clamp(answer->value, 8, 254));
  }
  ws.modified = true;
  f->refresh();
  frame_.UpdateCellIndicators();
}

void TForm1::generalSettingsDialog() {
  TForm2* f = activeForm();
  Worksheet* ws = f ? &f->state().worksheet() : nullptr;
  if (!GeneralSettingsDialog::edit(this, session_.settings(), ws)) return;
  if (ws) showRecalcMode(ws->settings.manualRecalc);
  refreshWindows();
  frame_.UpdateCellIndicators();
}

void TForm1::documentInfoDialog() {
  TForm2* f = activeForm();
  if (f) DocumentInfoDialog::edit(this, f->state().worksheet());
}

void TForm1::systemInfoDialog() {
  SystemInfoDialog::show(this, session_);
}

// --- Start and stop
// --------------------------------------------------------------------------------

void TForm1::startUp() {
  if (!options_.startFile.empty()) {
    if (openFile(options_.startFile)) return;
  } else {
    namespace fs = std::filesystem;
    std::string autoexec = session_.settings().autoexec;
    std::vector<std::string> candidates;
    if (!autoexec.empty() && autoexec[0] == '/') {
      candidates.push_back(autoexec);
    } else {
      candidates.push_back(settingsDir() + "/" + autoexec);
      candidates.push_back(options_.programDirectory + "/" + autoexec);
    }
    for (const std::string& path : candidates) {
      std::error_code ec;
      if (autoexec.empty() || !fs::is_regular_file(path, ec)) continue;
      Worksheet& ws = session_.openWorksheet(autoexec);
      LoadOptions quiet;
      if (Load(ws, path, quiet)) {
        TForm2* f = makeWindow(*this, frame_, mdi, ws, forms_, session_.settings().maximised);
        windowActivated(f);
        return;
      }
      session_.closeWorksheet(ws);
    }
  }
  if (session_.settings().preopen && forms_.empty()) newWorksheet();
}

void TForm1::writeSettings() {
  if (!options_.readSettings || settingsWritten_) return;
  settingsWritten_ = true;
  std::string dir = settingsDir();
  WriteSettings(dir + "/" + kSettingsFileName, session_.settings(), options_.programDirectory);
}

void TForm1::closeEvent(QCloseEvent* e) {
  for (QMdiSubWindow* sub : mdi->subWindowList()) {
    if (!sub->close()) {
      e->ignore();
      return;
    }
  }
  writeSettings();
  e->accept();
}

}  // namespace tw
