// Every keyword of the macro language, run once through the program and
// checked by what it did: cells, names, widths, the cursor and selection,
// files, settings, what the host was asked and shown. One test holds the
// cases to the keyword table, so that a keyword without a case fails.
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <span>
#include <sstream>

#include "files/program_session.h"
#include "files/worksheet_file.h"
#include "graphs/graph_definition.h"
#include "graphs/graph_frame.h"
#include "macros/macro_interpreter.h"
#include "macros/macro_keywords.h"
#include "print/print_frame.h"
#include "print/recording_device.h"
#include "test_support.h"

namespace tw::test {
namespace {

std::string inQuotes(const std::string& s) {
  return "\"" + s + "\"";
}

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A host and view that have a screen, for the keywords that show a window,
// play a tone or change what the main window shows; they record instead.
class ScreenHost : public HeadlessHost {
 public:
  bool hasDisplay() override { return true; }
  void playTone(int frequency, int duration) override { tones.push_back({frequency, duration}); }
  std::vector<std::pair<int, int>> tones;
};

struct ShownGraph {
  int graph;
  bool maximised;
  int closeAfterMs;
  bool modal;
};

class ScreenView : public HeadlessFrameView {
 public:
  void showBars(bool quick, bool macro, bool status) override {
    bars = std::string(quick ? "Q" : "") + (macro ? "M" : "") + (status ? "S" : "");
  }
  void showGraph(int graph, bool maximised, int closeAfterMs, bool modal) override {
    graphs.push_back({graph, maximised, closeAfterMs, modal});
  }
  std::string bars = "?";
  std::vector<ShownGraph> graphs;
};

struct ScreenProgram {
  ScreenProgram() {
    addGraphFrame(frame);
    addPrintFrame(frame);
    view.frame = &frame;
    host.keySink = [this](const KeyPress& k) { frame.key(k); };
    host.cellSource = [this](int& row, int& col) {
      if (!frame.active()) return false;
      row = frame.active()->row();
      col = frame.active()->col();
      return true;
    };
    frame.execute("FILENEW");
  }
  ScreenHost host;
  Session session{host};
  ScreenView view;
  Frame frame{prepareSession(session), view};
  MacroInterpreter macros{frame};
};

class AllKeywords;
struct KeywordCase {
  const char* keyword;
  void (*body)(AllKeywords&);
};
void PrintTo(const KeywordCase& c, std::ostream* os) {
  *os << c.keyword;
}

class AllKeywords : public ProgramTest, public ::testing::WithParamInterface<KeywordCase> {
 public:
  AllKeywords() {
    host.printer = [this](const PrintRequest& r) -> std::unique_ptr<PageDevice> {
      printJobs.push_back(r.title);
      return std::make_unique<RecordingPageDevice>();
    };
  }
  void run(const std::string& text) { program.macros.RunMacroText(text); }
  // Runs the text and expects it to end on its own, without a message.
  void runClean(const std::string& text) {
    run(text);
    EXPECT_FALSE(program.macros.endedByError()) << text << ": " << lastError();
    EXPECT_TRUE(host.errors.empty()) << text << ": " << lastError();
  }
  // Macro cells down column Z from the row, and running them.
  void cells(std::initializer_list<std::string> lines, int row = 0) {
    for (const std::string& line : lines) EnterCell(ws, "'" + line, row++, 25);
    session.error().clear();
  }
  void runAt(int row = 0) { program.macros.RunMacroAt(row, 25); }
  void name(const std::string& n, const std::string& address) {
    ws.names.DefineName(n, ParseRange(ws, address).range);
  }
  std::string lastError() { return host.errors.empty() ? std::string() : host.errors.back(); }
  void expectCursor(int row, int col) {
    EXPECT_EQ(window->row(), row);
    EXPECT_EQ(window->col(), col);
  }
  // The keys typed from here on.
  std::vector<Key>& recordKeys() {
    auto forward = host.keySink;
    host.keySink = [this, forward](const KeyPress& k) {
      typed.push_back(k.key);
      forward(k);
    };
    return typed;
  }
  // No cell there, or a blank one that keeps only its attributes.
  bool erased(const std::string& address) {
    Cell* c = cell(address);
    return !c || c->type() == CellType::Blank;
  }
  Worksheet& activeSheet() { return frame.active()->worksheet(); }
  GraphDefinition graph() { return currentGraph(ws); }

  std::vector<std::string> printJobs;
  std::vector<Key> typed;
  TempDir dir;
};

TEST_P(AllKeywords, DoesWhatItSays) {
  GetParam().body(*this);
}

std::string caseName(const ::testing::TestParamInfo<KeywordCase>& info) {
  std::string n = info.param.keyword;
  return n == "?" ? std::string("QUESTIONMARK") : n;
}

using K = AllKeywords;

// --- Checks shared by synonyms -------------------------------------------------------------

void movesCursor(K& t, const std::string& keys, int fromRow, int fromCol, int row, int col) {
  t.window->moveTo(fromRow, fromCol);
  t.runClean(keys);
  t.expectCursor(row, col);
}

// F4 while pointing makes the pointed address absolute.
void makesAbsolute(K& t, const std::string& key) {
  t.runClean("{GOTO B2}+{LEFT}" + key + "~");
  EXPECT_EQ(t.input("B2"), "+$A$2");
}

// Backspace takes back typed characters; a count takes that many.
void backspaces(K& t, const std::string& key) {
  t.runClean("abcd{" + key + " 2}~{" + key + "}");
  EXPECT_EQ(t.text("A1"), "ab");
}

// Esc first clears the typed text, then leaves the entry: nothing is entered.
void escapes(K& t, const std::string& twice) {
  t.run("abc{ESCAPE}");
  EXPECT_TRUE(t.frame.entryActive());
  EXPECT_EQ(t.frame.inputText(), "");
  t.run("abc" + twice);
  EXPECT_FALSE(t.frame.entryActive());
  EXPECT_EQ(t.cell("A1"), nullptr);
}

void branches(K& t, const std::string& keyword) {
  t.name("THERE", "Z11");
  t.cells({"{LET A1,1}{" + keyword + " THERE}{LET A2,1}", "{LET A4,1}"});
  t.cells({"{LET A3,1}"}, 10);
  t.runAt();
  EXPECT_EQ(t.number("A1"), 1);
  EXPECT_EQ(t.cell("A2"), nullptr);
  EXPECT_EQ(t.cell("A4"), nullptr);
  EXPECT_EQ(t.number("A3"), 1);
}

void calls(K& t, const std::string& keyword) {
  t.name("SUB", "Z21");
  t.cells({"{" + keyword + " SUB}{LET A2,A1+1}"});
  t.cells({"{LET A1,A1+1}{RETURN}"}, 20);
  t.runAt();
  EXPECT_EQ(t.number("A1"), 1);
  EXPECT_EQ(t.number("A2"), 2);
  // Without an argument: the subroutine under the cursor.
  t.window->moveTo(20, 25);
  t.runClean("{" + keyword + "}{LET A3,A1}");
  EXPECT_EQ(t.number("A3"), 2);
}

void returns(K& t, const std::string& keyword) {
  t.name("SUB", "Z21");
  t.cells({"{CALL SUB}{LET A2,1}"});
  t.cells({"{LET A1,1}{" + keyword + "}{LET A3,1}"}, 20);
  t.runAt();
  EXPECT_EQ(t.number("A1"), 1);
  EXPECT_EQ(t.cell("A3"), nullptr);
  EXPECT_EQ(t.number("A2"), 1);
  t.run("{" + keyword + "}");
  EXPECT_EQ(t.lastError(), "Stack Underflow, Level<1");
}

// FOR stores the start, the body runs to NEXT until the counter reaches the stop.
void loops(K& t) {
  t.name("I", "C1");
  t.runClean("{FOR I,1,3,1}{LET B1,B1*10+I}{NEXT}{LET B2,I}");
  EXPECT_EQ(t.number("B1"), 123);
  EXPECT_EQ(t.number("B2"), 3);
  t.runClean("{FOR I,5,3,1}{LET B3,B3+1}{NEXT}");
  EXPECT_EQ(t.number("B3"), 1);  // once, the test is at NEXT
  EXPECT_EQ(t.number("C1"), 5);
}

void menus(K& t, const std::string& keyword) {
  t.name("MENU", "Z11");
  t.cells({"First", "one", "{LET C1,1}"}, 10);
  EnterCell(t.ws, "'Second", 10, 26);
  EnterCell(t.ws, "'two", 11, 26);
  EnterCell(t.ws, "'Pick one", 11, 27);
  EnterCell(t.ws, "'{LET C1,2}", 12, 26);
  EnterCell(t.ws, "'{LET C1,3}", 12, 27);
  t.host.scripted = {"Second"};
  t.runClean("{" + keyword + " MENU}");
  EXPECT_EQ(t.number("C1"), 2);
  EXPECT_EQ(t.host.asked.back(), "the menu \"Pick one\"");
  t.host.scripted = {"{ESC}"};
  t.runClean("{" + keyword + " MENU}");
  EXPECT_EQ(t.number("C1"), 3);  // Esc: right of the last item
}

void waitsForKey(K& t, const std::string& keyword) {
  t.host.scripted = {"q", "{DOWN}"};
  t.runClean("{" + keyword + " A1}{" + keyword + " A2}");
  EXPECT_EQ(t.input("A1"), "'q");
  EXPECT_EQ(t.text("A2"), "{DOWN}");
  EXPECT_EQ(t.host.asked, (std::vector<std::string>{"a key", "a key"}));
  // With no key to come the macro stops there.
  t.run("{" + keyword + " B1}{LET B2,1}");
  EXPECT_EQ(t.cell("B2"), nullptr);
}

void asksLabel(K& t, const std::string& keyword) {
  t.enter("B1", "'Where");
  t.host.scripted = {"42", "north"};
  t.runClean("{" + keyword + " \"Count?\",A1}{" + keyword + " +B1&\"?\",A2}");
  EXPECT_EQ(t.input("A1"), "'42");  // a label, though it reads as a number
  EXPECT_EQ(t.text("A2"), "north");
  EXPECT_EQ(t.host.asked,
            (std::vector<std::string>{"the input box \"Count?\"", "the input box \"Where?\""}));
}

void asksNumber(K& t, const std::string& keyword) {
  t.host.scripted = {"3*4", "'text"};
  t.runClean("{" + keyword + " \"How many?\",A1}{" + keyword + " \"Name?\",A2}");
  EXPECT_EQ(t.number("A1"), 12);
  EXPECT_EQ(t.cell("A1")->type(), CellType::NumberFormula);
  EXPECT_EQ(t.text("A2"), "text");
  EXPECT_EQ(t.host.asked.front(), "the input box \"How many?\"");
}

// A keyword of the table whose command letter has no action: the macro stops
// there with the syntax error and the cell's address.
void syntaxError(K& t, const std::string& use) {
  t.cells({"{LET A1,1}" + use + "{LET A2,1}", "{LET A3,1}"});
  t.runAt();
  EXPECT_EQ(t.number("A1"), 1);
  EXPECT_EQ(t.cell("A2"), nullptr);
  EXPECT_EQ(t.cell("A3"), nullptr);
  EXPECT_EQ(t.lastError(), "Syntax Error:Z1");
  EXPECT_TRUE(t.program.macros.endedByError());
  EXPECT_FALSE(t.session.macroRunning);
}

// The headless program refuses what needs a screen, and says so; the same
// keyword on a program with a screen does its work.
void needsScreen(K& t, const std::string& macro, const std::string& keyword) {
  t.run(macro + "{LET A9,1}");
  EXPECT_EQ(t.lastError(), keyword + " needs the desktop program: it shows a window");
  EXPECT_EQ(t.cell("A9"), nullptr);
}

// --- Key names -------------------------------------------------------------------------------

const KeywordCase kKeys[] = {
    {"ABS", [](K& t) { makesAbsolute(t, "{ABS}"); }},
    {"NAME", [](K& t) { makesAbsolute(t, "{NAME}"); }},
    {"ALT",
     [](K& t) {
       t.runClean("{ALT}");
       EXPECT_TRUE(t.frame.menuOpen());
       EXPECT_FALSE(t.view.menu.empty());
     }},
    {"BIGLEFT", [](K& t) { movesCursor(t, "{BIGLEFT 2}", 3, 20, 3, 4); }},
    {"PGLT", [](K& t) { movesCursor(t, "{PGLT}", 3, 20, 3, 12); }},
    {"BIGRIGHT", [](K& t) { movesCursor(t, "{BIGRIGHT 2}", 3, 0, 3, 16); }},
    {"PGRT", [](K& t) { movesCursor(t, "{PGRT}", 3, 1, 3, 9); }},
    {"BS", [](K& t) { backspaces(t, "BS"); }},
    {"BACKSPACE", [](K& t) { backspaces(t, "BACKSPACE"); }},
    {"CALC",
     [](K& t) {
       t.ws.settings.manualRecalc = true;
       t.enter("A1", "1");
       t.enter("B1", "+A1*2");
       t.enter("A1", "5");
       ASSERT_EQ(t.number("B1"), 2) << "manual recalculation";
       t.runClean("{CALC}");
       EXPECT_EQ(t.number("B1"), 10);
     }},
    {"DEL",
     [](K& t) {
       t.enter("A1", "'abc");
       t.runClean("{EDIT}{HOME}{RIGHT}{DEL}~");  // past the prefix
       EXPECT_EQ(t.text("A1"), "bc");
       t.enter("A2", "'gone");
       t.runClean("{GOTO A2}{DEL}");  // in READY: the selection is erased
       EXPECT_TRUE(t.erased("A2"));
     }},
    {"DN", [](K& t) { movesCursor(t, "{DN 3}", 1, 1, 4, 1); }},
    {"DOWN", [](K& t) { movesCursor(t, "{DOWN}{DOWN 0}{DOWN -2}", 1, 1, 4, 1); }},
    {"D", [](K& t) { movesCursor(t, "{D 2}", 0, 0, 2, 0); }},
    {"EDIT",
     [](K& t) {
       t.enter("A1", "'abc");
       t.runClean("{EDIT}d~");
       EXPECT_EQ(t.text("A1"), "abcd");
     }},
    {"END",
     [](K& t) {
       for (const char* a : {"A1", "A2", "A3", "A4", "A5"}) t.enter(a, "1");
       movesCursor(t, "{END}{DOWN}", 0, 0, 4, 0);
     }},
    {"ESC", [](K& t) { escapes(t, "{ESC 2}"); }},
    {"ESCAPE", [](K& t) { escapes(t, "{ESCAPE}{ESCAPE}"); }},
    {"HELP",
     [](K& t) {
       // Help is the desktop's window: the key is what the program receives.
       std::vector<Key>& typed = t.recordKeys();
       t.runClean("{HELP}");
       EXPECT_EQ(typed, std::vector<Key>{Key::F1});
       EXPECT_FALSE(t.frame.entryActive());
     }},
    {"HOME", [](K& t) { movesCursor(t, "{HOME}", 7, 5, 0, 0); }},
    {"INS",
     [](K& t) {
       t.enter("A1", "'abc");
       ASSERT_TRUE(t.frame.insertMode());
       t.runClean("{EDIT}{HOME}{RIGHT}{INS}X~");
       EXPECT_FALSE(t.frame.insertMode());
       EXPECT_EQ(t.text("A1"), "Xbc");  // typed over
     }},
    {"LT", [](K& t) { movesCursor(t, "{LT 2}", 0, 3, 0, 1); }},
    {"LEFT", [](K& t) { movesCursor(t, "{LEFT}", 0, 3, 0, 2); }},
    {"L", [](K& t) { movesCursor(t, "{L 3}", 0, 3, 0, 0); }},
    {"RT", [](K& t) { movesCursor(t, "{RT 2}", 0, 0, 0, 2); }},
    {"RIGHT", [](K& t) { movesCursor(t, "{RIGHT}", 0, 0, 0, 1); }},
    {"R", [](K& t) { movesCursor(t, "{R 3}", 0, 0, 0, 3); }},
    {"UP", [](K& t) { movesCursor(t, "{UP 2}", 5, 0, 3, 0); }},
    {"U", [](K& t) { movesCursor(t, "{U}", 5, 0, 4, 0); }},
    {"PGDN", [](K& t) { movesCursor(t, "{PGDN 2}", 0, 0, 40, 0); }},
    {"PGUP", [](K& t) { movesCursor(t, "{PGUP}", 45, 0, 25, 0); }},
    {"WINDOW",
     [](K& t) {
       t.frame.toggleSplit(*t.window);
       ASSERT_EQ(t.window->activePane(), 0);
       t.runClean("{WINDOW}");
       EXPECT_EQ(t.window->activePane(), 1);
     }},
};
INSTANTIATE_TEST_SUITE_P(AllKeywordsKeys, AllKeywords, ::testing::ValuesIn(kKeys), caseName);

// --- Control flow and interaction --------------------------------------------------------------

const KeywordCase kControl[] = {
    {"BRANCH", [](K& t) { branches(t, "BRANCH"); }},
    {"JUMP", [](K& t) { branches(t, "JUMP"); }},
    {"CALL", [](K& t) { calls(t, "CALL"); }},
    {"MENUCALL", [](K& t) { calls(t, "MENUCALL"); }},
    {"RETURN", [](K& t) { returns(t, "RETURN"); }},
    {"RET", [](K& t) { returns(t, "RET"); }},
    {"IF",
     [](K& t) {
       t.cells({"{IF 1}{LET A1,1}", "{IF 0}{LET A2,1}", "{IF -1}{LET A3,1}", "{LET A4,1}"});
       t.runAt();
       EXPECT_EQ(t.number("A1"), 1);
       EXPECT_EQ(t.cell("A2"), nullptr);
       EXPECT_EQ(t.cell("A3"), nullptr);
       EXPECT_EQ(t.number("A4"), 1);  // a false condition goes on at the next cell
     }},
    {"FOR", [](K& t) { loops(t); }},
    {"NEXT",
     [](K& t) {
       loops(t);
       t.run("{NEXT}");
       EXPECT_EQ(t.lastError(), "NEXT without FOR");
     }},
    {"WHILE",
     [](K& t) {
       t.name("SUB", "Z21");
       t.cells({"{WHILE A1<5,SUB}{LET B1,A1}{WHILE 2,SUB}{LET B2,A1}"});
       t.cells({"{LET A1,A1+1}{RETURN}"}, 20);
       t.runAt();
       EXPECT_EQ(t.number("B1"), 5);
       EXPECT_EQ(t.number("B2"), 5);  // only exactly 1 calls
       EXPECT_TRUE(t.host.errors.empty()) << t.lastError();
     }},
    {"RESTART",
     [](K& t) {
       // The innermost subroutine returns straight to the first caller.
       t.name("OUTER", "Z11");
       t.name("INNER", "Z21");
       t.cells({"{CALL OUTER}{LET A1,1}"});
       t.cells({"{CALL INNER}{LET A2,1}{RETURN}"}, 10);
       t.cells({"{RESTART}{RETURN}"}, 20);
       t.runAt();
       EXPECT_EQ(t.number("A1"), 1);
       EXPECT_EQ(t.cell("A2"), nullptr);
       EXPECT_TRUE(t.host.errors.empty()) << t.lastError();
     }},
    {"EXIT",
     [](K& t) {
       // Leaves the level without going back: the subroutine's cells go on.
       t.name("SUB", "Z21");
       t.cells({"{CALL SUB}{LET B1,1}"});
       t.cells({"{EXIT}{LET B2,1}", "{LET B3,1}"}, 20);
       t.runAt();
       EXPECT_EQ(t.cell("B1"), nullptr);
       EXPECT_EQ(t.number("B2"), 1);
       EXPECT_EQ(t.number("B3"), 1);
     }},
    {"QUIT",
     [](K& t) {
       t.cells({"{LET A1,1}{QUIT}{LET A2,1}", "{LET A3,1}"});
       t.runAt();
       EXPECT_EQ(t.number("A1"), 1);
       EXPECT_EQ(t.cell("A2"), nullptr);
       EXPECT_EQ(t.cell("A3"), nullptr);
       EXPECT_FALSE(t.program.macros.endedByError());
     }},
    {"MENUBRANCH", [](K& t) { menus(t, "MENUBRANCH"); }},
    {"MENUJUMP", [](K& t) { menus(t, "MENUJUMP"); }},
    {"ONERROR",
     [](K& t) {
       t.runClean("{ONERROR Z5}{LET A1,1}");
       EXPECT_EQ(t.program.macros.onErrorCell(), "Z5");
       EXPECT_EQ(t.number("A1"), 1);
       t.runClean("{ONERROR NUL}");
       EXPECT_EQ(t.program.macros.onErrorCell(), "");
     }},
    {"?",
     [](K& t) {
       t.host.scripted = {"x"};
       t.runClean("{?}{LET A1,1}");
       EXPECT_EQ(t.number("A1"), 1);
       EXPECT_TRUE(t.host.scripted.empty());
       EXPECT_EQ(t.host.asked, std::vector<std::string>{"a key"});
       EXPECT_EQ(t.cell("A2"), nullptr);  // the key was not typed into the sheet
       t.run("{?}{LET A3,1}");
       EXPECT_EQ(t.cell("A3"), nullptr);
     }},
    {"GET", [](K& t) { waitsForKey(t, "GET"); }},
    {"INKEY", [](K& t) { waitsForKey(t, "INKEY"); }},
    {"GETLABEL", [](K& t) { asksLabel(t, "GETLABEL"); }},
    {"INLABEL", [](K& t) { asksLabel(t, "INLABEL"); }},
    {"GETNUMBER", [](K& t) { asksNumber(t, "GETNUMBER"); }},
    {"INVALUE", [](K& t) { asksNumber(t, "INVALUE"); }},
    {"LET",
     [](K& t) {
       t.enter("B1", "4");
       t.runClean("{LET A1,B1*2}{LET A2,\"words\"}{LET A3 B1+1}{LET A4,TRUE}");
       EXPECT_EQ(t.number("A1"), 8);
       EXPECT_EQ(t.cell("A1")->type(), CellType::Integer);  // the value, not the formula
       EXPECT_EQ(t.text("A2"), "words");
       EXPECT_EQ(t.number("A3"), 5);
       EXPECT_EQ(t.number("A4"), 1);
     }},
    {"DELAY",
     [](K& t) {
       auto start = std::chrono::steady_clock::now();
       t.runClean("{DELAY 20}{LET A1,1}");
       EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
       EXPECT_EQ(t.number("A1"), 1);
     }},
    {"BEEP",
     [](K& t) {
       t.runClean("{BEEP}");
       EXPECT_EQ(t.host.beeps, 1);
       t.runClean("{BEEP 3}");
       EXPECT_EQ(t.host.beeps, 4);
     }},
    {"UPDATE",
     [](K& t) {
       int redraws = t.host.redraws, moves = t.view.moves;
       t.runClean("{UPDATE 2}");
       EXPECT_GE(t.host.redraws, redraws + 2);
       EXPECT_GE(t.view.moves, moves + 2);
     }},
    {"UNDO",
     [](K& t) {
       t.enter("A1", "5");
       t.runClean("{BLANK A1}");
       ASSERT_TRUE(t.erased("A1"));
       t.runClean("{UNDO}");
       EXPECT_EQ(t.number("A1"), 5);
     }},
    {"RECALC",
     [](K& t) {
       t.ws.settings.manualRecalc = true;
       t.enter("A1", "1");
       t.enter("B1", "+A1*2");
       t.enter("A1", "7");
       ASSERT_EQ(t.number("B1"), 2);
       t.runClean("{RECALC A1}");  // the whole worksheet, whatever the range
       EXPECT_EQ(t.number("B1"), 14);
     }},
    {"GOTO",
     [](K& t) {
       t.name("SPOT", "E9..F10");
       t.runClean("{GOTO C5}");
       t.expectCursor(4, 2);
       t.runClean("{GOTO SPOT}");
       t.expectCursor(8, 4);
     }},
    {"XDN", [](K& t) { movesCursor(t, "{XDN}{XDN 2}", 2, 3, 5, 3); }},
    {"ANCHOR",
     [](K& t) {
       t.runClean("{GOTO C5}{ANCHOR 1}{RIGHT}{DOWN}");
       EXPECT_EQ(t.window->selection(), CellRange::of(4, 2, 5, 3));
       t.runClean("{ANCHOR 0}");
       EXPECT_EQ(t.window->selection(), CellRange::cell(5, 3));
       t.runClean("{RIGHT}");
       EXPECT_EQ(t.window->selection(), CellRange::cell(5, 4));
     }},
    {"BORDER",
     [](K& t) {
       t.runClean("{BORDER 3,C4}");
       EXPECT_EQ(t.ws.settings.titleRows, CellRange::of(0, 0, 3, kColumns - 1));
       EXPECT_EQ(t.ws.settings.titleColumns, CellRange::of(0, 0, kRows - 1, 2));
       t.runClean("{BORDER 4,E9}");  // above 3: ignored
       EXPECT_EQ(t.ws.settings.titleRows.row2, 3);
       t.runClean("{BORDER 0,A1}");
       EXPECT_FALSE(t.ws.settings.titleRows.valid());
       EXPECT_FALSE(t.ws.settings.titleColumns.valid());
     }},
    {"COLWIDTH",
     [](K& t) {
       t.runClean("{COLWIDTH D1,12}");
       EXPECT_EQ(t.ws.columnPixels(3), 96);  // eight pixels a character
       EXPECT_NE(t.ws.columnPixels(2), 96);
     }},
    {"ROWHEIGHT",
     [](K& t) {
       t.runClean("{GOTO B6}{ROWHEIGHT ,30}{ROWHEIGHT A2,25}");
       EXPECT_EQ(t.ws.rowPixels(5), 30);  // the cursor's row when the cell is omitted
       EXPECT_EQ(t.ws.rowPixels(1), 25);
     }},
    {"INRANGE",
     [](K& t) {
       // No action of its own: what follows it in the braces is typed.
       t.runClean("{INRANGE abc}{LET B1,1}");
       EXPECT_EQ(t.text("A1"), "abc");
       EXPECT_EQ(t.number("B1"), 1);
     }},
};
INSTANTIATE_TEST_SUITE_P(AllKeywordsControl, AllKeywords, ::testing::ValuesIn(kControl), caseName);

// --- Sound and screen ------------------------------------------------------------------------

const KeywordCase kScreen[] = {
    {"TONE",
     [](K& t) {
       needsScreen(t, "{TONE 440,3}", "TONE");
       ScreenProgram p;
       p.macros.RunMacroText("{TONE 440,3}{TONE 220*2+1,1}");
       EXPECT_EQ(p.host.tones, (std::vector<std::pair<int, int>>{{440, 3}, {441, 1}}));
     }},
    {"PLAYWAVE",
     [](K& t) {
       t.enter("B1", "'ding.wav");
       t.runClean("{PLAYWAVE \"x.wav\",2}{PLAYWAVE B1,3}{PLAYWAVE \"\",0}");
       EXPECT_EQ(t.host.sounds, (std::vector<std::string>{"x.wav|2", "ding.wav|3", "|0"}));
       needsScreen(t, "{PLAYWAVE \"x.wav\",4}", "PLAYWAVE");  // the media player's window
       ScreenProgram p;
       p.macros.RunMacroText("{PLAYWAVE \"x.wav\",4}");
       EXPECT_EQ(p.host.sounds, std::vector<std::string>{"x.wav|4"});
     }},
    {"BREAKON",
     [](K& t) {
       // Shares PLAYWAVE's token: without arguments it stops the sound.
       t.runClean("{PLAYWAVE \"x.wav\",3}{BREAKON}{LET A1,1}");
       EXPECT_EQ(t.host.sounds, (std::vector<std::string>{"x.wav|3", "|0"}));
       EXPECT_EQ(t.number("A1"), 1);
     }},
    {"VIEW",
     [](K& t) {
       needsScreen(t, "{VIEW \"Q0\"}", "VIEW");
       ScreenProgram p;
       p.macros.RunMacroText("{VIEW \"Q0M1S0\"}");
       EXPECT_FALSE(p.session.settings().quickBar);
       EXPECT_TRUE(p.session.settings().macroBar);
       EXPECT_FALSE(p.session.settings().statusBar);
       EXPECT_EQ(p.view.bars, "M");
       p.macros.RunMacroText("{VIEW \"s1q1\"}");
       EXPECT_EQ(p.view.bars, "QMS");
     }},
    {"VIEWZOOM",
     [](K& t) {
       needsScreen(t, "{VIEWZOOM 150}", "VIEWZOOM");
       ScreenProgram p;
       WindowState& w = *p.frame.active();
       p.macros.RunMacroText("{VIEWZOOM 150}");
       EXPECT_EQ(w.zoom, 150);
       p.macros.RunMacroText("{VIEWZOOM 500}");
       EXPECT_EQ(w.zoom, 200);
       p.macros.RunMacroText("{VIEWZOOM 5}");
       EXPECT_EQ(w.zoom, 20);
     }},
    {"GRAPH",
     [](K& t) {
       needsScreen(t, "{GRAPH}", "GRAPH");
       ScreenProgram p;
       p.macros.RunMacroText("{GRAPH}");
       ASSERT_EQ(p.view.graphs.size(), 1u);
       EXPECT_EQ(p.view.graphs[0].graph, 0);  // the current graph
       EXPECT_TRUE(p.view.graphs[0].modal);   // the macro waits for it
     }},
    {"GRAPHVIEW",
     [](K& t) {
       needsScreen(t, "{GRAPHVIEW 1,100}", "GRAPHVIEW");
       ScreenProgram p;
       p.macros.RunMacroText("{GRAPHVIEW 2,50}{GRAPHVIEW 1}");
       ASSERT_EQ(p.view.graphs.size(), 2u);
       EXPECT_TRUE(p.view.graphs[0].maximised);
       EXPECT_EQ(p.view.graphs[0].closeAfterMs, 50);
       EXPECT_TRUE(p.view.graphs[0].modal);
       EXPECT_FALSE(p.view.graphs[1].maximised);
       EXPECT_EQ(p.view.graphs[1].closeAfterMs, 0);
     }},
    {"FILEFOCUS",
     [](K& t) {
       needsScreen(t, "{FILEFOCUS \"SHEET1.WKS\"}", "FILEFOCUS");
       ScreenProgram p;
       p.frame.execute("FILENEW");
       ASSERT_EQ(p.frame.windows().size(), 2u);
       ASSERT_EQ(p.frame.active(), p.frame.windows()[1].get());
       p.macros.RunMacroText("{FILEFOCUS \"sheet1.wks\"}");
       EXPECT_EQ(p.frame.active(), p.frame.windows()[0].get());
     }},
};
INSTANTIATE_TEST_SUITE_P(AllKeywordsScreen, AllKeywords, ::testing::ValuesIn(kScreen), caseName);

// --- File input and output ---------------------------------------------------------------------

const KeywordCase kFileIo[] = {
    {"OPEN",
     [](K& t) {
       std::string f = t.dir.file("o.txt");
       t.runClean("{OPEN 1,2," + inQuotes(f) + "}{WRITE 1,\"new\"}{CLOSE 1}{LET A1,@IORESULT}");
       EXPECT_EQ(slurp(f), "new");
       EXPECT_EQ(t.number("A1"), 0);
       // Mode 2 makes the file anew, 3 appends, 1 reads.
       t.runClean("{OPEN 2,2," + inQuotes(f) + "}{WRITE 2,\"a\"}{OPEN 2,3," + inQuotes(f) +
                  "}{WRITE 2,\"b\"}{CLOSE 2}{OPEN 3,1," + inQuotes(f) + "}{WRITE 3,\"c\"}" +
                  "{LET A2,@IORESULT}{OPEN 4,1," + inQuotes(t.dir.file("none")) +
                  "}{LET A3,@IORESULT}");
       EXPECT_EQ(slurp(f), "ab");
       EXPECT_NE(t.number("A2"), 0);  // a file open for reading is not written
       EXPECT_EQ(t.number("A3"), 2);  // file not found, and the macro goes on
       EXPECT_TRUE(t.host.errors.empty());
     }},
    {"APPEND",
     [](K& t) {
       std::string f = t.dir.file("a.txt");
       writeFile(f, "x");
       t.runClean("{APPEND 5," + inQuotes(f) + "}{WRITE 5,\"y\"}{CLOSE 5}");
       EXPECT_EQ(slurp(f), "xy");
     }},
    {"CLOSE",
     [](K& t) {
       std::string f = t.dir.file("c.txt");
       t.runClean("{OPEN 1,2," + inQuotes(f) + "}{CLOSE 1}{LET A1,@IORESULT}{WRITE 1,\"z\"}" +
                  "{LET A2,@IORESULT}{CLOSE 1}{LET A3,@IORESULT}");
       EXPECT_EQ(t.number("A1"), 0);
       EXPECT_EQ(t.number("A2"), 6);  // no longer open
       EXPECT_EQ(t.number("A3"), 6);
       EXPECT_EQ(slurp(f), "");
     }},
    {"WRITE",
     [](K& t) {
       std::string f = t.dir.file("w.txt");
       t.enter("B1", "'cell");
       t.runClean("{OPEN 1,2," + inQuotes(f) +
                  "}{WRITE 1,\"a\"}{WRITE 1,B1}{WRITE 1,6*7}{CLOSE 1}");
       EXPECT_EQ(slurp(f), "acell42");  // no line ends
     }},
    {"WRITELN",
     [](K& t) {
       std::string f = t.dir.file("l.txt");
       t.runClean("{OPEN 1,2," + inQuotes(f) + "}{WRITELN 1,\"one\"}{WRITELN 1,2}{CLOSE 1}");
       EXPECT_EQ(slurp(f), "one\r\n2\r\n");
     }},
    {"CHDIR",
     [](K& t) {
       std::filesystem::path before = std::filesystem::current_path();
       t.runClean("{CHDIR " + inQuotes(t.dir.path()) + "}{LET A1,@IORESULT}{CHDIR \"\"}" +
                  "{OPEN 1,2,\"here.txt\"}{CLOSE 1}{CHDIR " + inQuotes(t.dir.file("none")) +
                  "}{LET A2,@IORESULT}");
       std::filesystem::path after = std::filesystem::current_path();
       std::filesystem::current_path(before);
       EXPECT_TRUE(std::filesystem::equivalent(after, t.dir.path()));
       EXPECT_EQ(t.number("A1"), 0);
       EXPECT_TRUE(std::filesystem::exists(t.dir.file("here.txt")));
       EXPECT_EQ(t.number("A2"), 3);  // path not found
     }},
    {"MKDIR",
     [](K& t) {
       t.runClean("{MKDIR " + inQuotes(t.dir.file("made")) + "}{LET A1,@IORESULT}");
       EXPECT_TRUE(std::filesystem::is_directory(t.dir.file("made")));
       EXPECT_EQ(t.number("A1"), 0);
     }},
    {"RMDIR",
     [](K& t) {
       std::filesystem::create_directory(t.dir.file("gone"));
       t.runClean("{RMDIR " + inQuotes(t.dir.file("gone")) + "}{LET A1,@IORESULT}{RMDIR " +
                  inQuotes(t.dir.file("gone")) + "}{LET A2,@IORESULT}");
       EXPECT_FALSE(std::filesystem::exists(t.dir.file("gone")));
       EXPECT_EQ(t.number("A1"), 0);
       EXPECT_NE(t.number("A2"), 0);
     }},
};
INSTANTIATE_TEST_SUITE_P(AllKeywordsFileIo, AllKeywords, ::testing::ValuesIn(kFileIo), caseName);

// --- Range commands ----------------------------------------------------------------------------

const KeywordCase kRanges[] = {
    {"RANGEBUILD",
     [](K& t) {
       t.enter("A1", "'TOTAL");
       t.enter("B1", "'C5");
       t.enter("A2", "'SPAN");
       t.enter("B2", "'D1..E2");
       t.runClean("{RANGEBUILD A1..A2}");
       ASSERT_GT(t.ws.names.FindName("TOTAL"), 0);
       EXPECT_EQ(t.ws.names.entry(t.ws.names.FindName("TOTAL")).range, CellRange::cell(4, 2));
       EXPECT_EQ(t.ws.names.entry(t.ws.names.FindName("SPAN")).range.ordered(),
                 CellRange::of(0, 3, 1, 4));
     }},
    {"RANGECOLOR",
     [](K& t) {
       t.enter("A1", "1");
       t.enter("A2", "2");
       t.runClean("{RANGECOLOR A1..A2,255,2}");
       EXPECT_EQ(t.cell("A1")->colour, 0x020000FFu);
       EXPECT_EQ(t.cell("A2")->colour, 0x020000FFu);
     }},
    {"RANGECREATE",
     [](K& t) {
       t.runClean("{RANGECREATE \"longername\",B2..C3}");
       int n = t.ws.names.FindName("LONGERNA");  // cut to eight characters
       ASSERT_GT(n, 0);
       EXPECT_EQ(t.ws.names.entry(n).range.ordered(), CellRange::of(1, 1, 2, 2));
       t.runClean("{RANGECREATE \"LONGERNA\",D4}");  // redefined
       EXPECT_EQ(t.ws.names.entry(t.ws.names.FindName("LONGERNA")).range, CellRange::cell(3, 3));
       EXPECT_EQ(t.ws.names.count(), 1);
     }},
    {"RANGEDELETE",
     [](K& t) {
       t.name("KEEP", "A1");
       t.name("DROPPING", "A2");
       t.runClean("{RANGEDELETE \"droppingtoo\"}");
       EXPECT_LE(t.ws.names.FindName("DROPPING"), 0);
       EXPECT_GT(t.ws.names.FindName("KEEP"), 0);
     }},
    {"BLOCKCASE",
     [](K& t) {
       t.enter("A1", "'hello wide world");
       t.enter("A2", "12");
       t.runClean("{BLOCKCASE A1..A2,0}");
       EXPECT_EQ(t.text("A1"), "HELLO WIDE WORLD");
       t.runClean("{BLOCKCASE A1,2}");
       EXPECT_EQ(t.text("A1"), "Hello Wide World");
       t.runClean("{BLOCKCASE A1,1}");
       EXPECT_EQ(t.text("A1"), "hello wide world");
       EXPECT_EQ(t.number("A2"), 12);
     }},
    {"RANGEFORMAT",
     [](K& t) {
       t.enter("A1", "0.5");
       t.runClean("{RANGEFORMAT A1..A2,\"P0\"}");
       EXPECT_EQ(t.cell("A1")->format & kFormatMask, ParseFormatCode("P0"));
     }},
    {"RANGEJUSTIFY",
     [](K& t) {
       t.enter("A1", "'x");
       t.runClean("{RANGEJUSTIFY A1,2}");
       EXPECT_EQ(t.cell("A1")->style & 0x70, 0x20);
     }},
    {"RANGELOCK",
     [](K& t) {
       t.enter("A1", "1");
       t.runClean("{RANGELOCK A1,1}");
       EXPECT_TRUE(t.cell("A1")->isProtected());
       t.runClean("{RANGELOCK A1,0}");
       EXPECT_FALSE(t.cell("A1")->isProtected());
     }},
    {"RANGEPREFIX",
     [](K& t) {
       t.enter("A1", "'abc");
       t.enter("A2", "5");
       t.runClean("{RANGEPREFIX A1..A2,\"^\"}");
       EXPECT_EQ(t.input("A1"), "^abc");
       EXPECT_EQ(t.number("A2"), 5);
       t.runClean("{RANGEPREFIX A1,\"\"}");  // nothing for an empty text
       EXPECT_EQ(t.input("A1"), "^abc");
     }},
    {"RANGERESET",
     [](K& t) {
       t.name("ONE", "A1");
       t.name("TWO", "B2");
       t.runClean("{RANGERESET}");
       EXPECT_EQ(t.ws.names.count(), 0);
     }},
    {"RANGETABLE",
     [](K& t) {
       t.name("TOTALS", "A1..A3");
       t.runClean("{RANGETABLE D1}");
       EXPECT_EQ(t.text("D1"), "TOTALS");
       EXPECT_EQ(t.text("E1"), "A1..A3");
     }},
    {"REPLACE",
     [](K& t) {
       t.enter("B1", "2");
       t.enter("B2", "4");
       t.enter("A1", "@SUM(B1..B2)");
       t.enter("A2", "@SUM(B1..B2)");
       t.runClean("{REPLACE 1,A1..A2,\"sum\",\"avg\"}");
       EXPECT_EQ(t.input("A1"), "@SUM(B1..B2)");  // bit 0: the case counts
       t.runClean("{REPLACE 0,A1,\"sum\",\"avg\"}");
       EXPECT_EQ(t.input("A1"), "@AVG(B1..B2)");
       EXPECT_EQ(t.number("A1"), 3);
       EXPECT_EQ(t.input("A2"), "@SUM(B1..B2)");  // outside the range
     }},
};
INSTANTIATE_TEST_SUITE_P(AllKeywordsRanges, AllKeywords, ::testing::ValuesIn(kRanges), caseName);

// --- Copying and the worksheet's rows and columns ------------------------------------------------

const KeywordCase kSheet[] = {
    {"COPY",
     [](K& t) {
       t.enter("B1", "3");
       t.enter("A1", "+B1*2");
       t.runClean("{COPY A1,A2..A3}");
       EXPECT_EQ(t.input("A2"), "+B2*2");  // references follow
       EXPECT_EQ(t.input("A3"), "+B3*2");
       EXPECT_EQ(t.input("A1"), "+B1*2");
     }},
    {"MOVE",
     [](K& t) {
       t.enter("A1", "5");
       t.enter("B1", "+A1+1");
       t.runClean("{MOVE A1,D4}");
       EXPECT_EQ(t.cell("A1"), nullptr);
       EXPECT_EQ(t.number("D4"), 5);
       EXPECT_EQ(t.input("B1"), "+D4+1");  // what referred to it follows
     }},
    {"COPYFORM",
     [](K& t) {
       t.enter("B1", "3");
       t.enter("A1", "+B1*2");
       t.runClean("{RANGEFORMAT A1,\"F2\"}{COPYFORM A1,D5}");
       EXPECT_EQ(t.input("D5"), "+B1*2");  // the text as listed: the same cells
       EXPECT_EQ(t.number("D5"), 6);
       EXPECT_EQ(t.cell("D5")->format & kFormatMask, ParseFormatCode("F2"));
     }},
    {"COPYVAL",
     [](K& t) {
       t.enter("B1", "3");
       t.enter("A1", "+B1*2");
       t.runClean("{COPYVAL A1..B1,D1}");
       EXPECT_EQ(t.number("D1"), 6);
       EXPECT_EQ(t.input("D1"), "6");  // a value, not a formula
       EXPECT_EQ(t.number("E1"), 3);
     }},
    {"COPYTRANS",
     [](K& t) {
       t.enter("A1", "1");
       t.enter("B1", "2");
       t.enter("C1", "3");
       t.runClean("{COPYTRANS A1..C1,E1}");
       EXPECT_EQ(t.number("E1"), 1);
       EXPECT_EQ(t.number("E2"), 2);
       EXPECT_EQ(t.number("E3"), 3);
     }},
    {"COPYSCALE",
     [](K& t) {
       t.enter("A1", "1.5");
       t.enter("A2", "-4");
       t.runClean("{COPYSCALE A1..A2,C1,10}");
       EXPECT_EQ(t.number("C1"), 15);
       EXPECT_EQ(t.number("C2"), -40);
     }},
    {"COPYINV",
     [](K& t) {
       t.enter("A1", "4");
       t.enter("A2", "-0.5");
       t.runClean("{COPYINV A1..A2,C1}");
       EXPECT_EQ(t.number("C1"), 0.25);
       EXPECT_EQ(t.number("C2"), -2);
     }},
    {"BLANK",
     [](K& t) {
       t.enter("A1", "1");
       t.enter("B2", "'x");
       t.enter("C3", "3");
       t.runClean("{BLANK A1..B2}");
       EXPECT_TRUE(t.erased("A1"));
       EXPECT_TRUE(t.erased("B2"));
       EXPECT_EQ(t.number("C3"), 3);
     }},
    {"INSERTCOL",
     [](K& t) {
       t.enter("A1", "1");
       t.enter("B1", "2");
       t.runClean("{INSERTCOL B5}");
       EXPECT_EQ(t.number("A1"), 1);
       EXPECT_EQ(t.cell("B1"), nullptr);
       EXPECT_EQ(t.number("C1"), 2);
     }},
    {"DELETECOL",
     [](K& t) {
       t.enter("A1", "1");
       t.enter("B1", "2");
       t.enter("C1", "3");
       t.runClean("{DELETECOL B9}");
       EXPECT_EQ(t.number("B1"), 3);
       EXPECT_EQ(t.cell("C1"), nullptr);
     }},
    {"INSERTROW",
     [](K& t) {
       t.enter("A1", "1");
       t.enter("A2", "2");
       t.runClean("{INSERTROW C2}");
       EXPECT_EQ(t.cell("A2"), nullptr);
       EXPECT_EQ(t.number("A3"), 2);
     }},
    {"DELETEROW",
     [](K& t) {
       t.enter("A1", "1");
       t.enter("A2", "2");
       t.enter("A3", "3");
       t.runClean("{DELETEROW D2}");
       EXPECT_EQ(t.number("A2"), 3);
       EXPECT_EQ(t.cell("A3"), nullptr);
     }},
    {"EDITCOPY",
     [](K& t) {
       t.enter("A1", "1");
       t.enter("B1", "'x");
       t.runClean("{EDITCOPY A1..B1}");
       EXPECT_EQ(t.host.clipboardData.text, "1\tx\r\n");
       EXPECT_EQ(t.number("A1"), 1);
     }},
    {"EDITCUT",
     [](K& t) {
       t.enter("A1", "1");
       t.enter("B1", "'x");
       t.runClean("{EDITCUT A1..B1}");
       EXPECT_EQ(t.host.clipboardData.text, "1\tx\r\n");
       EXPECT_TRUE(t.erased("A1"));
       EXPECT_TRUE(t.erased("B1"));
     }},
    {"EDITPASTE",
     [](K& t) {
       t.enter("B1", "4");
       t.enter("A1", "+B1*2");
       t.runClean("{EDITCOPY A1..B1}{EDITPASTE D5}");
       EXPECT_EQ(t.input("D5"), "+B1*2");
       EXPECT_EQ(t.number("E5"), 4);
       t.host.clipboardData = ClipboardData{};
       t.host.clipboardData.hasText = true;
       t.host.clipboardData.text = "7\tseven\r\n";
       t.runClean("{GOTO A9}{EDITPASTE}");  // at the cursor
       EXPECT_EQ(t.number("A9"), 7);
       EXPECT_EQ(t.text("B9"), "seven");
     }},
};
INSTANTIATE_TEST_SUITE_P(AllKeywordsSheet, AllKeywords, ::testing::ValuesIn(kSheet), caseName);

// --- Data and matrix commands --------------------------------------------------------------------

void column(K& t, const std::string& first, std::initializer_list<double> values) {
  auto [row, col] = t.at(first);
  for (double v : values) EnterNumber(t.ws, row++, col, v);
}

const KeywordCase kData[] = {
    {"DATAFILL",
     [](K& t) {
       t.runClean("{DATAFILL A1..A4,5,5,1}{DATAFILL B1..B3,1,3,2}");
       EXPECT_EQ(t.number("A1"), 5);
       EXPECT_EQ(t.number("A4"), 20);
       EXPECT_EQ(t.number("B3"), 9);  // multiplied
     }},
    {"DATASORT",
     [](K& t) {
       const char* rows[][2] = {{"'x", "3"}, {"'y", "1"}, {"'x", "1"}, {"'y", "2"}};
       for (int r = 0; r < 4; ++r) {
         EnterCell(t.ws, rows[r][0], r, 0);
         EnterCell(t.ws, rows[r][1], r, 1);
       }
       t.runClean("{DATASORT A1..B4,A1,1,B1,0}");
       EXPECT_EQ(t.text("A1") + t.text("A2") + t.text("A3") + t.text("A4"), "xxyy");
       EXPECT_EQ(t.number("B1"), 3);  // second key descending
       EXPECT_EQ(t.number("B2"), 1);
       EXPECT_EQ(t.number("B3"), 2);
     }},
    {"DATAQUERY",
     [](K& t) {
       for (auto [a, v] : {std::pair{"A1", "NAME"},
                           {"A2", "anna"},
                           {"A3", "bob"},
                           {"A4", "alan"},
                           {"E1", "NAME"},
                           {"E2", "a*"},
                           {"H1", "NAME"}})
         t.enter(a, std::string("'") + v);
       t.runClean("{DATAQUERY A1..A4,E1..E2,H1}");
       EXPECT_EQ(t.text("H2"), "anna");
       EXPECT_EQ(t.text("H3"), "alan");
       EXPECT_EQ(t.cell("H4"), nullptr);
     }},
    {"DATATABLE",
     [](K& t) {
       t.enter("C1", "+A1*2");
       t.enter("B2", "1");
       t.enter("B3", "2");
       t.runClean("{DATATABLE B1..C3,A1}");
       EXPECT_EQ(t.number("C2"), 2);
       EXPECT_EQ(t.number("C3"), 4);
       // Two inputs: the second is a defined cell.
       t.enter("E1", "+A1*A2");
       t.enter("F1", "1");
       t.enter("G1", "2");
       t.enter("E2", "3");
       t.runClean("{DATATABLE E1..G2,A1,A2}");
       EXPECT_EQ(t.number("F2"), 3);
       EXPECT_EQ(t.number("G2"), 6);
     }},
    {"DATAREGRESS",
     [](K& t) {
       column(t, "A1", {1, 2, 3});
       column(t, "B1", {3, 5, 7});
       t.runClean("{DATAREGRESS A1..A3,B1..B3,D1}");
       EXPECT_EQ(t.text("D1"), "Intercept");
       EXPECT_NEAR(t.number("E1"), 1, 1e-12);
       EXPECT_EQ(t.text("D2"), "Slope");
       EXPECT_NEAR(t.number("E2"), 2, 1e-12);
     }},
    {"DATAMULREG",
     [](K& t) {
       column(t, "F1", {1, 2, 3});
       column(t, "H1", {6, 17, 34});  // 1 + 2x + 3x^2
       t.runClean("{DATAMULREG F1..F3,H1..H3,L1,\"A0,A1,A2\"}");
       EXPECT_EQ(t.text("L3"), "x1^2");
       EXPECT_NEAR(t.number("M3"), 3, 1e-9);
     }},
    {"DATAGOAL",
     [](K& t) {
       // The tolerance comes first, the value sought second.
       t.enter("O1", "1");
       t.enter("P1", "+O1^2");
       t.runClean("{DATAGOAL O1,P1,0.000001,2}");
       EXPECT_NEAR(t.number("O1"), std::sqrt(2.0), 1e-5);
     }},
    {"DATABIN",
     [](K& t) {
       column(t, "A1", {5, 10, 15, 25});
       column(t, "C1", {10, 20});
       t.ws.settings.binsLowerInclusive = false;
       t.runClean("{DATABIN A1..A4,C1..C2}");
       EXPECT_EQ(t.number("D1"), 2);
       EXPECT_EQ(t.number("D2"), 1);
       EXPECT_EQ(t.number("D3"), 1);
     }},
    {"DATAPARSE",
     [](K& t) {
       t.enter("A1", "'12 abc 3.5");
       t.runClean("{DATAPARSE A1..C1}");
       EXPECT_EQ(t.number("A1"), 12);
       EXPECT_EQ(t.text("B1"), "abc");
       EXPECT_EQ(t.number("C1"), 3.5);
     }},
    {"DATAFORM",
     [](K& t) {
       t.enter("A1", "'FRUIT");
       t.enter("B1", "'PRICE");
       t.enter("A2", "'apple");
       t.enter("B2", "1");
       t.host.scripted.push_back("PRICE=99;press=Update");
       t.runClean("{DATAFORM A1..B1}");
       EXPECT_EQ(t.host.asked.back(), "the dialog \"Data Form\"");
       EXPECT_EQ(t.number("B2"), 99);
       EXPECT_EQ(t.text("A2"), "apple");
     }},
};
INSTANTIATE_TEST_SUITE_P(AllKeywordsData, AllKeywords, ::testing::ValuesIn(kData), caseName);

// A1..B2 = [2 0; 0 4], C1..D2 = [1 2; 3 4].
void matrices(K& t) {
  column(t, "A1", {2, 0});
  column(t, "B1", {0, 4});
  column(t, "C1", {1, 3});
  column(t, "D1", {2, 4});
}
void expectBlock(K& t, const std::string& first, std::initializer_list<double> byRows) {
  auto [row, col] = t.at(first);
  std::vector<double> v(byRows);
  for (size_t i = 0; i < v.size(); ++i) {
    int r = row + static_cast<int>(i / 2), c = col + static_cast<int>(i % 2);
    EXPECT_NEAR(t.ws.CellNumber(t.ws.FindCell(r, c)), v[i], 1e-12) << t.ws.addressText(r, c);
  }
}

const KeywordCase kMatrix[] = {
    {"MATADD",
     [](K& t) {
       matrices(t);
       t.runClean("{MATADD A1..B2,C1..D2,F1}");
       expectBlock(t, "F1", {3, 2, 3, 8});
     }},
    {"MATSUB",
     [](K& t) {
       matrices(t);
       t.runClean("{MATSUB A1..B2,C1..D2,F1}");
       expectBlock(t, "F1", {1, -2, -3, 0});
     }},
    {"MATMLT",
     [](K& t) {
       matrices(t);
       t.runClean("{MATMLT A1..B2,C1..D2,F1}");
       expectBlock(t, "F1", {2, 4, 12, 16});
     }},
    {"MATINV",
     [](K& t) {
       matrices(t);
       t.runClean("{MATINV A1..B2,F1}");
       expectBlock(t, "F1", {0.5, 0, 0, 0.25});
     }},
    {"MATSLV",
     [](K& t) {
       // 2x + y = 5, x + 3y = 10: the coefficients and the right-hand side.
       column(t, "A5", {2, 1});
       column(t, "B5", {1, 3});
       column(t, "C5", {5, 10});
       t.runClean("{MATSLV A5..C6,N1}");
       EXPECT_NEAR(t.number("N1"), 1, 1e-12);
       EXPECT_NEAR(t.number("N2"), 3, 1e-12);
     }},
    {"MATDET",
     [](K& t) {
       matrices(t);
       t.runClean("{MATDET C1..D2,P1}");
       EXPECT_NEAR(t.number("P1"), -2, 1e-12);
     }},
    {"MATLIN",
     [](K& t) {
       // Most of 3x + 2y with x + y <= 4: x = 4, 12.
       column(t, "A11", {1, 3});
       column(t, "B11", {1, 2});
       t.enter("C11", "'LE");
       t.enter("D11", "4");
       t.runClean("{MATLIN A11..D12,R1}");
       EXPECT_EQ(t.text("R1"), "Objective");
       EXPECT_EQ(t.number("S1"), 12);
       EXPECT_EQ(t.number("S2"), 4);
     }},
};
INSTANTIATE_TEST_SUITE_P(AllKeywordsMatrix, AllKeywords, ::testing::ValuesIn(kMatrix), caseName);

// --- Files ---------------------------------------------------------------------------------------

// A worksheet file with 7 in A1, saved from a window of its own.
std::string savedSheet(K& t, const std::string& file) {
  std::string path = t.dir.file(file);
  t.frame.execute("FILENEW");
  EnterCell(t.activeSheet(), "7", 0, 0);
  EXPECT_TRUE(t.frame.execute("FILESAVEAS", {Arg::ofText(path), Arg::ofNumber(0)}).ok);
  t.frame.closeWindow(*t.frame.active());
  t.frame.activate(t.window);
  return path;
}

const KeywordCase kFiles[] = {
    {"FILENEW",
     [](K& t) {
       t.runClean("{FILENEW}");
       ASSERT_EQ(t.frame.windows().size(), 2u);
       EXPECT_NE(&t.activeSheet(), &t.ws);
       EXPECT_EQ(t.activeSheet().FindCell(0, 0), kNoCell);
     }},
    {"FILEOPEN",
     [](K& t) {
       std::string path = savedSheet(t, "open.wk1");
       t.runClean("{FILEOPEN " + inQuotes(path) + "}{LET B1,A1*2}");
       ASSERT_EQ(t.frame.windows().size(), 2u);
       Worksheet& opened = t.activeSheet();
       EXPECT_EQ(opened.fileName, path);
       EXPECT_EQ(opened.CellNumber(opened.FindCell(0, 1)), 14);  // the macro went on there
       t.runClean("{FILEOPEN " + inQuotes(path) + "}");
       EXPECT_EQ(t.frame.windows().size(), 2u);  // already open: not again
     }},
    {"FILERETRIEVE",
     [](K& t) {
       std::string path = savedSheet(t, "back.wk1");
       t.enter("C1", "1");  // a changed worksheet, closed without asking
       t.run("{FILERETRIEVE " + inQuotes(path) + ",1}{LET B1,1}");
       ASSERT_EQ(t.frame.windows().size(), 1u);
       Worksheet& back = t.frame.active()->worksheet();
       EXPECT_EQ(back.fileName, path);
       EXPECT_EQ(back.CellNumber(back.FindCell(0, 0)), 7);
       EXPECT_EQ(back.FindCell(0, 1), kNoCell);  // the macro ended
       EXPECT_TRUE(t.host.questions.empty());
     }},
    {"FILESAVE",
     [](K& t) {
       std::string path = t.dir.file("saved.wk1");
       t.frame.execute("FILESAVEAS", {Arg::ofText(path), Arg::ofNumber(0)});
       t.enter("A1", "'later");
       t.runClean("{FILESAVE}");
       EXPECT_FALSE(t.ws.modified);
       Worksheet& other = t.session.openWorksheet("CHECK.WK1");
       ASSERT_TRUE(Load(other, path, LoadOptions{}));
       EXPECT_EQ(other.LabelText(other.FindCell(0, 0)), "later");
     }},
    {"FILESAVEAS",
     [](K& t) {
       t.enter("A1", "3");
       t.runClean("{FILESAVEAS " + inQuotes(t.dir.file("as.wk1")) + ",0}");
       EXPECT_TRUE(std::filesystem::exists(t.dir.file("as.wk1")));
       EXPECT_EQ(t.ws.fileName, t.dir.file("as.wk1"));
       // Any other value asks through the dialog.
       t.host.scripted = {t.dir.file("asked.wk1")};
       t.runClean("{FILESAVEAS " + inQuotes(t.dir.file("x.wk1")) + ",1}");
       EXPECT_EQ(t.host.asked.size(), 1u);
       EXPECT_TRUE(std::filesystem::exists(t.dir.file("asked.wk1")));
       EXPECT_FALSE(std::filesystem::exists(t.dir.file("x.wk1")));
     }},
    {"FILECLOSE",
     [](K& t) {
       std::string path = savedSheet(t, "close.wk1");
       t.frame.execute("FILEOPEN", {Arg::ofText(path)});
       ASSERT_EQ(t.frame.windows().size(), 2u);
       t.runClean("{FILECLOSE " + inQuotes(path) + "}");
       ASSERT_EQ(t.frame.windows().size(), 1u);
       EXPECT_EQ(&t.activeSheet(), &t.ws);
     }},
    {"FILEERASE",
     [](K& t) {
       std::string f = t.dir.file("erase.me");
       writeFile(f, "x");
       t.runClean("{FILEERASE " + inQuotes(f) + "}{LET A1,@IORESULT}{FILEERASE " + inQuotes(f) +
                  "}{LET A2,@IORESULT}");
       EXPECT_FALSE(std::filesystem::exists(f));
       EXPECT_EQ(t.number("A1"), 0);
       EXPECT_EQ(t.number("A2"), 2);
     }},
    {"FILEEXIT",
     [](K& t) {
       t.runClean("{FILEEXIT 0}");
       EXPECT_TRUE(t.view.exitRequested);
     }},
    {"FILEDOC",
     [](K& t) {
       t.ws.modified = false;
       t.runClean("{FILEDOC 0,\"A title\"}{FILEDOC 1,\"Some notes\"}");
       EXPECT_EQ(t.ws.settings.title, "A title");
       EXPECT_EQ(t.ws.settings.comments, "Some notes");
       EXPECT_TRUE(t.ws.modified);
     }},
    {"FILEIMPORT",
     [](K& t) {
       writeFile(t.dir.file("t.txt"), "first line\r\nsecond\r\n");
       writeFile(t.dir.file("v.prn"), "1 2.5 \"a b\"\r\n");
       t.runClean("{FILEIMPORT " + inQuotes(t.dir.file("t.txt")) + ",A1,0}{FILEIMPORT " +
                  inQuotes(t.dir.file("v.prn")) + ",C5,1}");
       EXPECT_EQ(t.text("A1"), "first line");
       EXPECT_EQ(t.text("A2"), "second");
       EXPECT_EQ(t.number("C5"), 1);
       EXPECT_EQ(t.number("D5"), 2.5);
       EXPECT_EQ(t.text("E5"), "a b");
     }},
    {"FILEEXPORT",
     [](K& t) {
       t.enter("A1", "1");
       t.enter("C1", "'abc");
       t.runClean("{FILEEXPORT " + inQuotes(t.dir.file("out.prn")) + ",A1..C1,2}");
       EXPECT_EQ(slurp(t.dir.file("out.prn")), "1,,abc\r\n");
       t.runClean("{FILEEXPORT " + inQuotes(t.dir.file("part.wk1")) + ",A1..A1,0}");
       Worksheet& part = t.session.openWorksheet("PART.WK1");
       ASSERT_TRUE(Load(part, t.dir.file("part.wk1"), LoadOptions{}));
       EXPECT_EQ(part.CellNumber(part.FindCell(0, 0)), 1);
       EXPECT_EQ(part.FindCell(0, 2), kNoCell);
     }},
    {"FILEMERGE",
     [](K& t) {
       t.enter("B2", "5");
       t.enter("C2", "+B2*2");
       t.runClean("{FILEEXPORT " + inQuotes(t.dir.file("part.wks")) + ",B2..C2,0}");
       t.enter("A10", "3");
       t.runClean("{FILEMERGE " + inQuotes(t.dir.file("part.wks")) + ",A10,\"\",\"S\"}");
       EXPECT_EQ(t.number("A10"), 8);    // summed
       EXPECT_EQ(t.input("B10"), "10");  // values only
       t.runClean("{FILEMERGE " + inQuotes(t.dir.file("part.wks")) + ",A20,\"\",\"RF\"}");
       EXPECT_EQ(t.input("B20"), "+A20*2");
     }},
    {"FILEPICK",
     [](K& t) {
       t.host.scripted = {t.dir.file("picked.wk1")};
       t.runClean("{FILEPICK \"*.wk1\",\"Worksheets (*.wk1)\",C1}");
       EXPECT_EQ(t.text("C1"), t.dir.file("picked.wk1"));
       EXPECT_EQ(t.host.asked.back(), "the file dialog \"TALLOWAY OPEN\"");
       t.host.scripted = {"{ESC}"};
       t.run("{FILEPICK \"\",\"\",C2}{LET C3,1}");  // cancelled: the macro ends
       EXPECT_EQ(t.cell("C2"), nullptr);
       EXPECT_EQ(t.cell("C3"), nullptr);
     }},
};
INSTANTIATE_TEST_SUITE_P(AllKeywordsFiles, AllKeywords, ::testing::ValuesIn(kFiles), caseName);

// --- General settings
// ------------------------------------------------------------------------------

const KeywordCase kSettings[] = {
    {"GENFORMAT",
     [](K& t) {
       t.runClean("{GENFORMAT \"F2\"}");
       EXPECT_EQ(t.ws.settings.globalFormat, ParseFormatCode("F2"));
     }},
    {"GENFONT",
     [](K& t) {
       t.runClean("{GENFONT \"Courier New,10,BI\"}");
       EXPECT_EQ(t.ws.settings.font.typeface, "Courier New");
       EXPECT_EQ(t.ws.settings.font.height, 10);
       EXPECT_EQ(t.ws.settings.font.style, 3);
       t.runClean("{GENFONT \",14\"}");  // empty fields stay
       EXPECT_EQ(t.ws.settings.font.typeface, "Courier New");
       EXPECT_EQ(t.ws.settings.font.height, 14);
     }},
    {"GENCOLOR",
     [](K& t) {
       t.runClean("{GENCOLOR 2,3,255,1}{GENCOLOR 0,1,16,2}");
       EXPECT_EQ(t.ws.settings.colours[2], 0x830000FFu);
       EXPECT_EQ(t.ws.settings.colours[0], 0x41000010u);
     }},
    {"GENOPTION",
     [](K& t) {
       t.runClean("{GENOPTION \"3Y,AN,HN,VY,C,D2,O12,ZN,PY\"}");
       const WorksheetSettings& s = t.ws.settings;
       EXPECT_TRUE(s.threeD);
       EXPECT_TRUE(s.manualRecalc);
       EXPECT_EQ(s.gridLines & 1, 0);
       EXPECT_EQ(s.gridLines & 2, 2);
       EXPECT_EQ(s.labelPrefix, '^');
       EXPECT_EQ(s.sheetRows, 2048);
       EXPECT_EQ(s.defaultColumnPixels, 96);
       EXPECT_TRUE(s.zerosHidden);
       EXPECT_TRUE(s.protection);
     }},
    {"GENADV",
     [](K& t) {
       t.runClean("{GENADV \"A;\"}{GENADV \"CSkr\"}");
       EXPECT_EQ(t.session.settings().argumentSeparator, ';');
       EXPECT_EQ(t.ws.settings.currencySuffix, "kr");
       // The new separator splits the arguments of the next macro.
       t.runClean("{LET A1;5}");
       EXPECT_EQ(t.number("A1"), 5);
     }},
};
INSTANTIATE_TEST_SUITE_P(AllKeywordsSettings, AllKeywords, ::testing::ValuesIn(kSettings),
                         caseName);

// --- Graphs
// ----------------------------------------------------------------------------------------

const KeywordCase kGraphs[] = {
    {"GRAPHTYPE",
     [](K& t) {
       t.runClean("{GRAPHTYPE 2,\"L\"}");
       EXPECT_EQ(t.graph().type, kGraphLine);
       t.runClean("{GRAPHTYPE 3,\"B\"}");
       EXPECT_EQ(t.graph().type, kGraphBar3D);
       t.runClean("{GRAPHTYPE 2,\"B\"}");
       EXPECT_EQ(t.graph().type, kGraphBar);
       t.runClean("{GRAPHTYPE 2,\"Q\"}");  // unknown: the type stays
       EXPECT_EQ(t.graph().type, kGraphBar);
     }},
    {"GRAPHSERIES",
     [](K& t) {
       t.runClean("{GRAPHSERIES 0,A1..A4}{GRAPHSERIES 6,F1..F4}");
       EXPECT_EQ(t.graph().ranges[0], CellRange::of(0, 0, 3, 0));
       EXPECT_EQ(t.graph().ranges[6], CellRange::of(0, 5, 3, 5));
     }},
    {"GRAPHLEGEND",
     [](K& t) {
       t.runClean("{GRAPHLEGEND 2,\"North and more than nineteen\",0}");
       EXPECT_EQ(t.graph().legends[1], std::string("North and more than nineteen").substr(0, 19));
     }},
    {"GRAPHHEADING",
     [](K& t) {
       t.runClean("{GRAPHHEADING 0,\"Sales\"}{GRAPHHEADING 3,\"Units\"}");
       EXPECT_EQ(t.graph().headings[0], "Sales");
       EXPECT_EQ(t.graph().headings[3], "Units");
     }},
    {"GRAPHLABEL",
     [](K& t) {
       t.runClean("{GRAPHLABEL 1,D1..D4,3}");
       EXPECT_EQ(t.graph().labelRanges[2], CellRange::of(0, 3, 3, 3));
       EXPECT_EQ(t.graph().labelTable[1], 3);
       GraphDefinition before = t.graph();
       t.runClean("{GRAPHLABEL 1,E1..E4,7}");  // no such series: nothing changes
       EXPECT_EQ(t.graph(), before);
     }},
    {"GRAPHFONT",
     [](K& t) {
       t.runClean("{GRAPHFONT 6,\"Times,9,U\"}");
       EXPECT_EQ(t.graph().fonts[kFontLegend].typeface, "Times");
       EXPECT_EQ(t.graph().fonts[kFontLegend].size, 9);
       EXPECT_EQ(t.graph().fonts[kFontLegend].style, 4);
     }},
    {"GRAPHSCALE",
     [](K& t) {
       t.runClean("{GRAPHSCALE 1,\"M,L-5,U25,K4,D2,E\"}");
       AxisScale y = t.graph().y;
       EXPECT_TRUE(y.manual);
       EXPECT_EQ(y.lower, -5);
       EXPECT_EQ(y.upper, 25);
       EXPECT_EQ(y.intervals, 4);
       EXPECT_EQ(y.divisions, 2);
       EXPECT_TRUE(y.exponential);
       t.runClean("{GRAPHSCALE 1,\"A,N\"}");
       EXPECT_FALSE(t.graph().y.manual);
       EXPECT_FALSE(t.graph().y.exponential);
     }},
    {"GRAPHOPTIONS",
     [](K& t) {
       t.runClean("{GRAPHOPTIONS 0,\"GB,S\"}{GRAPHOPTIONS 2,\"F4,B9,M0,O1\"}");
       GraphDefinition g = t.graph();
       EXPECT_EQ(g.grid, 3);
       EXPECT_TRUE(g.solidGrid);
       EXPECT_EQ(g.colours[2], 4);
       EXPECT_EQ(g.backColours[1], 9);
       EXPECT_EQ(g.series[1].mark, 1);  // 0 is the first mark
       EXPECT_EQ(g.series[1].option, 1);
     }},
    {"GRAPHNAME",
     [](K& t) {
       t.runClean("{GRAPHTYPE 2,\"P\"}{GRAPHNAME 0,\"pie chart of sales\"}{GRAPHTYPE 2,\"L\"}");
       ASSERT_EQ(FindGraph(t.ws, "PIE CHART OF"), 1);  // upper case, twelve characters
       t.runClean("{GRAPHNAME 1,\"pie chart of\"}");
       EXPECT_EQ(t.graph().type, kGraphPie);
       t.runClean("{GRAPHNAME 2,\"PIE CHART OF\"}");
       EXPECT_EQ(FindGraph(t.ws, "PIE CHART OF"), 0);
     }},
};
INSTANTIATE_TEST_SUITE_P(AllKeywordsGraphs, AllKeywords, ::testing::ValuesIn(kGraphs), caseName);

// --- Printing
// --------------------------------------------------------------------------------------

const KeywordCase kPrint[] = {
    {"PRINTRANGE",
     [](K& t) {
       t.enter("A1", "'x");
       t.runClean("{PRINTRANGE A1..B2}");
       EXPECT_EQ(t.ws.settings.ranges[kPrintRange], CellRange::of(0, 0, 1, 1));
       EXPECT_EQ(t.printJobs.size(), 1u);
     }},
    {"PRINTALL",
     [](K& t) {
       t.enter("A1", "'x");
       t.ws.settings.ranges[kPrintRange] = CellRange::of(0, 0, 0, 0);
       t.runClean("{PRINTALL}");
       EXPECT_EQ(t.printJobs.size(), 1u);
     }},
    {"PRINTFILE",
     [](K& t) {
       t.enter("A1", "'Name");
       t.enter("A2", "'Plums");
       std::string f = t.dir.file("report.txt");
       t.runClean("{PRINTFILE " + inQuotes(f) + ",A1..A2}");
       EXPECT_EQ(t.ws.settings.ranges[kPrintRange], CellRange::of(0, 0, 1, 0));
       EXPECT_EQ(slurp(f), "Name\r\nPlums\r\n");
       EXPECT_TRUE(t.printJobs.empty());
     }},
    {"PRINTHEAD",
     [](K& t) {
       t.runClean("{PRINTHEAD \"Top #\",1}");
       EXPECT_EQ(t.ws.settings.printHeader, "Top #");
     }},
    {"PRINTFOOT",
     [](K& t) {
       t.runClean("{PRINTFOOT \"^Page #\",0}");
       EXPECT_EQ(t.ws.settings.printFooter, "^Page #");
     }},
    {"PRINTBORDER",
     [](K& t) {
       t.runClean("{PRINTBORDER 1,A1..A2}{PRINTBORDER 0,B1..C1}");
       EXPECT_EQ(t.ws.settings.print.borderRows, CellRange::of(0, 0, 1, 0));
       EXPECT_EQ(t.ws.settings.print.borderColumns, CellRange::of(0, 1, 0, 2));
     }},
    {"PRINTMARGIN",
     [](K& t) {
       t.runClean("{PRINTMARGIN \"L1.5,R0.25,T2,B0\"}");
       EXPECT_DOUBLE_EQ(t.ws.settings.margins[kMarginLeft], 1.5);
       EXPECT_DOUBLE_EQ(t.ws.settings.margins[kMarginRight], 0.25);
       EXPECT_DOUBLE_EQ(t.ws.settings.margins[kMarginTop], 2);
       EXPECT_DOUBLE_EQ(t.ws.settings.margins[kMarginBottom], 0);
     }},
    {"PRINTOPTION",
     [](K& t) {
       t.runClean("{PRINTOPTION \"L,S80,F1,G1,M0\"}");
       const PrintOptions& o = t.ws.settings.print;
       EXPECT_TRUE(o.landscape);
       EXPECT_EQ(o.scale, 80);
       EXPECT_TRUE(o.frame);
       EXPECT_TRUE(o.grid);
       EXPECT_FALSE(o.mono);
       t.runClean("{PRINTOPTION \"P,F0,M1\"}");
       EXPECT_FALSE(t.ws.settings.print.landscape);
       EXPECT_FALSE(t.ws.settings.print.frame);
       EXPECT_TRUE(t.ws.settings.print.mono);
     }},
    {"PRINTGRAPH",
     [](K& t) {
       t.runClean("{PRINTGRAPH \"NONE\"}");  // no such graph: nothing happens
       EXPECT_TRUE(t.printJobs.empty());
       column(t, "A1", {1, 2, 3});
       column(t, "B1", {4, 5, 6});
       t.runClean(
           "{GRAPHSERIES 0,A1..A3}{GRAPHSERIES 1,B1..B3}{GRAPHNAME 0,\"G\"}"
           "{PRINTGRAPH \"G\"}");
       EXPECT_EQ(t.printJobs.size(), 1u);
     }},
};
INSTANTIATE_TEST_SUITE_P(AllKeywordsPrint, AllKeywords, ::testing::ValuesIn(kPrint), caseName);

// --- Keywords without an action
// ----------------------------------------------------------------------

const KeywordCase kSyntaxErrors[] = {
    {"CLRSCR", [](K& t) { syntaxError(t, "{CLRSCR}"); }},
    {"GOTOXY", [](K& t) { syntaxError(t, "{GOTOXY 1,2}"); }},
    {"BREAKOFF", [](K& t) { syntaxError(t, "{BREAKOFF}"); }},
};
INSTANTIATE_TEST_SUITE_P(AllKeywordsSyntaxErrors, AllKeywords, ::testing::ValuesIn(kSyntaxErrors),
                         caseName);

TEST(AllKeywordsTable, EveryKeywordHasOneCase) {
  std::span<const KeywordCase> families[] = {kKeys,   kControl, kScreen,      kFileIo, kRanges,
                                             kSheet,  kData,    kMatrix,      kFiles,  kSettings,
                                             kGraphs, kPrint,   kSyntaxErrors};
  std::multiset<std::string> cased;
  for (auto family : families)
    for (const KeywordCase& c : family) cased.insert(c.keyword);
  std::set<std::string> table;
  for (const MacroKeyword& k : MacroKeywordTable()) table.insert(std::string(k.name));
  ASSERT_EQ(table.size(), 167u);
  EXPECT_EQ(std::set<std::string>(cased.begin(), cased.end()), table);
  EXPECT_EQ(cased.size(), table.size()) << "a keyword with two cases";
}

}  // namespace
}  // namespace tw::test
