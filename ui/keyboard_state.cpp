#include "ui/keyboard_state.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace tw {

namespace {

// The core modifier bits X11 and the xkb-based Wayland backend report.
constexpr quint32 kLockMask = 1u << 1;
constexpr quint32 kMod2Mask = 1u << 4;  // Num Lock in every usual keymap

}  // namespace

LockToggles togglesFromKey(const QKeyEvent& e, const LockToggles& before) {
  LockToggles t = before;
  quint32 mods = e.nativeModifiers();
  bool release = e.type() == QEvent::KeyRelease;
  // Keys made up inside the program carry no platform state.
  if (e.nativeScanCode() != 0 || mods != 0) {
    t.caps = mods & kLockMask;
    t.num = mods & kMod2Mask;
  }
  // On a press of the lock key the state reported is the one before it.
  if (!release && e.key() == Qt::Key_CapsLock) t.caps = !t.caps;
  if (!release && e.key() == Qt::Key_NumLock) t.num = !t.num;
  if (!release && e.key() == Qt::Key_ScrollLock) t.scroll = !before.scroll;
  return t;
}

}  // namespace tw

// Xlib's headers define macros (KeyPress, None, Bool) that clash with Qt's
// names, so they come after everything that uses Qt's.
#ifdef TW_HAVE_XKB
#include <X11/XKBlib.h>
#endif

namespace tw {

#ifdef TW_HAVE_XKB
namespace {

bool namedIndicator(Display* d, const char* name, bool& on) {
  Atom atom = XInternAtom(d, name, True);
  if (atom == None) return false;
  Bool state = False;
  if (!XkbGetNamedIndicator(d, atom, nullptr, &state, nullptr, nullptr)) return false;
  on = state;
  return true;
}

}  // namespace
#endif

std::optional<LockToggles> queryLockToggles() {
#ifdef TW_HAVE_XKB
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->display()) return std::nullopt;
  Display* d = x11->display();
  LockToggles t;
  bool any = namedIndicator(d, "Caps Lock", t.caps);
  any = namedIndicator(d, "Num Lock", t.num) || any;
  any = namedIndicator(d, "Scroll Lock", t.scroll) || any;
  if (any) return t;
#endif
  return std::nullopt;
}

}  // namespace tw
