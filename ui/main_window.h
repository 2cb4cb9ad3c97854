// TForm1: the main window. A multiple-document frame carrying the menu bar,
// the quick buttons, the input line with the address panel and the Enter and
// Esc buttons, the prompt bar, and the status bar with the mode indicator,
// the toggle panels, the recalculation panel and the progress gauge.
#pragma once

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QProgressBar>
#include <QToolButton>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "core/session.h"
#include "shell/frame.h"
#include "ui/qt_host.h"

namespace tw {

class TForm2;

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
  // Asks for a file name to save under; tests answer without a dialog.
  std::function<QString(const QString& initial)> chooseSaveName;
  Frame& frame() { return frame_; }
  QtHost& host() { return host_; }

  // Runs the start-up: the start file or the start-up worksheet, or a new
  // worksheet when the settings ask for one.
  void startUp();

  // --- Files -------------------------------------------------------------------
  TForm2* newWorksheet();
  // Opens a file in a new window (or brings its window forward).
  TForm2* openFile(const std::string& path);
  // Saves the window's worksheet; Save As asks for a name first (also when
  // the worksheet never had one). False when nothing was saved.
  bool saveWindow(TForm2* w, bool saveAs);
  TForm2* activeForm() const;
  std::vector<TForm2*> forms() const;

  // --- Called by the worksheet windows -----------------------------------------------
  void windowActivated(TForm2* w);
  void windowClosing(TForm2* w);
  void refreshWindows();
  void showModeText(const QString& text);
  void showGauge(int percent);
  // The progress gauge: hidden when done is 0, untouched when total is 0.
  void ShowProgress(long done, long total);

  // --- FrameView --------------------------------------------------------------------
  void showMode(Mode mode) override;
  void showInput(const std::string& text, size_t caret, bool red, bool active) override;
  void showAddress(const std::string& text) override;
  void showDescription(const std::string& text) override;
  void showPrompt(bool open, const std::string& title, const std::string& text) override;
  void cursorMoved(WindowState& w) override;
  void cellsChanged(WindowState& w, int row) override;
  void openMenu() override;
  void beep() override;
  void showRecalcMode(bool manual) override;
  void showEndMode(bool on) override;

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
  QLabel* PnMode;
  QLabel* PnCap;
  QLabel* PnScr;
  QLabel* PnNum;
  QLabel* PnIns;
  QLabel* PnAuto;
  QProgressBar* gauge;
  QMdiArea* mdi;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void buildMenus();
  void buildInputRow();
  void buildStatusBar();
  void updateRecentMenu();
  void updateTitle();
  void setToggle(QLabel* panel, bool on);
  void FileOpenClick();
  void Undo1Click();
  void CalcClick();
  void formatDialog();
  void widthDialog();
  void generalSettingsDialog();
  void documentInfoDialog();
  void systemInfoDialog();
  void writeSettings();
  void setWaiting(bool on);
  TForm2* formFor(WindowState* w) const;
  std::string settingsDir() const;

  Options options_;
  QtHost host_;
  Session session_;
  Frame frame_;
  std::map<WindowState*, TForm2*> forms_;
  QMenu* fileMenu_ = nullptr;
  QMenu* moreMenu_ = nullptr;
  QAction* recentSeparator_ = nullptr;
  std::vector<QAction*> recentItems_;
  QAction* undoAction_ = nullptr;
  bool capsLock_ = false, numLock_ = true, scrollLock_ = false;
  bool settingsWritten_ = false;
};

}  // namespace tw
