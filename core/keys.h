// Keys as the program sees them, whatever toolkit or macro delivers them.
#pragma once

#include <string_view>

namespace tw {

enum class Key {
  None,
  Character,  // a printable character, in KeyPress::ch
  Enter,
  Escape,
  Tab,
  Backspace,
  Delete,
  Insert,
  Left,
  Right,
  Up,
  Down,
  Home,
  End,
  PageUp,
  PageDown,
  BigLeft,  // the program's own keys: a screen to the left or right
  BigRight,
  Alt,    // the Alt key alone: opens the menu bar
  Break,  // Ctrl+Break
  F1,
  F2,
  F3,
  F4,
  F5,
  F6,
  F7,
  F8,
  F9,
  F10,
  F11,
  F12,
};

struct KeyPress {
  Key key = Key::None;
  char ch = 0;  // Windows-1252 character for Key::Character
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  // Delivered by a macro or a script rather than typed on the keyboard.
  bool synthetic = false;

  static KeyPress character(char c) {
    KeyPress p;
    p.key = Key::Character;
    p.ch = c;
    return p;
  }
  static KeyPress of(Key k, bool shift = false, bool ctrl = false) {
    KeyPress p;
    p.key = k;
    p.shift = shift;
    p.ctrl = ctrl;
    return p;
  }
  bool operator==(const KeyPress&) const = default;
};

enum class Direction { Left, Right, Up, Down };

}  // namespace tw
