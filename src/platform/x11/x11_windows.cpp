#include "platform/x11/x11_windows.h"

#include <algorithm>
#include <deque>
#include <map>
#include <set>

#include "base/utf8.h"
#include "platform/x11/x11_util.h"
// clang-format off
#include <X11/Xutil.h>
#include <X11/XKBlib.h>
#include <X11/keysym.h>
#include <X11/extensions/XTest.h>
// clang-format on

namespace navelo::platform::x11 {
namespace {

Display* D(void* display) {
  return static_cast<Display*>(display);
}

int RecordError(Display*, XErrorEvent*) {
  return 0;
}

bool HasWmState(Display* d, Window w) {
  return ReadProperty(d, w, A(d, "WM_STATE"), AnyPropertyType, 0).type != None;
}

// The client window at or below `w` (the window that carries WM_STATE), searching breadth-first.
Window ClientBelow(Display* d, Window w) {
  std::deque<Window> queue{w};
  while (!queue.empty()) {
    Window candidate = queue.front();
    queue.pop_front();
    if (HasWmState(d, candidate)) return candidate;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int n = 0;
    if (XQueryTree(d, candidate, &root, &parent, &children, &n) == 0) continue;
    for (unsigned int i = 0; i < n; ++i) queue.push_back(children[i]);
    if (children) XFree(children);
  }
  return 0;
}

// The top-level client holding the keyboard focus, for window managers without _NET_ACTIVE_WINDOW.
Window FocusedClient(Display* d) {
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(d, &focus, &revert);
  const Window rootWindow = DefaultRootWindow(d);
  if (focus == None || focus == PointerRoot || focus == rootWindow) return 0;
  Window w = focus;
  for (;;) {
    if (HasWmState(d, w)) return w;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int n = 0;
    if (XQueryTree(d, w, &root, &parent, &children, &n) == 0) return 0;
    if (children) XFree(children);
    if (parent == root || parent == 0) return ClientBelow(d, w);
    w = parent;
  }
}

Window ActiveWindow(Display* d) {
  auto active = Longs(d, DefaultRootWindow(d), "_NET_ACTIVE_WINDOW", XA_WINDOW);
  if (!active.empty() && active[0] != 0) return active[0];
  return FocusedClient(d);
}

// The keysym that types a character: Latin-1 directly, everything else as a Unicode keysym.
KeySym KeysymFor(char32_t c) {
  if (c == U'\t') return XK_Tab;
  if (c == U'\n' || c == U'\r') return XK_Return;
  if ((c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0xFF)) return c;
  return 0x01000000 + c;
}

struct KeyStroke {
  KeyCode code = 0;
  bool shift = false;
};

}  // namespace

X11Connection::X11Connection() {
  XInitThreads();
  display_ = XOpenDisplay(nullptr);
  if (display_) XSetErrorHandler(RecordError);
}

X11Connection::~X11Connection() {
  if (display_) XCloseDisplay(D(display_));
}

X11Foreground::X11Foreground(X11Connection& connection) : x_(connection) {
  if (!x_.ok()) return;
  Display* d = D(x_.display());
  const Window root = DefaultRootWindow(d);
  const Atom active = A(d, "_NET_ACTIVE_WINDOW");
  for (unsigned long atom : Longs(d, root, "_NET_SUPPORTED", XA_ATOM, 4096)) {
    following_ = following_ || atom == active;
  }
  if (following_) XSelectInput(d, root, PropertyChangeMask);
}

void X11Foreground::ReadChanges() {
  Display* d = D(x_.display());
  const Window root = DefaultRootWindow(d);
  const Atom active = A(d, "_NET_ACTIVE_WINDOW");
  const Atom netName = A(d, "_NET_WM_NAME");
  // Only what has already arrived: no request, no wait.
  while (XEventsQueued(d, QueuedAfterReading) > 0) {
    XEvent e;
    XNextEvent(d, &e);
    if (e.type != PropertyNotify) continue;
    if (e.xproperty.window == root && e.xproperty.atom == active) activeChanged_ = true;
    if (e.xproperty.window == current_.handle &&
        (e.xproperty.atom == netName || e.xproperty.atom == XA_WM_NAME)) {
      titleChanged_ = true;
    }
  }
}

int X11Foreground::ChangeDescriptor() const {
  if (!x_.ok() || !following_) return -1;
  return ConnectionNumber(D(x_.display()));
}

bool X11Foreground::ChangesWaiting() const {
  return x_.ok() && following_ && XEventsQueued(D(x_.display()), QueuedAlready) > 0;
}

WindowInfo X11Foreground::Foreground() {
  if (!x_.ok()) return {};
  Display* d = D(x_.display());
  if (!following_) {
    WindowInfo info;
    info.handle = ActiveWindow(d);
    if (info.handle != 0) info.title = Title(d, info.handle, kTitleCharacters);
    return info;
  }
  ReadChanges();
  if (activeChanged_) {
    activeChanged_ = false;
    const Window now = ActiveWindow(d);
    if (now != current_.handle) {
      // Watch the new window's title from before it is read, so no change slips between.
      if (current_.handle != 0) XSelectInput(d, current_.handle, NoEventMask);
      if (now != 0) XSelectInput(d, now, PropertyChangeMask);
      current_ = {now, {}};
      titleChanged_ = true;
    }
  }
  if (titleChanged_) {
    titleChanged_ = false;
    current_.title =
        current_.handle != 0 ? Title(d, current_.handle, kTitleCharacters) : std::u16string();
  }
  return current_;
}

namespace {

// Where the keycodes bound for a delivery are recorded while they are bound: pairs of keycode and
// keysym, 32-bit cardinals, on the root window.
constexpr const char* kBoundKeysProperty = "_NAVELO_BOUND_KEYS";

// Keycodes without any symbol, and those of `ours`: the keycodes a text may bind.
std::set<KeyCode> SpareKeycodes(XkbDescPtr xkb, const std::map<KeyCode, KeySym>& ours) {
  std::set<KeyCode> codes;
  for (int code = xkb->min_key_code; code <= xkb->max_key_code; ++code) {
    const auto kc = static_cast<KeyCode>(code);
    if (XkbKeyNumGroups(xkb, kc) == 0 || ours.count(kc) != 0) codes.insert(kc);
  }
  return codes;
}

// Binds each keycode of `changes` to its keysym alone, on one level, so that no modifier or lock
// changes what the key types (NoSymbol: takes every symbol from the key). One request, spanning
// the lowest to the highest keycode changed: each client re-reads the layout once, and a window
// manager re-processes its key bindings once. Every key in between is sent back as it is.
void ChangeMapping(Display* d, const std::map<KeyCode, KeySym>& changes) {
  if (changes.empty()) return;
  XkbDescPtr xkb = XkbGetMap(d, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
  if (xkb == nullptr) return;
  XkbMapChangesRec record{};
  for (const auto& [code, ks] : changes) {
    if (ks == NoSymbol) {
      XkbChangeTypesOfKey(xkb, code, 0, XkbGroup1Mask, nullptr, &record);
      continue;
    }
    int oneLevel[XkbNumKbdGroups] = {XkbOneLevelIndex};
    if (XkbChangeTypesOfKey(xkb, code, 1, XkbGroup1Mask, oneLevel, &record) != Success) continue;
    if (KeySym* syms = XkbResizeKeySyms(xkb, code, 1)) syms[0] = ks;
  }
  record.changed |= XkbKeySymsMask;
  record.first_key_sym = changes.begin()->first;
  record.num_key_syms =
      static_cast<unsigned char>(changes.rbegin()->first - record.first_key_sym + 1);
  XkbChangeMap(d, xkb, &record);
  XkbFreeKeyboard(xkb, 0, True);
}

}  // namespace

// The keys planned for the current text, and the spare keycodes bound now.
struct X11WindowSystem::Keys {
  bool xtest = false;
  std::vector<KeyStroke> presses;
  std::map<KeyCode, KeySym> bound;

  void Record(Display* d) {
    const Window root = DefaultRootWindow(d);
    if (bound.empty()) {
      XDeleteProperty(d, root, A(d, kBoundKeysProperty));
      return;
    }
    std::vector<long> pairs;
    for (const auto& [code, ks] : bound) {
      pairs.push_back(code);
      pairs.push_back(static_cast<long>(ks));
    }
    XChangeProperty(d, root, A(d, kBoundKeysProperty), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(pairs.data()), static_cast<int>(pairs.size()));
  }
};

X11WindowSystem::X11WindowSystem(X11Connection& connection)
    : x_(connection), keys_(std::make_unique<Keys>()) {
  if (!x_.ok()) return;
  Display* d = D(x_.display());
  int event = 0, error = 0, major = 0, minor = 0;
  keys_->xtest = XTestQueryExtension(d, &event, &error, &major, &minor) != 0;
  // Keycodes an earlier run bound and could not give back: restored now, where still bound.
  auto left = Longs(d, DefaultRootWindow(d), kBoundKeysProperty, XA_CARDINAL);
  for (std::size_t i = 0; i + 1 < left.size(); i += 2) {
    if (left[i] <= 255) keys_->bound[static_cast<KeyCode>(left[i])] = left[i + 1];
  }
  RestoreKeyboard();
}

X11WindowSystem::~X11WindowSystem() {
  RestoreKeyboard();
}

WindowHandle X11WindowSystem::ActiveWindow() {
  if (!x_.ok()) return 0;
  return x11::ActiveWindow(D(x_.display()));
}

std::u16string X11WindowSystem::Title(WindowHandle window) {
  if (!x_.ok() || window == 0) return {};
  return x11::Title(D(x_.display()), static_cast<Window>(window), kTitleCharacters);
}

bool X11WindowSystem::Activate(WindowHandle target) {
  if (!x_.ok()) return false;
  Display* d = D(x_.display());
  const Window w = static_cast<Window>(target);
  XWindowAttributes attrs;
  if (XGetWindowAttributes(d, w, &attrs) == 0) return false;  // the window is gone
  const Window root = DefaultRootWindow(d);
  // Switch to the window's desktop first when it lives on another one.
  auto desktop = Longs(d, w, "_NET_WM_DESKTOP", XA_CARDINAL);
  auto current = Longs(d, root, "_NET_CURRENT_DESKTOP", XA_CARDINAL);
  if (!desktop.empty() && !current.empty() && desktop[0] != current[0] &&
      desktop[0] != 0xFFFFFFFFul) {
    SendToWindowManager(d, root, "_NET_CURRENT_DESKTOP", static_cast<long>(desktop[0]),
                        CurrentTime);
  }
  RequestActivation(d, w);
  XRaiseWindow(d, w);
  XFlush(d);
  return true;
}

WindowSystem::Typing X11WindowSystem::PrepareTyping(std::u16string_view text) {
  Typing result;
  keys_->presses.clear();
  if (!x_.ok() || !keys_->xtest) {
    result.result = Typing::Result::kUnavailable;
    return result;
  }
  Display* d = D(x_.display());
  XkbStateRec state{};
  XkbGetState(d, XkbUseCoreKbd, &state);
  XkbDescPtr xkb = XkbGetMap(d, XkbAllClientInfoMask, XkbUseCoreKbd);
  if (xkb == nullptr) {
    result.result = Typing::Result::kLayoutCannotType;
    return result;
  }
  // Keysym -> the key that gives it with no modifier, else with Shift; keypad keys never serve
  // ordinary characters, and keycodes bound for an earlier text are spare again.
  std::map<KeySym, KeyStroke> layout;
  const std::set<KeyCode> spareCodes = SpareKeycodes(xkb, keys_->bound);
  for (int code = xkb->min_key_code; code <= xkb->max_key_code; ++code) {
    const auto kc = static_cast<KeyCode>(code);
    if (spareCodes.count(kc) != 0) continue;
    for (bool shift : {false, true}) {
      unsigned int modsOut = 0;
      KeySym ks = NoSymbol;
      const unsigned int mods = XkbBuildCoreState(shift ? ShiftMask : 0, state.group);
      if (!XkbTranslateKeyCode(xkb, kc, mods, &modsOut, &ks) || ks == NoSymbol) continue;
      if (IsKeypadKey(ks) || IsPrivateKeypadKey(ks)) continue;
      auto it = layout.find(ks);
      if (it == layout.end() || (it->second.shift && !shift)) layout[ks] = KeyStroke{kc, shift};
    }
  }
  XkbFreeKeyboard(xkb, 0, True);

  // The keysym of each character, and those the layout lacks.
  std::vector<KeySym> wanted;
  for (const char32_t c : ToCodePoints(text)) wanted.push_back(KeysymFor(c));
  // A missing character keeps the keycode an earlier text bound it to; the others take spare
  // keycodes from the top of the range down (the lowest codes are the likeliest to gain a
  // meaning in another layout).
  std::map<KeySym, KeyCode> assigned;
  for (const auto& [code, ks] : keys_->bound) {
    if (std::find(wanted.begin(), wanted.end(), ks) != wanted.end()) assigned[ks] = code;
  }
  std::map<KeyCode, KeySym> changes;
  auto spare = spareCodes.rbegin();
  for (const KeySym ks : wanted) {
    if (layout.count(ks) != 0 || assigned.count(ks) != 0) continue;
    while (spare != spareCodes.rend() && keys_->bound.count(*spare) != 0 &&
           assigned.count(keys_->bound.at(*spare)) != 0) {
      ++spare;  // bound to another character of this text
    }
    if (spare == spareCodes.rend()) {
      result.result = Typing::Result::kLayoutCannotType;  // more missing characters than spares
      return result;
    }
    assigned[ks] = *spare;
    changes[*spare] = ks;
    ++spare;
  }
  for (const KeySym ks : wanted) {
    if (auto it = layout.find(ks); it != layout.end()) {
      keys_->presses.push_back(it->second);
    } else {
      keys_->presses.push_back(KeyStroke{assigned.at(ks), false});
    }
  }
  if (changes.empty()) return result;
  ChangeMapping(d, changes);
  for (const auto& [code, ks] : changes) keys_->bound[code] = ks;
  keys_->Record(d);
  XSync(d, False);
  result.settle = kRemapSettle;
  return result;
}

bool X11WindowSystem::TypePrepared(const std::function<bool()>& mayType) {
  if (!x_.ok() || keys_->presses.empty()) return true;
  Display* d = D(x_.display());
  XkbStateRec state{};
  XkbGetState(d, XkbUseCoreKbd, &state);
  const bool capsLocked = (state.locked_mods & LockMask) != 0;
  if (capsLocked) XkbLockModifiers(d, XkbUseCoreKbd, LockMask, 0);
  const KeyCode shift = XKeysymToKeycode(d, XK_Shift_L);
  bool all = true;
  for (const KeyStroke& p : keys_->presses) {
    if (!mayType()) {
      all = false;
      break;
    }
    if (p.shift) XTestFakeKeyEvent(d, shift, True, CurrentTime);
    XTestFakeKeyEvent(d, p.code, True, CurrentTime);
    XTestFakeKeyEvent(d, p.code, False, CurrentTime);
    if (p.shift) XTestFakeKeyEvent(d, shift, False, CurrentTime);
  }
  if (capsLocked) XkbLockModifiers(d, XkbUseCoreKbd, LockMask, LockMask);
  XSync(d, False);
  keys_->presses.clear();
  return all;
}

void X11WindowSystem::RestoreKeyboard() {
  if (keys_->bound.empty() || !x_.ok()) return;
  Display* d = D(x_.display());
  std::map<KeyCode, KeySym> changes;
  if (XkbDescPtr xkb = XkbGetMap(d, XkbKeySymsMask, XkbUseCoreKbd)) {
    for (const auto& [code, ks] : keys_->bound) {
      // Leave a key alone that someone else has mapped since (a new layout, say).
      if (code >= xkb->min_key_code && code <= xkb->max_key_code &&
          XkbKeyNumGroups(xkb, code) > 0 && XkbKeySymEntry(xkb, code, 0, 0) == ks) {
        changes[code] = NoSymbol;
      }
    }
    XkbFreeKeyboard(xkb, 0, True);
  }
  ChangeMapping(d, changes);
  keys_->bound.clear();
  keys_->Record(d);
  XSync(d, False);
}

void X11WindowSystem::Beep() {
  if (!x_.ok()) return;
  XBell(D(x_.display()), 0);
  XFlush(D(x_.display()));
}

}  // namespace navelo::platform::x11
