// The desktop program driven as a user would, offscreen.
#include <QApplication>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QtTest>

#include "core/cell_entry.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "files/worksheet_file.h"
#include "shell/frame.h"
#include "ui/grid_pane.h"
#include "ui/main_window.h"
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
