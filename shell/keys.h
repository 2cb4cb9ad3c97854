// Keys as the shell sees them, whatever toolkit delivers them.
#pragma once

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

  static KeyPress character(char c) { return {Key::Character, c}; }
  static KeyPress of(Key k, bool shift = false, bool ctrl = false) {
    KeyPress p;
    p.key = k;
    p.shift = shift;
    p.ctrl = ctrl;
    return p;
  }
};

enum class Direction { Left, Right, Up, Down };

}  // namespace tw
