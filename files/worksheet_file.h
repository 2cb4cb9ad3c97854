// Worksheet files (.WKS, .WK1) and their backups (.WKB): the record stream
// that other worksheet programs read, followed by an extension section that
// carries what only this program keeps (attributes, fonts, heights, tabs,
// window layout, buttons, user-defined functions, graphs, texts).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/cell_address.h"

namespace tw {

class Session;
class Worksheet;

// --- Saving -----------------------------------------------------------------

enum class SaveScope {
  Full,     // the whole worksheet with its settings
  Extract,  // the cells of one range, addressed from its first cell
};

// Writes the worksheet; an existing file becomes the backup first when the
// BACKUPS setting is on. The file is written under a temporary name and
// renamed into place, so a failed save leaves the previous file whole.
// False on failure, after "Unable to Open File" (the file cannot be made)
// or "Unable to CLOSE file" (it cannot be written or put in place) has been
// shown. A full save that succeeds clears the modified flag; the caller
// gives the worksheet its new name.
bool Save(Worksheet& ws, const std::string& fileName, SaveScope scope = SaveScope::Full,
          const CellRange& range = kEmptyRange);

// --- Loading ----------------------------------------------------------------

enum class LoadMode {
  Retrieve,  // the file replaces the worksheet
  Combine,   // the file's cells are taken into the worksheet at a destination
  Link,      // the file's cells feed the link table; the worksheet is untouched
};
enum class CombineContent { Formulas, ValuesOnly };
enum class CombineArithmetic { Replace, Add, Subtract };
enum class AfterLoad {
  LinkAndRecalculate,
  // Formulas get their references resolved but are neither registered with
  // the cells they name nor evaluated; they keep their values from the file
  // and the unlinked mark until linkLoadedFormulas.
  NoLink,
};
enum class LoadMessages { Show, Quiet };

struct LoadOptions {
  LoadMode mode = LoadMode::Retrieve;
  CombineContent content = CombineContent::Formulas;
  CombineArithmetic arithmetic = CombineArithmetic::Replace;
  AfterLoad after = AfterLoad::LinkAndRecalculate;
  LoadMessages messages = LoadMessages::Show;
  // Combine: the cell that receives the source range's first cell, and the
  // source: empty for the whole file, a range address, or a range name of
  // the file.
  int destinationRow = 0;
  int destinationColumn = 0;
  std::string source;

  // The mode word of the macro commands: 0x10 combine, 0x20 no linking,
  // 0x04 values only when combining and link mode otherwise, bits 0-1 equal
  // to 2 add and 3 subtract.
  static LoadOptions fromModeBits(unsigned bits, int destinationRow = 0, int destinationColumn = 0,
                                  std::string source = {});
};

struct LoadReport {
  bool opened = false;
  std::string title;                  // "RETRIEVE", or "MERGE [ " and the source name
  std::vector<std::string> messages;  // each shown (or, quiet, held back) once
  bool sourceFound = true;            // the named source range was among the file's names
  int formulasDeleted = 0;
};

// Reads a file into the worksheet (or, in link mode, into the session's
// link table). False when the file could not be opened or the named source
// range is not in it; a file that is read only in part gives true with the
// reason among the report's messages.
bool Load(Worksheet& ws, const std::string& fileName, const LoadOptions& options = {},
          LoadReport* report = nullptr);

// Links and evaluates the formulas a load left unlinked.
void linkLoadedFormulas(Worksheet& ws);

// Adds "NAME RANGE" for each range name the file defines (the settings
// name excepted). False when the file cannot be opened.
bool ListNames(Worksheet& ws, const std::string& fileName, std::vector<std::string>& list);

// The test File Open makes: the file exists and its first record's length
// word is 2.
bool isWorksheetFile(const std::string& fileName);

// File Open: a file already open is made current; otherwise, after the test
// ("Invalid WKS File!"), it joins the recent files and is loaded into a new
// worksheet. Null when refused.
Worksheet* openWorksheetFile(Session& session, const std::string& fileName);

// The link loader: reads every file the link table names, in link mode.
void loadLinkedFiles(Session& session);

// Connects the session to the disk: worksheets named by external references
// are read from their files (kept aside, not opened in windows), and every
// recalculation of all worksheets starts with the link loader.
void connectFiles(Session& session);

// The free-memory figure the loader tests; tests replace it.
using MemoryProbe = uint64_t (*)();
MemoryProbe setMemoryProbe(MemoryProbe probe);

}  // namespace tw
