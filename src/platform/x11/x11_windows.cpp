#include "platform/x11/x11_windows.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>

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

// Where the keycodes bound for a delivery are recorded while they are bound, on the root window:
// for each key the Navelo that bound it (see Binder) and the key (keycode, keysym), six 32-bit
// values, in a property of the type of the same name.
constexpr const char* kBoundKeysProperty = "_NAVELO_BOUND_KEYS";

// When a process started, in clock ticks since the machine started (the low 32 bits, as the
// record keeps it); 0 when it cannot be read.
unsigned long ProcessStart(long pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  const std::string stat((std::istreambuf_iterator<char>(in)), {});
  // The command name, in parentheses, may hold anything: the fields are counted after it.
  const std::size_t close = stat.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(stat.substr(close + 1));
  std::string field;
  for (int number = 3; fields >> field; ++number) {
    if (number == 22) return std::strtoul(field.c_str(), nullptr, 10) & 0xFFFFFFFFul;
  }
  return 0;
}

// The Navelo that bound a key: its host and process.
struct Binder {
  unsigned long host = 0;        // the atom of the host's name
  unsigned long namespaces = 0;  // the process-id namespace (its inode's low 32 bits); 0 unknown
  unsigned long pid = 0;
  unsigned long started = 0;  // see ProcessStart; 0 when unknown
  bool operator==(const Binder&) const = default;
};

Binder ThisProcess(Display* d) {
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0 || host[0] == '\0') host[0] = '?';
  struct stat ns {};
  const unsigned long namespaces =
      ::stat("/proc/self/ns/pid", &ns) == 0 ? ns.st_ino & 0xFFFFFFFFul : 0;
  const long pid = getpid();
  return {A(d, host), namespaces, static_cast<unsigned long>(pid), ProcessStart(pid)};
}

// Whether the Navelo that bound a key has ended. One on another host, or in a sandbox of its own
// whose process ids are not ours, cannot be asked: it counts as running. A process id now used by
// a process that started at another time is another process.
bool HasEnded(const Binder& binder, const Binder& self) {
  if (binder.host != self.host) return false;
  if (binder.namespaces != 0 && binder.namespaces != self.namespaces) return false;
  if (binder.pid == 0 || binder.pid > 0x3FFFFFFF) return true;  // no process has that id
  const auto pid = static_cast<pid_t>(binder.pid);
  if (kill(pid, 0) != 0 && errno == ESRCH) return true;
  const unsigned long started = ProcessStart(pid);
  return binder.started != 0 && started != 0 && started != binder.started;
}

struct BoundKey {
  Binder binder;
  KeyCode code = 0;
  KeySym sym = NoSymbol;
};

std::vector<BoundKey> ReadRecord(Display* d) {
  const PropertyData data = ReadProperty(d, DefaultRootWindow(d), A(d, kBoundKeysProperty),
                                         A(d, kBoundKeysProperty), 6 * 256);
  std::vector<BoundKey> keys;
  // Xlib hands 32-bit values over as longs, sign-extended.
  std::vector<unsigned long> v;
  for (unsigned long value : data.values) v.push_back(value & 0xFFFFFFFFul);
  for (std::size_t i = 0; i + 6 <= v.size(); i += 6) {
    if (v[i + 4] > 255) continue;  // no keycode
    keys.push_back(
        {{v[i], v[i + 1], v[i + 2], v[i + 3]}, static_cast<KeyCode>(v[i + 4]), v[i + 5]});
  }
  return keys;
}

void WriteRecord(Display* d, const std::vector<BoundKey>& keys) {
  const Window root = DefaultRootWindow(d);
  if (keys.empty()) {
    XDeleteProperty(d, root, A(d, kBoundKeysProperty));
    return;
  }
  std::vector<long> values;
  for (const BoundKey& k : keys) {
    for (unsigned long v : {k.binder.host, k.binder.namespaces, k.binder.pid, k.binder.started,
                            static_cast<unsigned long>(k.code), k.sym}) {
      values.push_back(static_cast<long>(v));
    }
  }
  XChangeProperty(d, root, A(d, kBoundKeysProperty), A(d, kBoundKeysProperty), 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(values.data()), static_cast<int>(values.size()));
}

// Other clients wait while the record and the keyboard mapping are read and changed together, so
// two Navelos never act on the same key at the same moment.
class ServerGrab {
 public:
  explicit ServerGrab(Display* d) : d_(d) { XGrabServer(d_); }
  ~ServerGrab() {
    XUngrabServer(d_);
    XSync(d_, False);
  }
  ServerGrab(const ServerGrab&) = delete;
  ServerGrab& operator=(const ServerGrab&) = delete;

 private:
  Display* d_;
};

// Whether a key's whole mapping is what binding it for a text makes it: one group, one level,
// that keysym, no modifier.
bool BoundAsNavelo(XkbDescPtr xkb, KeyCode code, KeySym ks) {
  return code >= xkb->min_key_code && code <= xkb->max_key_code &&
         XkbKeyNumGroups(xkb, code) == 1 && XkbKeyGroupWidth(xkb, code, 0) == 1 &&
         XkbKeySymEntry(xkb, code, 0, 0) == ks && xkb->map->modmap[code] == 0;
}

// The keycodes the keyboard layout itself gives symbols, as the X server builds the layout from
// its names (those setxkbmap or the desktop chose), whatever programs have changed since; nothing
// when the layout cannot be built from them.
std::optional<std::set<KeyCode>> LayoutKeycodes(Display* d) {
  XkbDescPtr current = XkbGetMap(d, 0, XkbUseCoreKbd);
  if (current == nullptr) return std::nullopt;
  std::optional<std::set<KeyCode>> codes;
  if (XkbGetNames(d,
                  XkbKeycodesNameMask | XkbTypesNameMask | XkbCompatNameMask | XkbSymbolsNameMask,
                  current) == Success &&
      current->names != nullptr && current->names->keycodes != None &&
      current->names->symbols != None) {
    auto name = [&](Atom atom) { return atom != None ? XGetAtomName(d, atom) : nullptr; };
    XkbComponentNamesRec names{};
    names.keycodes = name(current->names->keycodes);
    names.types = name(current->names->types);
    names.compat = name(current->names->compat);
    names.symbols = name(current->names->symbols);
    // Built, not loaded; the symbols come bound to keycodes only together with the key names.
    constexpr unsigned int kParts = XkbGBN_ClientSymbolsMask | XkbGBN_KeyNamesMask;
    if (XkbDescPtr layout = XkbGetKeyboardByName(d, XkbUseCoreKbd, &names, kParts, kParts, False)) {
      std::set<KeyCode> used;
      for (int code = layout->min_key_code; code <= layout->max_key_code; ++code) {
        if (XkbKeyNumGroups(layout, code) > 0) used.insert(static_cast<KeyCode>(code));
      }
      // A layout without a single key is none that could be read.
      if (!used.empty()) codes = std::move(used);
      XkbFreeKeyboard(layout, 0, True);
    }
    for (char* n : {names.keycodes, names.types, names.compat, names.symbols}) {
      if (n) XFree(n);
    }
  }
  XkbFreeKeyboard(current, 0, True);
  return codes;
}

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

// Gives back, among `keys`, those still bound as they were bound (and not `keep`), and takes
// out of the record the entries `drop` says.
void GiveBack(Display* d, const std::vector<BoundKey>& keys, const std::set<KeyCode>& keep,
              const std::function<bool(const BoundKey&)>& drop) {
  std::map<KeyCode, KeySym> changes;
  if (XkbDescPtr xkb = XkbGetMap(d, XkbAllClientInfoMask, XkbUseCoreKbd)) {
    for (const BoundKey& k : keys) {
      if (keep.count(k.code) == 0 && BoundAsNavelo(xkb, k.code, k.sym)) changes[k.code] = NoSymbol;
    }
    XkbFreeKeyboard(xkb, 0, True);
  }
  ChangeMapping(d, changes);
  std::vector<BoundKey> record = ReadRecord(d);
  std::erase_if(record, drop);
  WriteRecord(d, record);
}

}  // namespace

// The keys planned for the current text, and the spare keycodes bound now.
struct X11WindowSystem::Keys {
  bool xtest = false;
  Binder self;
  std::vector<KeyStroke> presses;
  std::map<KeyCode, KeySym> bound;
};

X11WindowSystem::X11WindowSystem(X11Connection& connection)
    : x_(connection), keys_(std::make_unique<Keys>()) {
  if (!x_.ok()) return;
  Display* d = D(x_.display());
  int event = 0, error = 0, major = 0, minor = 0;
  keys_->xtest = XTestQueryExtension(d, &event, &error, &major, &minor) != 0;
  keys_->self = ThisProcess(d);
  GiveBackLeftovers();
}

void X11WindowSystem::GiveBackLeftovers() {
  Display* d = D(x_.display());
  const Binder self = keys_->self;
  auto ended = [&](const BoundKey& k) { return HasEnded(k.binder, self); };
  const std::vector<BoundKey> first = ReadRecord(d);
  if (std::none_of(first.begin(), first.end(), ended)) return;
  // Keys a Navelo that has ended left bound. Only a key the layout itself leaves without symbols,
  // still bound exactly as it was bound, is given back: never a key of the user's keyboard.
  const std::optional<std::set<KeyCode>> layout = LayoutKeycodes(d);
  ServerGrab grab(d);
  const std::vector<BoundKey> record = ReadRecord(d);
  std::vector<BoundKey> left;
  std::set<KeyCode> keep;
  for (const BoundKey& k : record) {
    if (!ended(k)) {
      keep.insert(k.code);  // a running Navelo's
    } else if (layout && layout->count(k.code) == 0) {
      left.push_back(k);
    }
  }
  GiveBack(d, left, keep, ended);
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
  {
    // Recorded as this Navelo's before they are bound, so they are given back whatever happens.
    ServerGrab grab(d);
    std::vector<BoundKey> record = ReadRecord(d);
    std::erase_if(record, [&](const BoundKey& k) {
      return k.binder == keys_->self && changes.count(k.code) != 0;
    });
    for (const auto& [code, ks] : changes) record.push_back({keys_->self, code, ks});
    WriteRecord(d, record);
    ChangeMapping(d, changes);
  }
  for (const auto& [code, ks] : changes) keys_->bound[code] = ks;
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
  std::vector<BoundKey> ours;
  for (const auto& [code, ks] : keys_->bound) ours.push_back({keys_->self, code, ks});
  {
    // A key someone else has mapped since (a new layout, say) is left alone.
    ServerGrab grab(d);
    GiveBack(d, ours, {}, [&](const BoundKey& k) {
      return k.binder == keys_->self && keys_->bound.count(k.code) != 0;
    });
  }
  keys_->bound.clear();
}

void X11WindowSystem::Beep() {
  if (!x_.ok()) return;
  XBell(D(x_.display()), 0);
  XFlush(D(x_.display()));
}

}  // namespace navelo::platform::x11
