// The keyboard's lock toggles as the windowing system holds them.
#pragma once

#include <optional>

class QKeyEvent;

namespace tw {

struct LockToggles {
  bool caps = false;
  bool num = false;
  bool scroll = false;
};

// Asks the display server (X11, through XKB's named indicators). Empty where
// the platform cannot be asked (Wayland, offscreen).
std::optional<LockToggles> queryLockToggles();

// What a key event says about the toggles: the platform's modifier state that
// came with the key (X11 and Wayland both report Caps and Num Lock there). A
// lock key's own press reports the state before it, so the state it leaves is
// the opposite. Scroll Lock is no modifier: `scroll` keeps `before` unless the
// key is Scroll Lock, which flips it.
LockToggles togglesFromKey(const QKeyEvent& e, const LockToggles& before);

}  // namespace tw
