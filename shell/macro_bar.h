// The macro-button bar without its widget: up to 50 buttons, each a line
// "name|hint|macro" of the toolbar file, with a 20 x 20 glyph each in one
// strip of 20 x 1000 pixels; which button is on top, where each is drawn,
// what its tool tip says and what its click runs. The Define Button dialog
// (TBardlg) is a model over one button.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/canvas.h"
#include "core/fields_model.h"

namespace tw {

class Frame;
class Host;

constexpr int kMacroButtons = 50;
constexpr int kMacroButtonHeight = 20;  // the row of a button
constexpr int kMacroBarTopMargin = 8;
constexpr int kGlyphSide = 20;
constexpr uint32_t kButtonFace = 0xFFF0F0F0;
inline constexpr char kGlyphFileName[] = "MACROS.BTN";
inline constexpr char kUnassignedMacro[] = "Unassigned Macro";

class MacroBar {
 public:
  // Pressed values beside item indexes.
  static constexpr int kNone = -3;
  static constexpr int kUpArrow = -1;
  static constexpr int kDownArrow = -2;

  MacroBar();

  // The toolbar file, one item a line; a line's trailing CR is not part of
  // it, and lines beyond the 50th are left out. A missing file gives an
  // empty bar (false).
  bool readItems(const std::string& path);
  // False when the file could not be written (the old file stays whole).
  bool writeItems(const std::string& path) const;
  // Another toolbar file: the items are first kept in the one they came
  // from, then read from the new one; a new file that is not there yet keeps
  // them (they are written to it at the end). False when the old file could
  // not be written.
  bool switchFile(const std::string& from, const std::string& to);
  // The rectangle the file covers is copied into the strip, which keeps
  // the button face elsewhere; false (the strip unchanged) when the file is
  // missing or not a bitmap the program reads.
  bool readGlyphs(const std::string& path);
  bool writeGlyphs(const std::string& path) const;

  const std::vector<std::string>& items() const { return items_; }
  std::string item(int k) const;
  // Sets item k, adding empty items before it when the list is shorter;
  // false for an index outside the bar.
  bool setItem(int k, const std::string& line);

  // The fields of item k: the name's first two characters are its label.
  std::string name(int k) const;
  std::string label(int k) const { return name(k).substr(0, 2); }
  std::string hintField(int k) const;
  // The tool tip: the hint, or "Unassigned Macro" for an empty or
  // single-space hint or a position without item.
  std::string toolTip(int k) const;
  // What a click runs: the line with its first two "|"-separated fields
  // dropped, each only where a "|" is found.
  std::string macro(int k) const;

  // The glyph strip and one button's 20 x 20 picture in it.
  const Bitmap& strip() const { return strip_; }
  Bitmap glyph(int k) const;
  // The cell filled with the button face and the picture copied in,
  // centred when it is smaller, cut to 20 x 20 when larger.
  void setGlyph(int k, const Bitmap& picture);

  // Scrolling: the top index moves one step; false when it stops.
  int top() const { return top_; }
  int lowestTop(int barHeight) const { return 52 - barHeight / 22; }
  bool scrollUp();
  bool scrollDown(int barHeight);
  // Button k's row on the bar (its top; 20 pixels high).
  int rowTop(int k) const { return (k - top_) * kMacroButtonHeight + kMacroBarTopMargin; }
  // The button whose row holds y, or -1 (above the first, past the last of
  // the 50).
  int buttonAt(int y) const;

  int pressed = kNone;
  bool captured = false;

 private:
  std::vector<std::string> items_;
  Bitmap strip_;
  int top_ = 0;
};

// A blank 20 x 20 picture in the button face.
Bitmap blankGlyph();

// The click's macro handed to the frame: nothing runs without a worksheet
// window or for a macro of one space; while a macro runs the frame beeps.
// True when the macro was started.
bool runMacroButton(Frame& frame, const std::string& macro);

// TBardlg, the Define Button dialog over button k of the bar: the name
// (Edit1), the hint (Edit2), the macro memo's lines (Memo1, one per "\n")
// and the glyph's picture (Image1).
class MacroButtonDialogModel : public FieldsModel {
 public:
  // host, when given, asks for the picture's file.
  MacroButtonDialogModel(MacroBar& bar, int button, Host* host = nullptr);
  std::string_view form() const override { return "TBardlg"; }
  std::string caption() const override { return "Define Button"; }

  // "&Blank Glyph": the picture in the button face.
  void blankPicture();
  // "&Reset": the picture blanked and the three fields emptied.
  void reset();
  // Clicking the picture: a bitmap file into it; false when it cannot be
  // read (the picture unchanged).
  bool loadPicture(const std::string& path);
  // Clicking the picture: a file chosen in the host's open dialog ("Bmp
  // files", "All Files"); beeps on a file it cannot read.
  void choosePicture();
  // "&Ok": the item and the glyph written to the bar.
  void apply();

  int button() const { return button_; }
  const Bitmap& picture() const { return picture_; }
  // The item OK writes: name, hint and the memo's lines joined, cut at 255.
  std::string itemLine() const;

  std::string name, hint, memo;
  // The button's place on the screen, where the dialog's opening and
  // closing focus rectangle starts and ends.
  Rect origin;

 private:
  MacroBar& bar_;
  int button_;
  Host* host_;
  Bitmap picture_;
};

// Opens the Define Button dialog over button k through the host; OK writes
// the button. False when it was cancelled or k is not a button.
bool defineMacroButton(Host& host, MacroBar& bar, int k, const Rect& origin = {});

// The focus rectangle of a dialog that opens from a button: 21 steps from
// one rectangle to the other, both ends included, drawn 5 ms apart.
constexpr int kFocusRectangleSteps = 21;
constexpr int kFocusRectangleStepMs = 5;
std::vector<Rect> focusRectangleSteps(const Rect& from, const Rect& to);

}  // namespace tw
