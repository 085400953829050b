#include "platform/x11/x11_windows.h"

#include "settings/utf8.h"

// Qt before Xlib: Xlib's macros (Bool, Status, CursorShape) break Qt's headers.
#include <QTimer>
#include <algorithm>
#include <deque>
#include <map>
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xatom.h>
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

Atom A(Display* d, const char* name) {
  return XInternAtom(d, name, False);
}

// One 32-bit-format property as a list of values; empty when missing or on any error.
std::vector<unsigned long> Longs(Display* d, Window w, const char* property, Atom type) {
  std::vector<unsigned long> out;
  Atom actual = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, w, A(d, property), 0, 64, False, type, &actual, &format, &count, &after,
                         &data) == Success &&
      data != nullptr) {
    if (format == 32) {
      auto* values = reinterpret_cast<unsigned long*>(data);
      out.assign(values, values + count);
    }
    XFree(data);
  }
  return out;
}

// The title: _NET_WM_NAME in UTF-8, else WM_NAME in whatever encoding it carries.
std::u16string Title(Display* d, Window w) {
  Atom actual = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, w, A(d, "_NET_WM_NAME"), 0, 4096, False, A(d, "UTF8_STRING"), &actual,
                         &format, &count, &after, &data) == Success &&
      data != nullptr) {
    std::string utf8(reinterpret_cast<char*>(data), count);
    XFree(data);
    if (format == 8 && !utf8.empty()) return FromUtf8(utf8);
  }
  XTextProperty text{};
  if (XGetWMName(d, w, &text) == 0 || text.value == nullptr) return {};
  std::u16string title;
  char** list = nullptr;
  int n = 0;
  if (Xutf8TextPropertyToTextList(d, &text, &list, &n) >= Success && list != nullptr) {
    if (n > 0 && list[0] != nullptr) title = FromUtf8(list[0]);
    XFreeStringList(list);
  } else if (text.encoding == XA_STRING) {
    // Latin-1.
    for (unsigned long i = 0; i < text.nitems; ++i) title.push_back(text.value[i]);
  }
  XFree(text.value);
  return title;
}

bool HasWmState(Display* d, Window w) {
  Atom actual = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  int rc = XGetWindowProperty(d, w, A(d, "WM_STATE"), 0, 0, False, AnyPropertyType, &actual,
                              &format, &count, &after, &data);
  if (data) XFree(data);
  return rc == Success && actual != None;
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

WindowInfo X11Foreground::Foreground() {
  if (!x_.ok()) return {};
  Display* d = D(x_.display());
  WindowInfo info;
  info.handle = ActiveWindow(d);
  if (info.handle != 0) info.title = Title(d, info.handle);
  return info;
}

// The spare keycodes mapped for the current delivery, with what they had before.
struct XTestKeystrokes::Remapped {
  std::vector<std::pair<KeyCode, KeySym>> codes;
};

namespace {

// How to type each character of a text on the current layout. Characters the layout lacks are
// given spare keycodes; `remap` lists them.
struct TypingPlan {
  std::vector<KeyStroke> presses;
  std::vector<std::pair<KeyCode, KeySym>> remap;
  bool ok = true;
};

TypingPlan PlanTyping(Display* d, const std::u16string& text) {
  TypingPlan plan;
  XkbStateRec state{};
  XkbGetState(d, XkbUseCoreKbd, &state);
  XkbDescPtr xkb = XkbGetMap(d, XkbAllClientInfoMask, XkbUseCoreKbd);
  if (xkb == nullptr) {
    plan.ok = false;
    return plan;
  }
  // Keysym -> the key that gives it with no modifier, else with Shift; keypad keys never serve
  // ordinary characters.
  std::map<KeySym, KeyStroke> keys;
  std::vector<KeyCode> spare;
  for (int code = xkb->min_key_code; code <= xkb->max_key_code; ++code) {
    const auto kc = static_cast<KeyCode>(code);
    if (XkbKeyNumGroups(xkb, kc) == 0) {
      spare.push_back(kc);
      continue;
    }
    for (bool shift : {false, true}) {
      unsigned int modsOut = 0;
      KeySym ks = NoSymbol;
      const unsigned int mods = XkbBuildCoreState(shift ? ShiftMask : 0, state.group);
      if (!XkbTranslateKeyCode(xkb, kc, mods, &modsOut, &ks) || ks == NoSymbol) continue;
      if (IsKeypadKey(ks) || IsPrivateKeypadKey(ks)) continue;
      auto it = keys.find(ks);
      if (it == keys.end() || (it->second.shift && !shift)) keys[ks] = KeyStroke{kc, shift};
    }
  }
  XkbFreeKeyboard(xkb, 0, True);
  // Spare keys from the top of the range down: the lowest codes are the likeliest to gain a
  // meaning in another layout.
  std::reverse(spare.begin(), spare.end());

  std::map<KeySym, KeyCode> assigned;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    const KeySym ks = KeysymFor(c);
    if (auto it = keys.find(ks); it != keys.end()) {
      plan.presses.push_back(it->second);
      continue;
    }
    auto it = assigned.find(ks);
    if (it == assigned.end()) {
      if (assigned.size() >= spare.size()) {
        plan.ok = false;  // more distinct missing characters than spare keys
        return plan;
      }
      const KeyCode code = spare[assigned.size()];
      it = assigned.emplace(ks, code).first;
      plan.remap.emplace_back(code, ks);
    }
    plan.presses.push_back(KeyStroke{it->second, false});
  }
  return plan;
}

void MapSpare(Display* d, KeyCode code, KeySym ks) {
  // The same keysym on every level, so no modifier or lock changes what the key types.
  KeySym syms[4] = {ks, ks, ks, ks};
  XChangeKeyboardMapping(d, code, 4, syms, 1);
}

}  // namespace

XTestKeystrokes::XTestKeystrokes(X11Connection& connection) : x_(connection) {
  poll_.setInterval(5);
  connect(&poll_, &QTimer::timeout, this, &XTestKeystrokes::Poll);
  restore_.setSingleShot(true);
  connect(&restore_, &QTimer::timeout, this, &XTestKeystrokes::RestoreSpareKeys);
}

XTestKeystrokes::~XTestKeystrokes() {
  RestoreSpareKeys();
}

void XTestKeystrokes::Deliver(WindowHandle target, std::u16string text,
                              std::function<void(Result)> done) {
  if (pending_) Finish(Result::kReplaced);
  if (!x_.ok()) {
    if (done) done(Result::kNotActivated);
    return;
  }
  pending_ = Pending{target, std::move(text), std::move(done), std::chrono::steady_clock::now()};
  if (!Activate(target)) {
    // The window is gone: nothing to wait for.
    XBell(D(x_.display()), 0);
    XFlush(D(x_.display()));
    Finish(Result::kNotActivated);
    return;
  }
  poll_.start();
  Poll();
}

void XTestKeystrokes::Finish(Result result) {
  poll_.stop();
  typingScheduled_ = false;
  if (!pending_) return;
  auto done = std::move(pending_->done);
  pending_.reset();
  if (done) done(result);
}

bool XTestKeystrokes::Activate(WindowHandle target) {
  Display* d = D(x_.display());
  const Window w = static_cast<Window>(target);
  XWindowAttributes attrs;
  if (XGetWindowAttributes(d, w, &attrs) == 0) return false;  // the window is gone
  const Window root = DefaultRootWindow(d);
  auto send = [&](const char* type, long a0, long a1, long a2) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = A(d, type);
    e.xclient.format = 32;
    e.xclient.data.l[0] = a0;
    e.xclient.data.l[1] = a1;
    e.xclient.data.l[2] = a2;
    XSendEvent(d, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
  };
  // Switch to the window's desktop first when it lives on another one.
  auto desktop = Longs(d, w, "_NET_WM_DESKTOP", XA_CARDINAL);
  auto current = Longs(d, root, "_NET_CURRENT_DESKTOP", XA_CARDINAL);
  if (!desktop.empty() && !current.empty() && desktop[0] != current[0] &&
      desktop[0] != 0xFFFFFFFFul) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = root;
    e.xclient.message_type = A(d, "_NET_CURRENT_DESKTOP");
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(desktop[0]);
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
  }
  // Source indication 2: a request on the user's behalf, which focus-stealing prevention allows.
  send("_NET_ACTIVE_WINDOW", 2, CurrentTime, 0);
  XRaiseWindow(d, w);
  XFlush(d);
  return true;
}

bool XTestKeystrokes::IsActive(WindowHandle target) {
  Display* d = D(x_.display());
  return ActiveWindow(d) == static_cast<Window>(target);
}

void XTestKeystrokes::Poll() {
  if (!pending_ || typingScheduled_) return;
  if (IsActive(pending_->target)) {
    poll_.stop();
    TypeNow(*pending_);
    return;
  }
  if (std::chrono::steady_clock::now() - pending_->started > std::chrono::seconds(1)) {
    XBell(D(x_.display()), 0);
    XFlush(D(x_.display()));
    Finish(Result::kNotActivated);
  }
}

void XTestKeystrokes::TypeNow(const Pending& job) {
  Display* d = D(x_.display());
  // Every change of the keyboard mapping, ours or its undoing, must reach the target before the
  // keys that depend on it: after one, typing waits for the target to read the new layout.
  bool layoutChanged = remapped_ != nullptr;
  restore_.stop();
  RestoreSpareKeys();
  TypingPlan plan = PlanTyping(d, job.text);
  if (!plan.ok) {
    XBell(d, 0);
    XFlush(d);
    Finish(Result::kNotActivated);
    return;
  }
  auto type = [this, plan] {
    Display* d = D(x_.display());
    if (!pending_ || !IsActive(pending_->target)) {
      Finish(Result::kNotActivated);
      return;
    }
    XkbStateRec state{};
    XkbGetState(d, XkbUseCoreKbd, &state);
    const bool capsLocked = (state.locked_mods & LockMask) != 0;
    if (capsLocked) XkbLockModifiers(d, XkbUseCoreKbd, LockMask, 0);
    const KeyCode shift = XKeysymToKeycode(d, XK_Shift_L);
    for (const KeyStroke& p : plan.presses) {
      if (p.shift) XTestFakeKeyEvent(d, shift, True, CurrentTime);
      XTestFakeKeyEvent(d, p.code, True, CurrentTime);
      XTestFakeKeyEvent(d, p.code, False, CurrentTime);
      if (p.shift) XTestFakeKeyEvent(d, shift, False, CurrentTime);
    }
    if (capsLocked) XkbLockModifiers(d, XkbUseCoreKbd, LockMask, LockMask);
    XSync(d, False);
    if (remapped_) restore_.start(kRestoreDelay);
    Finish(Result::kTyped);
  };
  if (!plan.remap.empty()) {
    remapped_ = std::make_unique<Remapped>();
    for (const auto& [code, ks] : plan.remap) {
      MapSpare(d, code, ks);
      remapped_->codes.emplace_back(code, ks);
    }
    layoutChanged = true;
  }
  XSync(d, False);
  if (!layoutChanged) {
    type();
    return;
  }
  typingScheduled_ = true;
  QTimer::singleShot(kRemapSettle, this, [this, type] {
    if (!typingScheduled_) return;  // replaced meanwhile
    typingScheduled_ = false;
    type();
  });
}

void XTestKeystrokes::RestoreSpareKeys() {
  if (!remapped_ || !x_.ok()) return;
  Display* d = D(x_.display());
  for (const auto& [code, ks] : remapped_->codes) {
    // Leave a key alone that someone else has mapped since (a new layout, say).
    int perCode = 0;
    KeySym* current = XGetKeyboardMapping(d, code, 1, &perCode);
    const bool stillOurs = current != nullptr && perCode > 0 && current[0] == ks;
    if (current) XFree(current);
    if (stillOurs) MapSpare(d, code, NoSymbol);
  }
  XSync(d, False);
  remapped_.reset();
}

}  // namespace navelo::platform::x11
