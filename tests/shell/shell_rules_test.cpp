// Rules that used to live in widgets: the window layout a file keeps, the
// start-up worksheet, and the dialogs' models and checks.
#include <filesystem>
#include <fstream>

#include "shell/dialog_models.h"
#include "shell/file_filters.h"
#include "shell/startup.h"
#include "shell/window_layout.h"
#include "shell/window_state.h"
#include "test_support.h"

namespace tw::test {
namespace {

TEST_F(SheetTest, TheWindowLayoutGoesIntoTheSettingsAndComesBackWhole) {
  WindowState w(ws);
  w.moveTo(40, 3);
  w.setSplit(true);
  w.pane(1).topRow = 200;
  w.pane(1).row = 210;
  w.syncVertical = true;
  w.otherPane();
  storeLayout(w, ws.settings);
  EXPECT_EQ(ws.settings.split, 1);
  EXPECT_EQ(ws.settings.activePane, 1);

  WindowState again(ws);
  restoreLayout(again, ws.settings);
  EXPECT_TRUE(again.split());
  EXPECT_EQ(again.activePane(), 1);
  EXPECT_EQ(again.pane(0).row, 40);
  EXPECT_EQ(again.pane(0).col, 3);
  // The second pane keeps its own place instead of taking the first one's.
  EXPECT_EQ(again.pane(1).topRow, 200);
  EXPECT_EQ(again.pane(1).row, 210);
  EXPECT_TRUE(again.syncVertical);
  // A damaged file's positions are brought onto the sheet.
  ws.settings.panes[0].cursorRow = -5;
  ws.settings.panes[0].cursorColumn = 900;
  ws.settings.split = 0;
  WindowState third(ws);
  restoreLayout(third, ws.settings);
  EXPECT_EQ(third.row(), 0);
  EXPECT_EQ(third.col(), 255);
  EXPECT_FALSE(third.split());
}

TEST(Startup, TheStartUpWorksheetIsFoundWithoutCase) {
  TempDir settings, program;
  ProgramSettings s;
  EXPECT_EQ(findStartupWorksheet(s, settings.path(), program.path()), std::nullopt);
  std::ofstream(program.file("autoexec.wks")) << "x";
  EXPECT_EQ(findStartupWorksheet(s, settings.path(), program.path()), program.file("autoexec.wks"));
  // The settings directory comes first.
  std::ofstream(settings.file("AUTOEXEC.WKS")) << "x";
  EXPECT_EQ(findStartupWorksheet(s, settings.path(), program.path()),
            settings.file("AUTOEXEC.WKS"));
  // An absolute name stands as it is; a directory is not a worksheet.
  s.autoexec = program.file("autoexec.wks");
  EXPECT_EQ(findStartupWorksheet(s, settings.path(), program.path()), program.file("autoexec.wks"));
  std::filesystem::create_directory(program.file("dir.wks"));
  s.autoexec = "dir.wks";
  EXPECT_EQ(findStartupWorksheet(s, settings.path(), program.path()), std::nullopt);
  s.autoexec.clear();
  EXPECT_EQ(findStartupWorksheet(s, settings.path(), program.path()), std::nullopt);
}

TEST(DialogModels, FieldsAnswersAndChecks) {
  GeneralSettingsModel general(GeneralSettings{});
  std::string reason;
  EXPECT_TRUE(applyAnswer(general, "protect=Y;prefix=^;decimal=,;separator=,", reason)) << reason;
  EXPECT_TRUE(general.values.protection);
  EXPECT_EQ(general.values.labelPrefix, '^');
  // The separator may not be the decimal sign.
  EXPECT_FALSE(general.check(reason));
  EXPECT_EQ(reason, "The argument separator must differ from the decimal separator.");
  applyAnswer(general, "separator=.;prefix=x", reason);
  EXPECT_FALSE(general.check(reason));
  EXPECT_EQ(reason, "The label prefix is one of ' \" ^ \\ |");
  EXPECT_FALSE(applyAnswer(general, "nosuch=1", reason));
  EXPECT_FALSE(applyAnswer(general, "protect=maybe", reason));
  EXPECT_FALSE(applyAnswer(general, "protect", reason));

  WidthHeightModel size(9, 20);
  EXPECT_EQ(size.field("value"), "9");
  ASSERT_TRUE(size.setField("what", "row"));
  EXPECT_EQ(size.value, 20);  // the row's height, in pixels
  size.value = 300;
  EXPECT_FALSE(size.check(reason));
  size.value = 254;
  EXPECT_TRUE(size.check(reason));

  FormatModel format({{"F2", "Fixed"}, {"P1", "Percent"}});
  EXPECT_EQ(format.code, "F2");
  ASSERT_TRUE(format.setField("item", "1"));
  EXPECT_EQ(format.code, "P1");
  EXPECT_FALSE(format.setField("item", "2"));
  format.code.clear();
  EXPECT_FALSE(format.check(reason));
  format.code = "C2";
  EXPECT_EQ(format.sample(), "($1,234.57 )");  // the currency sign after is a space
}

TEST_F(ProgramTest, GeneralSettingsApplyToTheWorksheetAndTheDefaults) {
  host.scripted = {"autocalc=0;negative=1;undo=0;thousands=."};
  frame.invoke("GENERALSETTINGS");
  EXPECT_TRUE(ws.settings.manualRecalc);
  EXPECT_TRUE(view.manual);
  EXPECT_TRUE(session.settings().worksheetDefaults.negativeInColour);
  EXPECT_FALSE(ws.settings.undoEnabled);
  EXPECT_EQ(session.settings().thousandsSeparator, '.');
  EXPECT_TRUE(ws.modified);
  // A refused answer changes nothing.
  host.scripted = {"separator=."};
  frame.invoke("GENERALSETTINGS");
  EXPECT_EQ(session.settings().argumentSeparator, ',');
  EXPECT_FALSE(host.errors.empty());
}

// A file dialog on Linux matches names case-sensitively: worksheets named
// either way must show, and the text around the patterns stays.
TEST(FileFilters, MatchNamesInEitherCase) {
  EXPECT_EQ(filterInEitherCase("Worksheets (*.wks *.wk1)"), "Worksheets (*.wks *.WKS *.wk1 *.WK1)");
  EXPECT_EQ(filterInEitherCase("Backups (*.WKB)"), "Backups (*.wkb *.WKB)");
  EXPECT_EQ(filterInEitherCase("All Files (*)"), "All Files (*)");
  EXPECT_EQ(filterInEitherCase("Text (*.txt;*.prn)"), "Text (*.txt *.TXT *.prn *.PRN)");
  EXPECT_EQ(filterInEitherCase("no patterns"), "no patterns");
}

}  // namespace
}  // namespace tw::test
