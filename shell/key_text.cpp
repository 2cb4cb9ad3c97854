#include "shell/key_text.h"

#include <algorithm>
#include <charconv>

#include "core/char_case.h"

namespace tw {

namespace {

constexpr KeyName kKeyNames[] = {
    {"ABS", Key::F4, false},
    {"ALT", Key::Alt, false},
    {"BACKSPACE", Key::Backspace, true},
    {"BIGLEFT", Key::BigLeft, true},
    {"BIGRIGHT", Key::BigRight, true},
    {"BS", Key::Backspace, true},
    {"CALC", Key::F9, false},
    {"D", Key::Down, true},
    {"DEL", Key::Delete, true},
    {"DN", Key::Down, true},
    {"DOWN", Key::Down, true},
    {"EDIT", Key::F2, false},
    {"END", Key::End, false},
    {"ENTER", Key::Enter, true},
    {"ESC", Key::Escape, true},
    {"ESCAPE", Key::Escape, false},
    {"GOTO", Key::F5, false},
    {"HELP", Key::F1, false},
    {"HOME", Key::Home, false},
    {"INS", Key::Insert, false},
    {"L", Key::Left, true},
    {"LEFT", Key::Left, true},
    {"LT", Key::Left, true},
    {"MENU", Key::F10, false},
    {"NAME", Key::F4, false},
    {"PGDN", Key::PageDown, true},
    {"PGLT", Key::BigLeft, true},
    {"PGRT", Key::BigRight, true},
    {"PGUP", Key::PageUp, true},
    {"R", Key::Right, true},
    {"RIGHT", Key::Right, true},
    {"RT", Key::Right, true},
    {"TAB", Key::Tab, true},
    {"U", Key::Up, true},
    {"UP", Key::Up, true},
    {"WINDOW", Key::F6, false},
};

std::optional<Key> functionKey(std::string_view name) {
  if (name.size() < 2 || name[0] != 'F') return std::nullopt;
  int n = 0;
  auto [end, ec] = std::from_chars(name.data() + 1, name.data() + name.size(), n);
  if (ec != std::errc() || end != name.data() + name.size() || n < 1 || n > 12) return std::nullopt;
  return static_cast<Key>(static_cast<int>(Key::F1) + n - 1);
}

// "CTRL+Z", "SHIFT+F3", "ALT+F": a key with the keys held with it.
std::optional<KeyPress> chord(std::string_view name) {
  KeyPress k;
  for (;;) {
    if (name.starts_with("CTRL+")) {
      k.ctrl = true;
      name.remove_prefix(5);
    } else if (name.starts_with("SHIFT+")) {
      k.shift = true;
      name.remove_prefix(6);
    } else if (name.starts_with("ALT+")) {
      k.alt = true;
      name.remove_prefix(4);
    } else {
      break;
    }
  }
  if (!k.ctrl && !k.shift && !k.alt) return std::nullopt;
  if (name.size() == 1) {
    k.key = Key::Character;
    k.ch = name[0];
  } else if (std::optional<Key> f = functionKey(name)) {
    k.key = *f;
  } else if (const KeyName* n = findKeyName(name)) {
    k.key = n->key;
  } else {
    return std::nullopt;
  }
  return k;
}

void typeText(std::vector<KeyPress>& out, std::string_view text) {
  for (char c : text) out.push_back(c == '~' ? KeyPress::of(Key::Enter) : KeyPress::character(c));
}

}  // namespace

const KeyName* findKeyName(std::string_view upperName) {
  for (const KeyName& k : kKeyNames)
    if (k.name == upperName) return &k;
  return nullptr;
}

KeyText parseKeyText(std::string_view text) {
  KeyText out;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '{') {
      typeText(out.keys, text.substr(i, 1));
      continue;
    }
    if (text.substr(i, 3) == "{{}" || text.substr(i, 3) == "{}}") {
      out.keys.push_back(KeyPress::character(text[i + 1]));
      i += 2;
      continue;
    }
    size_t close = text.find('}', i);
    if (close == std::string_view::npos) {
      out.error = "an unclosed \"{\" at " + std::to_string(i + 1);
      return out;
    }
    std::string_view inside = text.substr(i + 1, close - i - 1);
    size_t space = inside.find(' ');
    std::string name = upperCased(inside.substr(0, space));
    std::string_view rest =
        space == std::string_view::npos ? std::string_view() : inside.substr(space + 1);
    i = close;
    KeyPress k;
    bool repeats = true;
    if (const KeyName* n = findKeyName(name)) {
      k.key = n->key;
      repeats = n->repeats;
    } else if (std::optional<Key> f = functionKey(name)) {
      k.key = *f;
      repeats = false;
    } else if (std::optional<KeyPress> held = chord(name)) {
      k = *held;
    } else {
      out.error = "no key is named {" + std::string(inside) + "}";
      return out;
    }
    if (repeats) {
      // A missing count, or one below 1, is one key.
      int count = 1;
      if (!rest.empty()) {
        auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), count);
        if (ec != std::errc() || end != rest.data() + rest.size()) {
          out.error = "{" + std::string(inside) + "}: the count is not a number";
          return out;
        }
        count = std::clamp(count, 1, 10000);
      }
      for (int n = 0; n < count; ++n) out.keys.push_back(k);
      continue;
    }
    // What follows the name is typed, each part followed by Enter.
    out.keys.push_back(k);
    while (!rest.empty()) {
      size_t cut = rest.find_first_of(", ");
      typeText(out.keys, rest.substr(0, cut));
      out.keys.push_back(KeyPress::of(Key::Enter));
      rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    }
  }
  return out;
}

}  // namespace tw
