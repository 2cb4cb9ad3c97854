// TForm1: the main window. A multiple-document frame carrying the menu bar
// (built from the frame's menu model), the quick buttons, the input line
// with the address panel and the Enter and Esc buttons, the prompt bar, and
// the status bar with the mode indicator, the toggle panels, the
// recalculation panel and the progress gauge. It draws what the frame says
// and forwards every key to it.
#pragma once

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QProgressBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "core/session.h"
#include "macros/macro_interpreter.h"
#include "shell/frame.h"
#include "shell/macro_bar.h"
#include "ui/keyboard_state.h"
#include "ui/qt_host.h"

namespace tw {

class TForm2;
class TGraphView;
class tbarmenu1;

class TForm1 : public QMainWindow, public FrameView {
  Q_OBJECT

 public:
  struct Options {
    std::string programDirectory;  // where the settings file is looked for
    std::string startFile;         // the first command-line argument
    bool readSettings = true;      // tests start from the defaults
  };
  explicit TForm1(const Options& options, QWidget* parent = nullptr);
  ~TForm1() override;

  Session& session() { return session_; }
  Frame& frame() { return frame_; }
  MacroInterpreter& macros() { return macros_; }
  QtHost& host() { return host_; }
  tbarmenu1* macroBar() { return macroBarWidget_; }

  // Runs the start-up: the start file or the start-up worksheet, or a new
  // worksheet when the settings ask for one.
  void startUp();

  // --- Files, through the frame's commands ----------------------------------------
  TForm2* newWorksheet();
  // Opens a file in a new window (or brings its window forward).
  TForm2* openFile(const std::string& path);
  // Saves the window's worksheet; Save As asks for a name first (also when
  // the worksheet never had one). False when nothing was saved.
  bool saveWindow(TForm2* w, bool saveAs);
  TForm2* activeForm() const;
  std::vector<TForm2*> forms() const;
  TForm2* formFor(const WindowState* w) const;

  // --- Called by the worksheet windows and the host ---------------------------------
  void windowActivated(TForm2* w);
  void showModeIndicator(Mode mode);
  void showGauge(int percent);
  void repaintCells(const Worksheet& ws, const CellRange& range);
  // Keys the host plays are marked, so that only a real Esc breaks a macro.
  void markSynthetic(bool on) { synthetic_ = on; }

  // --- FrameView --------------------------------------------------------------------
  void showInput(const std::string& text, size_t caret, bool red, bool active) override;
  void showAddress(const std::string& text) override;
  void showDescription(const std::string& text) override;
  void showPrompt(bool open, const std::string& title, const std::string& text) override;
  void cursorMoved(WindowState& w) override;
  void windowOpened(WindowState& w) override;
  void windowClosing(WindowState& w) override;
  void windowChanged(WindowState& w) override;
  void menusChanged() override;
  void showMenu(const MenuCursor& cursor) override;
  void showRecalcMode(bool manual) override;
  void showEndMode(bool on) override;
  void showInsert(bool on) override;
  void arrangeWindows(Arrangement how) override;
  void exitProgram() override;
  void showMacroStep(const std::string& text) override;
  void showBars(bool quick, bool macro, bool status) override;
  void toolbarFileChanged(const std::string& previous) override;
  void showGraph(int graph, bool maximised, int closeAfterMs, bool modal) override;
  // The graph window, when one is open.
  TGraphView* graphView() const { return graphView_; }

  // The widgets, named as in the form.
  QLineEdit* Edit1;
  QLabel* address;
  QLabel* description;
  QToolButton* EnterKey;
  QToolButton* EscKey;
  QWidget* prompt1;
  QLabel* promptCaption;
  QLineEdit* promptText;
  QComboBox* promptNames;  // the range names, offered while a prompt is open
  QLabel* PnMode = nullptr;
  QLabel* PnCap = nullptr;
  QLabel* PnScr = nullptr;
  QLabel* PnNum = nullptr;
  QLabel* PnIns = nullptr;
  QLabel* PnAuto;
  QProgressBar* gauge;
  QMdiArea* mdi;
  // The menus as built from the model, by their path in it.
  QMenu* menuAt(const std::vector<int>& path) const;
  QAction* actionAt(const std::vector<int>& path) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void buildMenus();
  void addItems(QMenu* menu, const std::vector<MenuItem>& items, std::vector<int> path);
  void buildQuickBar();
  void buildFormatBar();
  void buildInputRow();
  void buildStatusBar();
  void updateTitle();
  void setToggle(QLabel* panel, bool on);
  void showLocks(const LockToggles& t);
  void releaseHeldKeys();
  void writeSettings();
  std::string settingsDir() const;

  Options options_;
  TGraphView* graphView_ = nullptr;
  QtHost host_;
  Session session_;
  Frame frame_;
  MacroInterpreter macros_{frame_};
  MacroBar macroButtons_;  // the bar's items and glyphs, for the whole run
  tbarmenu1* macroBarWidget_ = nullptr;
  void loadMacroButtons();
  void saveMacroButtons();
  QToolBar* quickBar_ = nullptr;
  std::string stepText_;
  std::map<const WindowState*, TForm2*> forms_;
  std::map<std::vector<int>, QMenu*> menus_;
  std::map<std::vector<int>, QAction*> actions_;
  bool mirroring_ = false;  // the menus open or close as the frame says
  bool synthetic_ = false;
  // Keys typed while a macro plays, given to the frame once it has ended.
  std::deque<KeyPress> heldKeys_;
  QTimer heldTimer_;
  LockToggles locks_;
  bool settingsWritten_ = false;
  bool closing_ = false;
};

}  // namespace tw
