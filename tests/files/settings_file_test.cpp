#include "files/settings_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace tw {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "tw-settings-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    setenv("TALLOWAY_HOME", dir_.c_str(), 1);
    ini_ = dir_ + "/TLW32.INI";
  }
  void TearDown() override {
    unsetenv("TALLOWAY_HOME");
    fs::remove_all(dir_);
  }

  std::string file(const std::string& name, const std::string& contents) {
    std::ofstream(dir_ + "/" + name, std::ios::binary) << contents;
    return dir_ + "/" + name;
  }
  static std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  ProgramSettings read(const std::string& text, int processor = 8664) {
    ProgramSettings s;
    EXPECT_TRUE(ReadSettings(file("TLW32.INI", text), s, processor, "/prog"));
    return s;
  }

  std::string dir_;
  std::string ini_;
};

TEST_F(SettingsFileTest, EveryKeySurvivesWriteAndRead) {
  ProgramSettings s;
  WorksheetSettings& w = s.worksheetDefaults;
  s.saveDirectory = "/data/save";
  s.loadDirectory = "/data/load";
  s.formats = {{"F3", "Three"}, {"C0", "Whole money"}};
  w.protection = w.negativeInColour = w.zerosHidden = w.manualRecalc = w.threeD = true;
  w.banding = w.binsLowerInclusive = false;
  s.tips = s.usDates = s.quickBar = s.macroBar = s.statusBar = false;
  s.windowsControlKeys = s.preopen = s.undo = s.backups = false;
  s.maximised = s.oldFileDialogs = s.timeStampCounter = s.printBlack = true;
  w.labelPrefix = '^';
  w.currencyPrefix = "EU";
  w.currencySuffix = "kr";
  s.argumentSeparator = ';';
  s.thousandsSeparator = '.';
  s.decimalSeparator = ',';
  w.colours = {0x00FF0000, 1, 2, 0xFFFFFFFF, 0x12345678, 0xABCDEF01, 0};
  s.gridColour = 0x00102030;
  s.autoexec = "/data/start.wks";
  s.toolMacros = "BUTTONS.MAC";
  s.historySize = 7;
  s.history = {"/data/newest.wks", "/data/" + std::string(200, 'n') + ".wks", "/data/old.wks"};
  s.graphForm = 42;
  s.graphFont = "Courier New";
  s.graphSize = 9;
  s.preload = 3;
  s.printMono = false;
  s.printFrame = true;
  s.printOrientation = 1;
  w.margins = {0.25, 1.0, 1.75, 0.1, 2.5, 0};

  ASSERT_TRUE(WriteSettings(ini_, s, "/prog"));
  std::string text = contents(ini_);
  ProgramSettings r;
  ASSERT_TRUE(ReadSettings(ini_, r, kTimeStampProcessorType, "/prog"));
  // Every key was given a value other than its default, so a key that is
  // read wrongly shows up as a difference when the result is written again.
  ASSERT_TRUE(WriteSettings(ini_, r, "/prog"));
  EXPECT_EQ(contents(ini_), text);
  EXPECT_EQ(r.worksheetDefaults.margins, w.margins);
  // The written forms, and the sections in their order, each after an empty line.
  for (const char* line :
       {"\n[Directories]\nSTART=/prog\nSAVE=/data/save\nLOAD=/data/load\n",
        "\n\n[Formats]\nFORMAT=F3,Three\nFORMAT=C0,Whole money\n\n[Flags]\n",
        "\nPBGRID=TRUE\n\n[Chars]\nPREFIX=^\n", "\nSEP=;\n", "\nBKCLR=$00FF0000\n",
        "\nNEGCLR=$FFFFFFFF\n", "\nGRIDCLR=$00102030\n\n[Files]\n", "\nTOOLGL=\nHSIZE=7\n",
        "\nHIST=/data/newest.wks\n", "\n\n[Defaults]\nSCALE=100\nGFORM=42\n",
        "\n\n[Printer]\nPMONO=FALSE\n", "\nMTTR=0.25\nMLTR=1.00\n", "\nMBTR=0.10\n",
        "\nMBFR=0.00\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line;
  EXPECT_EQ(text.substr(0, 15), "\n[Directories]\n");
}

TEST_F(SettingsFileTest, LinesReadAsKeyValueWithComments) {
  ProgramSettings s = read(
      "; a comment line\n[Flags]\nMCALC=TRUE ; manual\npro=TRUE\nCOLOR=3\nWHATEVER=1\n"
      " BAND=FALSE\nZERO=is TRUE here\nTIPS=true\nUNDO=" +
      std::string(80, ' ') + "TRUE\nFORMAT=F2," + std::string(100, 'd') +
      "\nBKCLR=$00FF0000\nGFORM=$1F\nGSIZE=10\nGSIZE=14.6\nPRELOAD=2;3\nCURR=ABC\n"
      "START=/elsewhere\nSCALE=50\nMTTR=1.5 ; inch\n");
  const WorksheetSettings& w = s.worksheetDefaults;
  EXPECT_TRUE(w.manualRecalc);
  EXPECT_FALSE(w.protection);  // lower-case key
  EXPECT_TRUE(w.banding);      // space before the key
  EXPECT_TRUE(w.zerosHidden);  // the value contains TRUE
  EXPECT_FALSE(s.tips);        // "true" is not "TRUE"
  EXPECT_FALSE(s.undo);        // TRUE lies beyond the 80 characters read
  ASSERT_EQ(s.formats.size(), 1u);
  EXPECT_EQ(s.formats[0].description, std::string(80 - 10, 'd'));
  EXPECT_EQ(w.colours[kBackgroundColour], 0x00FF0000u);
  EXPECT_EQ(s.graphForm, 0x1F);
  EXPECT_EQ(s.graphSize, 15);
  EXPECT_EQ(s.preload, 2);
  EXPECT_EQ(w.currencyPrefix, "AB");
  EXPECT_EQ(s.saveDirectory, "/prog");  // START= is not read
  EXPECT_EQ(w.margins[kMarginTop], 1.5);
  // Keys the file lacks keep their defaults.
  EXPECT_TRUE(s.statusBar);
  EXPECT_EQ(w.margins[kMarginLeft], 0.5);
  EXPECT_EQ(s.autoexec, "AUTOEXEC.WKS");

  // Without a program directory, SAVE and LOAD start as the file's directory.
  ProgramSettings t;
  ReadSettings(ini_, t, 8664);
  EXPECT_EQ(fs::path(t.saveDirectory), fs::path(dir_));
}

TEST_F(SettingsFileTest, FormatsAndMissingFile) {
  ProgramSettings s;
  EXPECT_FALSE(ReadSettings(dir_ + "/none.INI", s, 586, "/prog"));
  EXPECT_EQ(s.saveDirectory, "/prog");
  std::vector<std::string> codes;
  for (const NamedFormat& f : s.formats) codes.push_back(f.code + "," + f.description);
  EXPECT_EQ(codes, std::vector<std::string>({"F2,Fixed", "S2,Science", "M2,Comma", "G,General",
                                             "P2,Percent", "E2,Eng", "C2,Currency", "D0,YY:MM:DD",
                                             "X,Text"}));
  EXPECT_EQ(read("[Flags]\nPRO=TRUE\n").formats.size(), 9u);
  s = read("FORMAT=P0,Whole percent\n");
  ASSERT_EQ(s.formats.size(), 1u);
  EXPECT_EQ(s.formats[0].code + "," + s.formats[0].description, "P0,Whole percent");
}

TEST_F(SettingsFileTest, SecondWriteKeepsFirstAsBackup) {
  ProgramSettings s;
  s.graphSize = 20;
  ASSERT_TRUE(WriteSettings(ini_, s, "/prog"));
  std::string first = contents(ini_);
  s.graphSize = 30;
  ASSERT_TRUE(WriteSettings(ini_, s, "/prog"));
  EXPECT_EQ(contents(dir_ + "/TLW32.INb"), first);
  ProgramSettings r;
  ReadSettings(ini_, r, 8664);
  EXPECT_EQ(r.graphSize, 30);
  // A third write replaces the old backup; nothing else is left behind.
  std::string second = contents(ini_);
  ASSERT_TRUE(WriteSettings(ini_, s, "/prog"));
  EXPECT_EQ(contents(dir_ + "/TLW32.INb"), second);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);

  EXPECT_FALSE(WriteSettings(dir_ + "/missing/TLW32.INI", s, "/prog"));
}

TEST_F(SettingsFileTest, SeparatorCharacters) {
  ProgramSettings s = read("SEP=;\nCOMMA=.\nPERIOD=,\nPREFIX=\" ; right\n");
  EXPECT_EQ(s.argumentSeparator, ';');
  EXPECT_EQ(s.thousandsSeparator, '.');
  EXPECT_EQ(s.decimalSeparator, ',');
  EXPECT_EQ(s.worksheetDefaults.labelPrefix, '"');
  // Equal argument and decimal separators fall back to the defaults for both.
  for (const char* text : {"SEP=;\nPERIOD=;\n", "SEP=.\n", "PERIOD=,\n"}) {
    s = read(text);
    EXPECT_EQ(s.argumentSeparator, ',') << text;
    EXPECT_EQ(s.decimalSeparator, '.') << text;
  }
  // Characters that cannot serve are refused.
  s = read("SEP=\nPERIOD=5\nCOMMA=\x01\nPREFIX=x\n");
  EXPECT_EQ(s.argumentSeparator, ',');
  EXPECT_EQ(s.decimalSeparator, '.');
  EXPECT_EQ(s.thousandsSeparator, ',');
  EXPECT_EQ(s.worksheetDefaults.labelPrefix, '\'');
}

TEST_F(SettingsFileTest, PathsAreReadWholeAndHistoryKeepsItsOrder) {
  std::string longPath = "/home/user/" + std::string(300, 'x') + "/sheet.wks";
  ProgramSettings s = read("SAVE=" + longPath + "\nAUTOEXEC=" + longPath +
                           "\nHIST=/c.wks\nHIST=" + longPath + "\nHIST=\nHIST=/a.wks\nTOOLMAC=\n");
  EXPECT_EQ(s.saveDirectory, longPath);
  EXPECT_EQ(s.autoexec, longPath);
  EXPECT_EQ(s.history, std::vector<std::string>({"/c.wks", longPath, "/a.wks"}));
  EXPECT_EQ(s.toolMacros, "TALWAY.MAC");  // empty keeps the default
}

TEST_F(SettingsFileTest, TimeStampCounterOnlyOnType586) {
  EXPECT_TRUE(read("RDTSC=TRUE\n", 586).timeStampCounter);
  EXPECT_FALSE(read("RDTSC=TRUE\n", 8664).timeStampCounter);
  EXPECT_FALSE(read("RDTSC=TRUE\n", 486).timeStampCounter);
}

TEST_F(SettingsFileTest, DamagedFileKeepsDefaults) {
  std::string text = std::string("\xEF\xBB\xBFPRO=TRUE\r\n\x00\x01NEG=TRUE\n", 23) +
                     std::string(100000, 'A') + "\nSAVE=" + std::string(100000, 'p') +
                     "\nGSIZE=abc\nHSIZE=99\nGFORM=300\nBKCLR=$XYZ\nBDCLR=-1\nMTTR=-1\nMLTR=nan\n"
                     "MRTR=1e400\nGFONT=Ar\x01ial\nMBAR=FALSE\r\nPRELOAD=4";
  ProgramSettings s = read(text);
  const WorksheetSettings& w = s.worksheetDefaults;
  EXPECT_TRUE(w.protection);
  EXPECT_FALSE(w.negativeInColour);
  EXPECT_EQ(s.saveDirectory, "/prog");
  EXPECT_EQ(s.graphSize, 12);
  EXPECT_EQ(s.historySize, 5);
  EXPECT_EQ(s.graphForm, 113);
  EXPECT_EQ(w.colours[kBackgroundColour], 0x00FFFFFFu);
  EXPECT_EQ(w.colours[kBorderColour], 0x00E0FFFFu);
  EXPECT_EQ(w.margins, (std::array<double, kMarginCount>{0.5, 0.5, 0.5, 0.5, 0.5, 0.5}));
  EXPECT_EQ(s.graphFont, "Arial");
  EXPECT_FALSE(s.macroBar);
  EXPECT_EQ(s.preload, 4);
}

TEST_F(SettingsFileTest, UserFunctions) {
  UserFunctionTable table;
  table.add({"OLD", "1", 0});
  EXPECT_FALSE(ReadUserFunctions(dir_ + "/TLW32.USR", table));
  EXPECT_EQ(table.count(), 0);

  std::string path = file("TLW32.USR",
                          "; my functions\n"
                          "double, 1 ; twice\n"
                          "@a(1)*2 ; comment\n"
                          "\n"
                          "wide,15\n"
                          "@if(@a(1)>0;1;2)&\"a;b\" ; with ; as separator\n"
                          "PI2\n"
                          "@PI*2\n"
                          "longnameisover12,2\n" +
                              std::string(300, '1') + "\n");
  ASSERT_TRUE(ReadUserFunctions(path, table));
  ASSERT_EQ(table.count(), 4);
  EXPECT_EQ(table.get(1)->name, "DOUBLE");
  EXPECT_EQ(table.get(1)->argumentCount, 1);
  EXPECT_EQ(table.get(1)->formula, "@A(1)*2");
  EXPECT_EQ(table.get(2)->argumentCount, 10);
  EXPECT_EQ(table.get(2)->formula, "@IF(@A(1)>0;1;2)&\"A;B\"");
  EXPECT_EQ(table.get(3)->argumentCount, 0);
  EXPECT_EQ(table.get(3)->formula, "@PI*2");
  EXPECT_EQ(table.get(4)->name, "LONGNAMEISOV");
  EXPECT_EQ(table.get(4)->formula, std::string(255, '1'));

  std::string many;
  for (int i = 1; i <= 256; ++i)
    many += "F" + std::to_string(i) + ",0\n" + std::to_string(i) + "\n";
  ASSERT_TRUE(ReadUserFunctions(file("MANY.USR", many), table));
  EXPECT_EQ(table.count(), 255);
  EXPECT_EQ(table.get(255)->name, "F255");
  EXPECT_EQ(table.find("F256"), 0);
}

TEST_F(SettingsFileTest, SettingsDirectory) {
  EXPECT_EQ(settingsDirectory("/nonexistent/prog"), dir_);
  unsetenv("TALLOWAY_HOME");
  const char* oldXdg = getenv("XDG_CONFIG_HOME");
  const char* oldHome = getenv("HOME");
  std::string savedXdg = oldXdg ? oldXdg : "", savedHome = oldHome ? oldHome : "";

  EXPECT_EQ(settingsDirectory(dir_), dir_);  // writable program directory
  setenv("XDG_CONFIG_HOME", (dir_ + "/cfg").c_str(), 1);
  EXPECT_EQ(settingsDirectory(dir_ + "/missing"), dir_ + "/cfg/talloway");
  EXPECT_TRUE(fs::is_directory(dir_ + "/cfg/talloway"));
  unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", (dir_ + "/home").c_str(), 1);
  EXPECT_EQ(settingsDirectory(dir_ + "/missing"), dir_ + "/home/.config/talloway");
  EXPECT_TRUE(fs::is_directory(dir_ + "/home/.config/talloway"));
  // No probe file is left in the program directory.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);

  oldXdg ? setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
  oldHome ? setenv("HOME", savedHome.c_str(), 1) : unsetenv("HOME");
}

}  // namespace
}  // namespace tw
