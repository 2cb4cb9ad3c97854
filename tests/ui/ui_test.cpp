// The desktop program driven as a user would, offscreen.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <functional>

#include "cli/cli_app.h"
#include "cli/cli_run.h"
#include "core/cell_entry.h"
#include "core/display_format.h"
#include "core/formula_lister.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "files/worksheet_file.h"
#include "shell/frame.h"
#include "shell/key_text.h"
#include "ui/graph_view.h"
#include "ui/grid_pane.h"
#include "ui/macro_bar.h"
#include "ui/main_window.h"
#include "ui/user_button.h"
#include "ui/worksheet_window.h"

using namespace tw;

class DesktopTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TForm1> main;
  TForm2* form = nullptr;

  void typeInto(QWidget* w, const QString& text) {
    for (QChar c : text) QTest::keyClick(w, c.toLatin1());
  }
  // Keys as --keys writes them, each sent to whatever has the focus then.
  void keys(const std::string& text) {
    for (const KeyPress& k : parseKeyText(text).keys) {
      QWidget* target = QApplication::activePopupWidget();
      if (!target) target = QApplication::focusWidget();
      if (!target) target = form ? static_cast<QWidget*>(form->Grid1) : main.get();
      Qt::KeyboardModifiers mods = k.ctrl ? Qt::ControlModifier : Qt::NoModifier;
      switch (k.key) {
        case Key::Character:
          QTest::keyClick(target, k.ch, mods);
          break;
        case Key::Enter:
          QTest::keyClick(target, Qt::Key_Return);
          break;
        case Key::Escape:
          QTest::keyClick(target, Qt::Key_Escape);
          break;
        case Key::Right:
          QTest::keyClick(target, Qt::Key_Right);
          break;
        case Key::Left:
          QTest::keyClick(target, Qt::Key_Left);
          break;
        case Key::Down:
          QTest::keyClick(target, Qt::Key_Down);
          break;
        case Key::F5:
          QTest::keyClick(target, Qt::Key_F5);
          break;
        default:
          QFAIL("a key this test does not send");
      }
    }
  }
  // The worksheet as talloway-cli --dump lists it.
  std::string dump(Worksheet& ws) {
    std::string out;
    ws.ForEachCell(CellRange::of(0, 0, ws.maxRow, ws.maxCol), [&](CellHandle h, Cell& c) {
      out += ws.addressText(c.row, c.column) + "\t" + cellTypeName(c) + "\t" +
             CellInputText(ws, h) + "\t" + cellValueText(ws, h) + "\t" + cellDisplayText(ws, h) +
             "\n";
      return true;
    });
    return out;
  }
  // Runs fn on the modal dialog that shows, looked for every 20 ms until fn
  // says it is done.
  QTimer modalPoll;
  void whenModal(std::function<bool(QWidget*)> fn) {
    modalPoll.disconnect();
    QObject::connect(&modalPoll, &QTimer::timeout, [this, fn] {
      if (QWidget* d = QApplication::activeModalWidget(); d && fn(d)) modalPoll.stop();
    });
    modalPoll.start(20);
  }
  QString drawn(int row, int col) {
    form->Grid1->recordTexts(true);
    form->Grid1->repaint();
    return form->Grid1->drawnText(row, col).trimmed();
  }

 private slots:
  void init() {
    TForm1::Options o;
    o.readSettings = false;
    main = std::make_unique<TForm1>(o);
    main->host().quiet = true;
    main->resize(900, 600);
    main->show();
    form = main->newWorksheet();
    QVERIFY(QTest::qWaitForWindowExposed(main.get()));
  }
  void cleanup() {
    modalPoll.stop();
    main->frame().closeAll(CloseMode::DiscardUnasked);
    main.reset();
  }

  void typedFormulaShowsTheRecalculatedValue() {
    form->Grid1->setFocus();
    QTest::keyClick(form->Grid1, Qt::Key_Right);
    typeInto(form->Grid1, "+A1*2");
    QCOMPARE(main->PnMode->text(), QString("VALUE"));
    QTest::keyClick(main->Edit1, Qt::Key_Return);
    QCOMPARE(main->PnMode->text(), QString("READY"));
    QTest::keyClick(form->Grid1, Qt::Key_Left);
    typeInto(form->Grid1, "21");
    QTest::keyClick(main->Edit1, Qt::Key_Return);
    QCOMPARE(drawn(0, 1), QString("42"));
    QCOMPARE(drawn(0, 0), QString("21"));
    QCOMPARE(main->address->text(), QString("A1"));
  }

  // The User Button speed button arms the next drag on a grid: a click
  // there makes a 40 by 20 button, which runs its macro when clicked.
  void userButtonDrawnOnTheGridRunsItsMacro() {
    QAction* arm = main->findChild<QAction*>("spbtok");
    QVERIFY(arm && arm->isCheckable());
    arm->setChecked(true);
    GridPane* grid = form->Grid1;
    QPoint at(grid->rowHeaderWidth() + 30, grid->headerHeight() + 25);
    QTest::mousePress(grid, Qt::LeftButton, {}, at);
    QTest::mouseRelease(grid, Qt::LeftButton, {}, at);
    QVERIFY(!arm->isChecked());
    QList<TMbtn*> buttons = grid->findChildren<TMbtn*>();
    QCOMPARE(buttons.size(), 1);
    QCOMPARE(buttons[0]->size(), QSize(40, 20));
    QCOMPARE(buttons[0]->pos(), at);
    WindowState& w = *main->frame().active();
    QCOMPARE(w.userButtons.size(), size_t(1));
    w.userButtons[0].data.macro = "{LET A1,42}";
    QTest::mouseClick(buttons[0], Qt::LeftButton, {}, QPoint(20, 10));
    QTest::qWait(20);
    QCOMPARE(drawn(0, 0), QString("42"));
    // Its right edge dragged 10 pixels outwards.
    QTest::mousePress(buttons[0], Qt::LeftButton, {}, QPoint(38, 10));
    QTest::mouseMove(buttons[0], QPoint(48, 10));
    QTest::mouseRelease(buttons[0], Qt::LeftButton, {}, QPoint(48, 10));
    QTest::qWait(20);
    QCOMPARE(w.userButtons[0].data.width, 50);
    QCOMPARE(w.userButtons[0].left, 30);
    // At 150 per cent the button shows half as large again, over the same
    // cells; a move there is kept at 100 per cent.
    main->frame().setZoom(150);
    QTRY_COMPARE(buttons[0]->geometry(),
                 QRect(grid->rowHeaderWidth() + 45, grid->headerHeight() + 38, 75, 30));
    QTest::mousePress(buttons[0], Qt::LeftButton, {}, QPoint(30, 15));
    QTest::mouseMove(buttons[0], QPoint(60, 15));
    QTest::mouseRelease(buttons[0], Qt::LeftButton, {}, QPoint(60, 15));
    QTRY_COMPARE(w.userButtons[0].left, 50);
    QCOMPARE(w.userButtons[0].data.width, 50);
    main->frame().setZoom(100);
    QTRY_COMPARE(buttons[0]->geometry().width(), 50);
  }

  // A click on a macro button runs its macro; a press released off the
  // button runs nothing.
  void macroButtonClickRunsItsMacro() {
    tbarmenu1* bar = main->macroBar();
    QVERIFY(bar && bar->isVisible());
    bar->bar().setItem(1, "Le|Sets A1|{LET A1,42}");
    QRect r = bar->buttonRect(1);
    QVERIFY(!r.isEmpty());
    QTest::mousePress(bar, Qt::LeftButton, {}, r.center());
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(r.center().x(), r.bottom() + 30));
    QTest::qWait(20);
    QCOMPARE(drawn(0, 0), QString(""));
    QTest::mouseClick(bar, Qt::LeftButton, {}, r.center());
    QTRY_COMPARE(drawn(0, 0), QString("42"));
    // The down arrow moves the top at once, then on the timer until release.
    QTest::mousePress(bar, Qt::LeftButton, {}, bar->downArrowRect().center());
    QCOMPARE(bar->bar().top(), 1);
    QTRY_VERIFY(bar->bar().top() >= 2);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, bar->downArrowRect().center());
    int top = bar->bar().top();
    QTest::qWait(250);
    QCOMPARE(bar->bar().top(), top);
    QVERIFY(bar->buttonRect(0).isEmpty());
    main->frame().execute("MACROBAR");
    QVERIFY(!bar->isVisible());
    QVERIFY(!main->session().settings().macroBar);
  }

  // Another toolbar file chosen in General Settings: the buttons go to the
  // old file and the bar shows the new file's.
  void theToolbarFileOfTheSettingsFillsTheBar() {
    QTemporaryDir home;
    QByteArray before = qgetenv("TALLOWAY_HOME");
    qputenv("TALLOWAY_HOME", home.path().toUtf8());
    QString other = home.filePath("OTHER.MAC");
    QFile f(other);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("Ot|Other|{LET A1,9}\n");
    f.close();
    tbarmenu1* bar = main->macroBar();
    bar->bar().setItem(0, "Ab|First|{BEEP}");
    main->host().scripted.push_back("toolbar=" + other.toStdString());
    main->frame().invoke("GENERALSETTINGS");
    QCOMPARE(QString::fromStdString(bar->bar().item(0)), QString("Ot|Other|{LET A1,9}"));
    QFile old(home.filePath("TALWAY.MAC"));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("Ab|First|{BEEP}\n"));
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->buttonRect(0).center());
    QTRY_COMPARE(drawn(0, 0), QString("9"));
    main->session().settings().toolMacros = "TALWAY.MAC";
    if (before.isNull())
      qunsetenv("TALLOWAY_HOME");
    else
      qputenv("TALLOWAY_HOME", before);
  }

  void arrowsAfterAnOperatorPoint() {
    typeInto(form->Grid1, "+");
    QTest::keyClick(main->Edit1, Qt::Key_Right);
    QCOMPARE(main->PnMode->text(), QString("POINT"));
    QCOMPARE(main->Edit1->text(), QString("+B1"));
    QTest::keyClick(main->Edit1, Qt::Key_Down);
    QCOMPARE(main->Edit1->text(), QString("+B2"));
    QTest::keyClick(main->Edit1, Qt::Key_Return);
    QCOMPARE(main->PnMode->text(), QString("READY"));
    QCOMPARE(main->Edit1->text(), QString("+B2"));
  }

  void aSyntaxErrorStaysRed() {
    typeInto(form->Grid1, "+1*");
    QTest::keyClick(main->Edit1, Qt::Key_Return);
    QCOMPARE(main->PnMode->text(), QString("EDIT"));
    QCOMPARE(main->Edit1->text(), QString("+1*"));
    QCOMPARE(main->Edit1->palette().color(QPalette::Text), QColor(Qt::red));
  }

  void cancelledPromptChangesNothing() {
    QTest::keyClick(form->Grid1, Qt::Key_F5);
    QVERIFY(main->prompt1->isVisible());
    QCOMPARE(main->PnMode->text(), QString("RANGE"));
    typeInto(form->Grid1, "C7");
    QTest::keyClick(form->Grid1, Qt::Key_Escape);
    QVERIFY(!main->prompt1->isVisible());
    QCOMPARE(main->PnMode->text(), QString("READY"));
    QCOMPARE(form->state().row(), 0);
    QTest::keyClick(form->Grid1, Qt::Key_F5);
    typeInto(form->Grid1, "C7");
    QTest::keyClick(form->Grid1, Qt::Key_Return);
    QCOMPARE(form->state().row(), 6);
    QCOMPARE(form->state().col(), 2);
  }

  void closingAChangedWorksheetAsks() {
    typeInto(form->Grid1, "5");
    QTest::keyClick(main->Edit1, Qt::Key_Return);
    auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget());
    main->host().answers = {Answer::Cancel};
    sub->close();
    QCOMPARE(main->forms().size(), size_t(1));
    QCOMPARE(main->host().asked.size(), size_t(1));
    QVERIFY(main->host().asked[0].rfind("Save Worksheet \r", 0) == 0);
    main->host().answers = {Answer::No};
    sub->close();
    QApplication::processEvents();
    QCOMPARE(main->forms().size(), size_t(0));
    QCOMPARE(main->session().worksheets().size(), size_t(0));
  }

  void aFailedOrCancelledSaveKeepsTheWindow() {
    typeInto(form->Grid1, "5");
    QTest::keyClick(main->Edit1, Qt::Key_Return);
    auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget());
    main->host().scripted = {"{ESC}"};  // Save As cancelled
    main->host().answers = {Answer::Yes};
    sub->close();
    QCOMPARE(main->forms().size(), size_t(1));
    main->host().scripted = {"/proc/no/such/dir/x.wks"};
    main->host().answers = {Answer::Yes};
    sub->close();
    QCOMPARE(main->forms().size(), size_t(1));
    QVERIFY(form->state().worksheet().modified);
    QVERIFY(!main->host().shown.empty());  // the failed save said so
  }

  void promptsOfferTheRangeNames() {
    form->state().worksheet().names.DefineName("TOTALS", CellRange::cell(9, 3));
    QTest::keyClick(form->Grid1, Qt::Key_F5);
    QCOMPARE(main->promptNames->count(), 1);
    emit main->promptNames->textActivated("TOTALS");
    QCOMPARE(main->promptText->text(), QString("TOTALS"));
    QTest::keyClick(form->Grid1, Qt::Key_Return);
    QCOMPARE(form->state().row(), 9);
    QCOMPARE(form->state().col(), 3);
  }

  void unchangedWorksheetClosesWithoutAsking() {
    auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget());
    sub->close();
    QApplication::processEvents();
    QCOMPARE(main->host().asked.size(), size_t(0));
    QCOMPARE(main->forms().size(), size_t(0));
  }

  void openSaveAndReopen() {
    QTemporaryDir dir;
    QString path = dir.filePath("money.wk1");
    typeInto(form->Grid1, "12.5");
    QTest::keyClick(main->Edit1, Qt::Key_Down);
    typeInto(form->Grid1, "+A1*4");
    QTest::keyClick(main->Edit1, Qt::Key_Return);
    main->host().scripted = {path.toStdString()};
    // A worksheet that never had a name goes to Save As.
    QVERIFY(main->saveWindow(form, false));
    QVERIFY(!form->state().worksheet().modified);
    QCOMPARE(form->windowTitle(), QString("money.wk1"));
    QCOMPARE(main->session().settings().history.front(), path.toStdString());
    auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget());
    sub->close();
    QApplication::processEvents();
    // The save dialog was asked; closing the saved window asks nothing.
    QCOMPARE(main->host().asked, std::vector<std::string>{"TALLOWAY SAVE AS..."});
    TForm2* again = main->openFile(path.toStdString());
    QVERIFY(again);
    form = again;
    QCOMPARE(drawn(1, 0), QString("50"));
    // Opening it once more only brings the window forward.
    QCOMPARE(main->openFile(path.toStdString()), again);
    QCOMPARE(main->forms().size(), size_t(1));
  }

  void startUpLoadsTheStartUpWorksheetUnnamed() {
    QTemporaryDir home;
    qputenv("TALLOWAY_HOME", home.path().toUtf8());
    {
      Worksheet& ws = main->session().openWorksheet("MAKE.WKS");
      EnterCell(ws, "'hello", 0, 0);
      QVERIFY(Save(ws, home.filePath("AUTOEXEC.WKS").toStdString()));
      main->session().closeWorksheet(ws);
    }
    TForm1::Options o;
    o.readSettings = false;
    TForm1 second(o);
    second.host().quiet = true;
    second.startUp();
    QCOMPARE(second.forms().size(), size_t(1));
    Worksheet& loaded = second.forms()[0]->state().worksheet();
    QVERIFY(!loaded.hasFileName);
    QCOMPARE(QString::fromStdString(loaded.LabelText(loaded.FindCell(0, 0))), QString("hello"));
    second.frame().closeAll(CloseMode::DiscardUnasked);
    qunsetenv("TALLOWAY_HOME");
  }

  void theSameKeysMakeTheSameCellsAsTheCommandLine() {
    // Typing, pointing, the GOTO prompt and a menu command with its dialog.
    const std::string typed = "21{RIGHT}+{LEFT}*2~{GOTO}C3~hello~/rf";
    form->Grid1->setFocus();
    main->host().scripted = {"code=C2"};
    keys(typed);
    QCOMPARE(main->PnMode->text(), QString("READY"));
    test::CliResult cli = test::runCli({"--keys", typed, "--answer", "code=C2", "--dump"});
    QCOMPARE(cli.status, 0);
    QCOMPARE(QString::fromStdString(dump(form->state().worksheet())),
             QString::fromStdString(cli.out));
    QCOMPARE(form->state().worksheet().cellAt(2, 2)->format & kFormatMask, ParseFormatCode("C2"));
  }

  void menusAreBuiltFromTheModelAndOpenWithTheSlash() {
    const MenuBar& bar = main->frame().menuBar();
    QList<QAction*> top = main->menuBar()->actions();
    QCOMPARE(top.size(), static_cast<int>(bar.size()));
    QCOMPARE(top[2]->text(), QString("&Range"));
    QVERIFY(main->findChild<QAction*>("NM0") != nullptr);
    form->Grid1->setFocus();
    QTest::keyClick(form->Grid1, '/');
    QCOMPARE(main->PnMode->text(), QString("MENU"));
    QCOMPARE(main->menuBar()->activeAction(), top[0]);
    keys("r");  // the Range menu drops down with its first item highlighted
    QMenu* range = main->menuAt({2});
    QVERIFY(range && range->isVisible());
    QCOMPARE(range->activeAction(), main->actionAt({2, 0}));
    keys("{DOWN}");
    QCOMPARE(range->activeAction(), main->actionAt({2, 1}));
    keys("{ESC}{ESC}");
    QVERIFY(!range->isVisible());
    QCOMPARE(main->PnMode->text(), QString("READY"));
    // A recent file appears in the File menu once a file is saved.
    QTemporaryDir dir;
    main->host().scripted = {dir.filePath("r.wks").toStdString()};
    QVERIFY(main->saveWindow(form, true));
    QAction* recent = main->findChild<QAction*>("NM0");
    QVERIFY(recent && recent->isVisible());
    QCOMPARE(recent->text(), QString("&0 r.wks"));
  }

  void aMacroDrivesTheMenusAndARealDialogWithKeys() {
    Worksheet& ws = form->state().worksheet();
    EnterCell(ws, "1234.5", 0, 0);
    main->host().quiet = false;  // the Format dialog itself, not an answer
    form->Grid1->setFocus();
    // "/rf" opens Range > Format; in the dialog two Downs choose the third
    // format (M2, Comma) and Enter takes it.
    main->macros().RunMacroText("{HOME}/rf{DOWN 2}~{LET B1,7}");
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(ws.cellAt(0, 0)->format & kFormatMask, ParseFormatCode("M2"));
    QCOMPARE(ws.CellNumber(ws.FindCell(0, 1)), 7.0);  // the command after the keys ran last
    QVERIFY(!main->macros().macroRunning());
    QCOMPARE(main->PnMode->text(), QString("READY"));
  }

  void ctrlZWorksAfterADialogAndAfterAnEscapedEntry() {
    Worksheet& ws = form->state().worksheet();
    // Where a real key goes: the focus widget, else the active window.
    auto target = [this] {
      QWidget* f = QApplication::focusWidget();
      return f ? f : static_cast<QWidget*>(main.get());
    };
    EnterCell(ws, "1234.5", 0, 0);
    main->host().quiet = false;
    form->Grid1->setFocus();
    // The Format dialog, closed with OK by a real Enter.
    QTimer::singleShot(100, [] {
      if (QWidget* d = QApplication::activeModalWidget()) QTest::keyClick(d, Qt::Key_Return);
    });
    main->frame().invoke("RANGEFORMAT");
    QVERIFY(!QApplication::activeModalWidget());
    uint8_t formatted = ws.cellAt(0, 0)->format;
    main->frame().execute("UNDO");
    // Set it again, then Ctrl+Z from whatever has the focus now.
    QTimer::singleShot(100, [] {
      if (QWidget* d = QApplication::activeModalWidget()) QTest::keyClick(d, Qt::Key_Return);
    });
    main->frame().invoke("RANGEFORMAT");
    QCOMPARE(ws.cellAt(0, 0)->format, formatted);
    QTest::keyClick(target(), Qt::Key_Z, Qt::ControlModifier);
    QTRY_VERIFY(ws.cellAt(0, 0)->format != formatted);
    // After an entry given up with Esc.
    EnterCell(ws, "5", 1, 0);
    main->frame().execute("BLANK", {Arg::ofRange(CellRange::cell(1, 0))});
    QTest::keyClick(target(), 'x');
    QTest::keyClick(target(), Qt::Key_Escape);
    QTest::keyClick(target(), Qt::Key_Escape);
    QTest::keyClick(target(), Qt::Key_Z, Qt::ControlModifier);
    QTRY_COMPARE(ws.CellNumber(ws.FindCell(1, 0)), 5.0);
    main->host().quiet = true;
  }

  void realKeysWaitWhileAMacroPlaysAndEscBreaksIt() {
    Worksheet& ws = form->state().worksheet();
    form->Grid1->setFocus();
    // The macro waits for a key; a real x is what it gets.
    QTimer::singleShot(50, [] { QTest::keyClick(QApplication::focusWidget(), 'x'); });
    main->macros().RunMacroText("{GET A1}{LET A2,1}");
    QCOMPARE(QString::fromStdString(ws.LabelText(ws.FindCell(0, 0))), QString("x"));
    QCOMPARE(ws.CellNumber(ws.FindCell(1, 0)), 1.0);
  }

  void keysTypedWhileAMacroPlaysComeAfterIt() {
    Worksheet& ws = form->state().worksheet();
    EnterCell(ws, "'{DELAY 150}", 0, 24);
    EnterCell(ws, "'{LET A3,7}", 1, 24);
    form->Grid1->setFocus();
    QTimer::singleShot(50, [] { QTest::keyClick(QApplication::focusWidget(), 'q'); });
    main->macros().RunMacroAt(0, 24);
    QCOMPARE(ws.CellNumber(ws.FindCell(2, 0)), 7.0);
    // The q waited for the macro, and then started an entry.
    QTRY_COMPARE(QString::fromStdString(main->frame().inputText()), QString("q"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(main->frame().inputText().empty());
  }

  void aRealEscBreaksAMacroThatWouldRunForEver() {
    Worksheet& ws = form->state().worksheet();
    EnterCell(ws, "'{LET A1,A1+1}{BRANCH Z1}", 0, 25);
    form->Grid1->setFocus();
    QTimer::singleShot(100, [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); });
    main->macros().RunMacroAt(0, 25);
    QVERIFY(!main->macros().macroRunning());
    QCOMPARE(QString::fromStdString(main->host().shown.back()), QString("Break! Z1"));
    QVERIFY(ws.CellNumber(ws.FindCell(0, 0)) > 1);
  }

  // Ctrl with a letter runs the macro named \letter; F3 asks for the cell on
  // the input line; Shift+F3 steps through the cells a key at a time, the
  // caption showing the cell about to run; Ctrl+Break stops a macro.
  void macrosStartFromTheKeyboard() {
    Worksheet& ws = form->state().worksheet();
    auto value = [&ws](int row) { return ws.CellNumber(ws.FindCell(row, 0)); };
    EnterCell(ws, "'{LET A1,A1+1}", 0, 25);
    ws.names.DefineName("\\K", CellRange::cell(0, 25));
    form->Grid1->setFocus();
    QTest::keyClick(form->Grid1, Qt::Key_K, Qt::ControlModifier);
    QTRY_COMPARE(drawn(0, 0), QString("1"));

    QTest::keyClick(form->Grid1, Qt::Key_F3);
    QVERIFY(main->frame().promptOpen());
    QCOMPARE(QString::fromStdString(main->frame().prompt()->title), QString("MACRO: Specify Cell"));
    typeInto(QApplication::focusWidget(), "Z1");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(drawn(0, 0), QString("2"));

    EnterCell(ws, "'{LET A2,1}", 4, 25);
    EnterCell(ws, "'{LET A3,A2+1}", 5, 25);
    QStringList captions;
    std::vector<double> before;
    std::function<void()> press = [&] {
      if (main->windowTitle().contains(" : ")) {
        captions << main->windowTitle();
        before.push_back(value(1) + value(2));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
      }
      if (captions.size() < 2) QTimer::singleShot(30, press);
    };
    QTimer::singleShot(30, press);
    QTest::keyClick(form->Grid1, Qt::Key_F3, Qt::ShiftModifier);
    typeInto(QApplication::focusWidget(), "Z5");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(value(2), 2.0);
    QCOMPARE(captions,
             QStringList({"TALLOWAY - Z5 : '{LET A2,1}", "TALLOWAY - Z6 : '{LET A3,A2+1}"}));
    QCOMPARE(before, std::vector<double>({0, 1}));  // each cell waited for its key
    QVERIFY(!main->windowTitle().contains(" : "));

    EnterCell(ws, "'{LET A4,A4+1}{BRANCH Z10}", 9, 25);
    QTimer::singleShot(100, [] {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Pause, Qt::ControlModifier);
    });
    main->macros().RunMacroAt(9, 25);
    QVERIFY(!main->macros().macroRunning());
    QCOMPARE(QString::fromStdString(main->host().shown.back()), QString("Break! Z10"));
    QVERIFY(value(3) > 1);
  }

  // A macro menu shows as a list; Down and Enter choose its second item.
  void aMacroMenuIsChosenWithKeys() {
    Worksheet& ws = form->state().worksheet();
    const char* cells[3][2] = {
        {"'First", "'Second"}, {"'one", "'two"}, {"'{LET C1,1}", "'{LET C1,2}"}};
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 2; ++c) EnterCell(ws, cells[r][c], 10 + r, 25 + c);
    ws.names.DefineName("MENU", CellRange::cell(10, 25));
    main->host().quiet = false;
    form->Grid1->setFocus();
    QString shown;
    QTimer::singleShot(100, [&] {
      QWidget* d = QApplication::activeModalWidget();
      if (!d) return;
      shown = d->windowTitle();
      QWidget* list = d->focusWidget() ? d->focusWidget() : d;
      QTest::keyClick(list, Qt::Key_Down);
      QTest::keyClick(list, Qt::Key_Return);
    });
    main->macros().RunMacroText("{MENUBRANCH MENU}");
    QCOMPARE(shown, QString("Macro Menu"));
    QCOMPARE(ws.CellNumber(ws.FindCell(0, 2)), 2.0);
    QCOMPARE(drawn(0, 2), QString("2"));
    main->host().quiet = true;
  }

  // A worksheet with an AUTOEXEC range, opened from the File menu and its
  // dialog, runs the range's macro; the window shows what it did.
  void autoexecRunsWhenAWorksheetIsOpenedFromTheMenu() {
    QTemporaryDir dir;
    std::string path = dir.filePath("auto.wk1").toStdString();
    {
      Worksheet& ws = form->state().worksheet();
      EnterCell(ws, "'{LET B2,B2+5}", 0, 25);
      ws.names.DefineName("AUTOEXEC", CellRange::cell(0, 25));
      QVERIFY(main->frame().execute("FILESAVEAS", {Arg::ofText(path), Arg::ofNumber(0)}).ok);
      main->frame().closeAll(CloseMode::DiscardUnasked);
    }
    form = nullptr;
    main->host().quiet = false;
    bool answered = false;
    whenModal([&](QWidget* d) {
      auto* name = d->findChild<QLineEdit*>("fileNameEdit");
      if (!name) return false;
      name->setText(QString::fromStdString(path));
      QTest::keyClick(name, Qt::Key_Return);
      answered = true;
      return true;
    });
    keys("/FO");
    QTRY_VERIFY(answered);
    QTRY_VERIFY(main->activeForm() != nullptr);
    form = main->activeForm();
    Worksheet& opened = form->state().worksheet();
    QTRY_COMPARE(opened.CellNumber(opened.FindCell(1, 1)), 5.0);
    QCOMPARE(drawn(1, 1), QString("5"));
    main->host().quiet = true;
  }

  // A user button whose macro opens the Data menu's Fill page with "/" keys,
  // types the range, start and step into the dialog and takes it.
  void aButtonsMacroFillsADialogAndCommits() {
    main->host().quiet = false;
    QAction* arm = main->findChild<QAction*>("spbtok");
    arm->setChecked(true);
    GridPane* grid = form->Grid1;
    QPoint at(grid->rowHeaderWidth() + 300, grid->headerHeight() + 100);
    QTest::mousePress(grid, Qt::LeftButton, {}, at);
    QTest::mouseRelease(grid, Qt::LeftButton, {}, at);
    WindowState& w = *main->frame().active();
    QCOMPARE(w.userButtons.size(), size_t(1));
    // The output box opens with the selection in it, selected: the typed
    // range replaces it; Enter takes the dialog with the start and step it shows.
    w.userButtons[0].data.macro = "{HOME}/dfA1..A5~{LET B1,1}";
    QList<TMbtn*> buttons = grid->findChildren<TMbtn*>();
    QCOMPARE(buttons.size(), 1);
    QTest::mouseClick(buttons[0], Qt::LeftButton, {}, QPoint(20, 10));
    QTRY_COMPARE(drawn(0, 1), QString("1"));
    QVERIFY(!QApplication::activeModalWidget());
    for (int r = 0; r < 5; ++r) QCOMPARE(drawn(r, 0), QString::number(r));
    QCOMPARE(drawn(5, 0), QString(""));
    main->host().quiet = true;
  }

  void theSystemClipboardCarriesBothForms() {
    Worksheet& ws = form->state().worksheet();
    // Plain text from another program, one value per column.
    QGuiApplication::clipboard()->setText(QString::fromUtf8("7\t8\r\nna\u00efve"));
    main->macros().RunMacroText("{EDITPASTE K1}");
    QCOMPARE(ws.CellNumber(ws.FindCell(0, 10)), 7.0);
    QCOMPARE(ws.CellNumber(ws.FindCell(0, 11)), 8.0);
    QCOMPARE(QString::fromStdString(ws.LabelText(ws.FindCell(1, 10))), QString("na\xefve"));
    // Copied back: the program's own form beside the text, and pasted
    // into a second worksheet as typed.
    EnterCell(ws, "+K1*2", 0, 12);
    main->macros().RunMacroText("{EDITCOPY K1..M1}");
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    QVERIFY(mime->hasFormat("application/x-talloway-tlw32d"));
    QCOMPARE(mime->text(), QString("7\t8\t14\r\n"));
    main->frame().execute("FILENEW");
    Worksheet& other = main->frame().active()->worksheet();
    QVERIFY(&other != &ws);
    main->macros().RunMacroText("{EDITPASTE A1}");
    QCOMPARE(QString::fromStdString(CellInputText(other, other.FindCell(0, 2))), QString("+K1*2"));
    main->frame().closeWindow(*main->frame().active(), CloseMode::DiscardUnasked);
  }

  void theCaptionAndTheWindowMenuFollowTheWindows() {
    main->frame().execute("FILENEW");
    QTRY_VERIFY(main->windowTitle().startsWith("TALLOWAY - "));
    // The Window menu lists both, the active one checked.
    const MenuBar& bar = main->frame().menuBar();
    const MenuItem* window = nullptr;
    for (const MenuItem& m : bar)
      if (m.caption == "&Window") window = &m;
    QVERIFY(window);
    int listed = 0, checked = 0;
    for (const MenuItem& i : window->items)
      if (i.command == "WINDOWSHOW") {
        ++listed;
        checked += i.checked;
      }
    QCOMPARE(listed, int(main->frame().windows().size()));
    QCOMPARE(checked, 1);
    // Every window closed: the caption names none.
    main->frame().closeAll(CloseMode::DiscardUnasked);
    QTRY_COMPARE(main->windowTitle(), QString("TALLOWAY"));
    main->frame().execute("FILENEW");
    form = main->activeForm();
  }

  // Every dialog shows its mnemonics as underlines: an "&" in a label with no
  // widget to jump to, or in a title or a tip, would be shown as it stands.
  void noDialogShowsARawAmpersand() {
    auto raw = [](const QString& text) { return QString(text).replace("&&", "").contains('&'); };
    main->host().quiet = false;
    EnterCell(form->state().worksheet(), "1", 0, 0);
    QStringList faults;
    int seen = 0;
    for (const std::string& name : main->frame().dialogCommands()) {
      QTimer::singleShot(50, [&] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        ++seen;
        QString where = QString::fromStdString(name) + ": ";
        // A title shows "&" as it stands: "Find & Replace" is meant, "&Find" is not.
        if (raw(QString(d->windowTitle()).replace("& ", ""))) faults << where + d->windowTitle();
        for (QLabel* l : d->findChildren<QLabel*>())
          if (l->textFormat() != Qt::RichText && raw(l->text()) && !l->buddy())
            faults << where + l->text();
        for (QWidget* w : d->findChildren<QWidget*>())
          if (raw(w->toolTip())) faults << where + w->toolTip();
        d->reject();
      });
      main->frame().invoke(name);
      QTRY_VERIFY(!QApplication::activeModalWidget());
    }
    main->host().quiet = true;
    QVERIFY(seen >= 10);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
  }

  // The data dialog's boxes and the data form's buttons on their widgets:
  // a fill typed into the Fill page, a sort key pointed at on the sheet,
  // and a record changed and appended in the form.
  void dataDialogsOnTheirWidgets() {
    Worksheet& ws = form->state().worksheet();
    main->host().quiet = false;
    auto box = [](QDialog* d, const QString& caption) -> QLineEdit* {
      for (QLabel* l : d->findChildren<QLabel*>())
        if (l->text() == caption && l->isVisibleTo(d)) return qobject_cast<QLineEdit*>(l->buddy());
      return nullptr;
    };
    auto ok = [](QDialog* d) {
      for (QPushButton* p : d->findChildren<QPushButton*>())
        if (p->text() == "&Ok") return p->click();
    };
    QTimer::singleShot(50, [&] {
      auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      QVERIFY(d);
      QCOMPARE(d->windowTitle(), QString("Data: FILL"));
      box(d, "O&utput Cells: ")->setText("A1..A4");
      QLineEdit* start = box(d, "&Start: ");
      start->setText("2*5");
      emit start->editingFinished();
      QCOMPARE(start->text(), QString("10"));  // evaluated when left
      ok(d);
    });
    main->frame().invoke("DATADIALOG", "0");
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(ws.CellNumber(ws.FindCell(3, 0)), 13.0);

    // The data form: PRICE changed in the first record, then a new record.
    EnterCell(ws, "NAME", 0, 2);
    EnterCell(ws, "PRICE", 0, 3);
    EnterCell(ws, "'pen", 1, 2);
    EnterCell(ws, "3", 1, 3);
    QTimer::singleShot(50, [&] {
      auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      QVERIFY(d);
      QCOMPARE(d->windowTitle(), QString("Data Form"));
      auto button = [d](const char* caption) {
        for (QPushButton* p : d->findChildren<QPushButton*>())
          if (p->text() == caption) return p;
        return static_cast<QPushButton*>(nullptr);
      };
      QLineEdit* price = box(d, "PRICE ");
      QVERIFY(price);
      QCOMPARE(price->text(), QString("3"));
      QVERIFY(!button("&Update")->isEnabled());
      price->selectAll();
      QTest::keyClicks(price, "4");
      QVERIFY(button("&Update")->isEnabled());
      button("&Next")->click();  // written back; past the last: a new record
      QTest::keyClicks(box(d, "NAME "), "ink");
      button("&Add")->click();
      button("&Cancel")->click();
    });
    main->frame().execute("DATAFORM", {Arg::ofRange(CellRange::of(0, 2, 0, 3))});
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(ws.CellNumber(ws.FindCell(1, 3)), 4.0);
    QCOMPARE(ws.LabelText(ws.FindCell(3, 2)), std::string("ink"));
    main->host().quiet = true;
  }

  // Find & Replace acts while it stays open: Find Next moves the cell
  // pointer, Replace All changes every match and is then disabled. Justify
  // and Word take their boxes on OK.
  void textToolsOnTheirWidgets() {
    Worksheet& ws = form->state().worksheet();
    main->host().quiet = false;
    EnterCell(ws, "5", 0, 0);
    EnterCell(ws, "7", 0, 1);
    EnterCell(ws, "+A1*2", 0, 2);
    EnterCell(ws, "'cat", 2, 1);
    auto button = [](QDialog* d, const char* caption) {
      for (QPushButton* p : d->findChildren<QPushButton*>())
        if (p->text() == caption) return p;
      return static_cast<QPushButton*>(nullptr);
    };
    auto buddy = [](QDialog* d, const QString& caption) -> QWidget* {
      for (QLabel* l : d->findChildren<QLabel*>())
        if (l->text() == caption) return l->buddy();
      return nullptr;
    };
    QTimer::singleShot(50, [&] {
      auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      QVERIFY(d);
      QCOMPARE(d->windowTitle(), QString("Find & Replace"));
      auto* search = qobject_cast<QComboBox*>(buddy(d, "&Search for:"));
      QVERIFY(search);
      QVERIFY(!button(d, "Find &Next")->isEnabled());
      search->setEditText("cat");
      QVERIFY(button(d, "Find &Next")->isEnabled());
      QVERIFY(!button(d, "&Replace")->isEnabled());
      button(d, "Find &Next")->click();
      QCOMPARE(form->state().row(), 2);
      QCOMPARE(form->state().col(), 1);
      QVERIFY(button(d, "&Replace")->isEnabled());
      search->setEditText("A1");
      qobject_cast<QLineEdit*>(buddy(d, "Replace &with:"))->setText("B1");
      button(d, "Replace &All")->click();
      QVERIFY(!button(d, "Replace &All")->isEnabled());
      QCOMPARE(search->count(), 2);  // the history: A1, cat
      QCOMPARE(search->currentText(), QString("A1"));
      button(d, "&Cancel")->click();
    });
    main->frame().invoke("FINDREPLACE");
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(CellInputText(ws, ws.FindCell(0, 2)), std::string("+B1*2"));
    QCOMPARE(ws.CellNumber(ws.FindCell(0, 2)), 14.0);

    EnterCell(ws, "'one", 4, 0);
    EnterCell(ws, "'two", 5, 0);
    EnterCell(ws, "'six", 6, 0);
    QTimer::singleShot(50, [&] {
      auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      QVERIFY(d);
      QCOMPARE(d->windowTitle(), QString("Justify"));
      auto* range = qobject_cast<QLineEdit*>(buddy(d, "&Justify Range: "));
      auto* width = qobject_cast<QLineEdit*>(buddy(d, "&Width: "));
      QVERIFY(range && width && qobject_cast<QCheckBox*>(buddy(d, "&Pad:")));
      range->setText("A5..A9");
      emit range->editingFinished();
      QCOMPARE(width->text(), QString("18"));  // column A's 72 pixels
      width->setText("100*2");
      emit width->editingFinished();
      QCOMPARE(width->text(), QString("200"));
      button(d, "&Ok")->click();
    });
    main->frame().invoke("JUSTIFY");
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(ws.LabelText(ws.FindCell(4, 0)), std::string("one two six"));
    QCOMPARE(ws.cell(ws.FindCell(5, 0)).type(), CellType::Blank);

    form->state().moveTo(10, 0);
    QTimer::singleShot(50, [&] {
      auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      QVERIFY(d);
      QCOMPARE(d->windowTitle(), QString("Word"));
      auto* lines = d->findChild<QPlainTextEdit*>("lines");
      QVERIFY(lines);
      lines->setPlainText("first\n+A1*3");
      button(d, "&Ok")->click();
    });
    main->frame().invoke("WORDEDIT");
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(ws.LabelText(ws.FindCell(10, 0)), std::string("first"));
    QCOMPARE(ws.CellNumber(ws.FindCell(11, 0)), 15.0);
    main->host().quiet = true;
  }

  // The lock panels follow the state the keyboard reports with each key, and
  // Scroll Lock makes Enter move the cursor.
  void lockPanelsFollowTheKeyboard() {
    auto on = [](QLabel* l) { return l->palette().color(QPalette::Window) == QColor(Qt::black); };
    auto send = [this](int key, quint32 nativeMods, const QString& text) {
      QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, 38, 0, nativeMods, text);
      QApplication::sendEvent(form->Grid1, &press);
      QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, 38, 0, nativeMods, text);
      QApplication::sendEvent(form->Grid1, &release);
    };
    form->Grid1->setFocus();
    QVERIFY(!on(main->PnCap));
    // Caps Lock was switched on elsewhere: the next key says so.
    send(Qt::Key_Right, 0x2, QString());
    QVERIFY(on(main->PnCap));
    send(Qt::Key_Left, 0x10, QString());
    QVERIFY(!on(main->PnCap));
    QVERIFY(on(main->PnNum));
    // Pressing Caps Lock reports the state before it.
    send(Qt::Key_CapsLock, 0x10, QString());
    QVERIFY(on(main->PnCap));

    QVERIFY(!on(main->PnScr));
    QTest::keyClick(form->Grid1, Qt::Key_ScrollLock);
    QVERIFY(on(main->PnScr));
    typeInto(form->Grid1, "5");
    QTest::keyClick(main->Edit1, Qt::Key_Return);
    QCOMPARE(main->address->text(), QString("A2"));
    QTest::keyClick(form->Grid1, Qt::Key_ScrollLock);
    QVERIFY(!on(main->PnScr));
    typeInto(form->Grid1, "6");
    QTest::keyClick(main->Edit1, Qt::Key_Return);
    QCOMPARE(main->address->text(), QString("A2"));

    bool ins = on(main->PnIns);
    QTest::keyClick(form->Grid1, Qt::Key_Insert);
    QCOMPARE(on(main->PnIns), !ins);
  }

  // The Print dialog's Print writes the pages through Qt's printing into a
  // PDF file (quiet runs always print to PDF), which reads back as the cells.
  void printingWritesAPdfThroughQt() {
    QTemporaryDir dir;
    Worksheet& ws = form->state().worksheet();
    EnterCell(ws, "'Printed through Qt", 0, 0);
    EnterCell(ws, "1234.5", 1, 1);
    ws.settings.printFooter = "Page #";
    std::string pdf = dir.filePath("sheet").toStdString();
    main->host().scripted = {"what=range;range=A1..C3;button=print", pdf};
    main->frame().invoke("PRINT");
    QVERIFY(main->host().shown.empty());
    QVERIFY(QFile::exists(QString::fromStdString(pdf + ".pdf")));
    QVERIFY(!QFile::exists(QString::fromStdString(pdf + ".pdf.part")));
    QVERIFY(!main->host().printStatuses.empty());
    if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) QSKIP("no pdftotext");
    FILE* pipe = popen(("pdftotext '" + pdf + ".pdf' -").c_str(), "r");
    QVERIFY(pipe);
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    pclose(pipe);
    QVERIFY2(text.find("Printed through Qt") != std::string::npos, text.c_str());
    QVERIFY2(text.find("1234.5") != std::string::npos, text.c_str());
    QVERIFY2(text.find("Page 1") != std::string::npos, text.c_str());
  }

  // The real forms: Options sets the scale (clamped) and the header, the
  // preview opens with its page count, and closing it leaves the settings.
  void printFormsCarryTheirSettings() {
    Worksheet& ws = form->state().worksheet();
    EnterCell(ws, "'x", 0, 0);
    main->host().quiet = false;
    QString count;
    auto button = [](QWidget* d, const QString& text) {
      for (QPushButton* b : d->findChildren<QPushButton*>())
        if (b->text() == text) return b;
      return static_cast<QPushButton*>(nullptr);
    };
    auto inPreview = [&] {
      auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!d || d->windowTitle() != "Preview") return;
      for (QLabel* l : d->findChildren<QLabel*>())
        if (l->text().startsWith("of ")) count = l->text();
      button(d, "Close")->click();
    };
    auto inOptions = [&] {
      auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      QVERIFY(d && d->windowTitle() == "Print Options");
      auto* scale = d->findChild<QComboBox*>();
      QVERIFY(scale);
      scale->setEditText("5");
      for (QLineEdit* e : d->findChildren<QLineEdit*>())
        if (e->text().isEmpty() && e->parentWidget() == d) {
          e->setText("Report #");  // the header's box comes first
          break;
        }
      button(d, "&Ok")->click();
    };
    QTimer::singleShot(50, [&] {
      auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      QVERIFY(d && d->windowTitle() == "Print");
      QTimer::singleShot(50, inOptions);
      button(d, "Op&tions...")->click();
      QTimer::singleShot(50, inPreview);
      button(d, "Pre&view....")->click();
    });
    main->frame().invoke("PRINT");
    QTRY_VERIFY(!QApplication::activeModalWidget());
    main->host().quiet = true;
    QCOMPARE(ws.settings.print.scale, int16_t(10));
    QCOMPARE(QString::fromStdString(ws.settings.printHeader), QString("Report #"));
    QCOMPARE(count, QString("of 1"));
  }

  // F12 opens the graph window over the current graph; its pop-up menu,
  // Save to Bitmap and a plain key work as a user would use them.
  void graphWindowShowsSavesAndCloses() {
    Worksheet& ws = form->state().worksheet();
    for (int r = 0; r < 4; ++r) {
      EnterCell(ws, "'M" + std::to_string(r + 1), r, 0);
      EnterCell(ws, std::to_string(r * 7 + 3), r, 1);
    }
    main->frame().execute("GRAPHTYPE", {Arg::ofNumber(2), Arg::ofText("B")});
    main->frame().execute("GRAPHSERIES",
                          {Arg::ofNumber(0), Arg::ofRange(CellRange::of(0, 0, 3, 0))});
    main->frame().execute("GRAPHSERIES",
                          {Arg::ofNumber(1), Arg::ofRange(CellRange::of(0, 1, 3, 1))});
    form->Grid1->setFocus();
    QTest::keyClick(form->Grid1, Qt::Key_F12);
    TGraphView* view = main->graphView();
    QVERIFY(view);
    QVERIFY(QTest::qWaitForWindowExposed(view));
    view->resize(400, 300);
    view->repaint();
    std::unique_ptr<QMenu> popup = view->popupMenu();
    QCOMPARE(popup->actions().first()->text(), QString("No Selection"));
    QTest::mouseClick(view, Qt::LeftButton, Qt::ShiftModifier, QPoint(2, 2));
    QCOMPARE(view->model().selected(), int(kElementBackground));
    // The click opened the Colors page; the quiet host cancelled it.
    QCOMPARE(QString::fromStdString(main->host().asked.back()), QString("Colors"));
    QCOMPARE(view->popupMenu()->actions().first()->text(), QString("&Attributes (7)"));

    QTemporaryDir dir;
    std::string bmp = dir.filePath("graph.bmp").toStdString();
    main->host().scripted = {bmp};
    std::unique_ptr<QMenu> menu = view->popupMenu();
    QAction* save = nullptr;
    for (QAction* a : menu->actions())
      if (a->text() == "S&ave to Bitmap") save = a;
    QVERIFY(save);
    save->trigger();
    QFile file(QString::fromStdString(bmp));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray head = file.read(26);
    QVERIFY(head.startsWith("BM"));
    QCOMPARE(qFromLittleEndian<qint32>(head.constData() + 18), 400);

    QTest::keyClick(view, Qt::Key_Space);
    QTRY_VERIFY(!main->graphView());
  }

  void refusedFileIsAMessage() {
    QTemporaryDir dir;
    QString path = dir.filePath("not.wks");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("hello world, not a worksheet");
    f.close();
    QVERIFY(!main->openFile(path.toStdString()));
    QVERIFY(!main->host().shown.empty());
    QCOMPARE(QString::fromStdString(main->host().shown.back()), QString("Invalid WKS File!"));
  }
};

QTEST_MAIN(DesktopTest)
#include "ui_test.moc"
