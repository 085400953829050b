// The X11 platform services against real windows: reading the foreground window, activating a
// window and typing into it under different keyboard layouts and lock states.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "base/utf8.h"
#include "delivery/delivery.h"
#include "panel/logic/tracker.h"
#include "platform/posix/codec_cp932.h"
#include "platform/x11/x11_windows.h"
// clang-format off
#include "x11_testkit.h"
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/keysym.h>
// clang-format on

namespace navelo::testkit {
namespace {

using Outcome = DeliveryOutcome;

class KeystrokesOnX11 : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!desktop.ok()) GTEST_SKIP() << "no X display (the test command provides one)";
  }
  void TearDown() override {
    delivery.RestoreKeyboardNow();
    SetLayout("us");
    SetCapsLock(false);
  }

  // Sends `text` to `target` as the panel does, with the title the window has now, and steps the
  // delivery until it has an outcome.
  Outcome Deliver(Window target, const std::u16string& text) {
    return DeliverExpecting(target, windowSystem.Title(target), text);
  }
  Outcome DeliverExpecting(Window target, const std::u16string& title, const std::u16string& text) {
    std::optional<Outcome> result;
    delivery.Deliver({target, title, text, [&](Outcome o) { result = o; }}, Delivery::Clock::now());
    StepUntil([&] { return result.has_value(); });
    return result.value_or(Outcome::kReplaced);
  }
  void StepUntil(const std::function<bool()>& done) {
    while (!done()) {
      const auto next = delivery.NextTick();
      if (!next) return;
      std::this_thread::sleep_until(*next);
      delivery.Tick(Delivery::Clock::now());
    }
  }

  // Types `text` into a fresh window with `fields` line edits and returns what arrived.
  std::vector<std::string> TypeInto(const std::u16string& text, int fields, const char* title) {
    TypingTarget target(TYPING_TARGET, title, fields);
    auto window = target.WaitForWindow(desktop);
    EXPECT_TRUE(window.has_value());
    if (!window) return {};
    // A window that has only just appeared is brought forward first, and typed into once it
    // knows it has the focus.
    EXPECT_EQ(Deliver(*window, u""), Outcome::kTyped);
    EXPECT_TRUE(WaitFor([&] { return target.Active(); }));
    EXPECT_EQ(Deliver(*window, text), Outcome::kTyped);
    // Wait until the last field has stopped changing.
    std::vector<std::string> seen;
    std::vector<std::string> expected = Split(ToUtf8(text), fields);
    WaitFor([&] { return (seen = target.Fields()) == expected; }, std::chrono::seconds(5));
    return seen;
  }

  static std::vector<std::string> Split(const std::string& text, int fields) {
    std::vector<std::string> out(1);
    for (char c : text) {
      if (c == '\t') {
        out.emplace_back();
      } else {
        out.back().push_back(c);
      }
    }
    out.resize(static_cast<std::size_t>(fields));
    return out;
  }

  void SetLayout(const char* layout) {
    const std::string command = std::string("setxkbmap ") + layout;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }

  void SetCapsLock(bool on) {
    XkbLockModifiers(desktop.display(), XkbUseCoreKbd, LockMask, on ? LockMask : 0);
    XSync(desktop.display(), False);
  }

  Desktop desktop;
  platform::x11::X11Connection connection;
  platform::x11::X11Foreground foreground{connection};
  platform::x11::X11WindowSystem windowSystem{connection};
  Delivery delivery{windowSystem};
  platform::posix::Cp932Codec codec;
};

const std::u16string kIdentifiers = u"12345678\tAbCd9\t4321\t3000";
const std::u16string kSymbols = u"+^%~(){}[]\t!\"#$&'*,-./:;<=>?@\\_`|";
const std::u16string kJapanese = u"競馬ＩＰＡＴ\tｱｲｳ€é\tx";

TEST_F(KeystrokesOnX11, TypesDigitsLettersSymbolsAndJapaneseUnderUs) {
  SetLayout("us");
  EXPECT_EQ(TypeInto(kIdentifiers, 4, "Target us 1"), Split(ToUtf8(kIdentifiers), 4));
  EXPECT_EQ(TypeInto(kSymbols, 2, "Target us 2"), Split(ToUtf8(kSymbols), 2));
  EXPECT_EQ(TypeInto(kJapanese, 3, "Target us 3"), Split(ToUtf8(kJapanese), 3));
}

TEST_F(KeystrokesOnX11, TypesTheSameUnderJapaneseLayout) {
  SetLayout("jp");
  EXPECT_EQ(TypeInto(kIdentifiers, 4, "Target jp 1"), Split(ToUtf8(kIdentifiers), 4));
  EXPECT_EQ(TypeInto(kSymbols, 2, "Target jp 2"), Split(ToUtf8(kSymbols), 2));
  EXPECT_EQ(TypeInto(kJapanese, 3, "Target jp 3"), Split(ToUtf8(kJapanese), 3));
}

TEST_F(KeystrokesOnX11, CapsLockDoesNotChangeWhatArrives) {
  SetLayout("us");
  SetCapsLock(true);
  EXPECT_EQ(TypeInto(kIdentifiers, 4, "Target caps"), Split(ToUtf8(kIdentifiers), 4));
  XkbStateRec state{};
  XkbGetState(desktop.display(), XkbUseCoreKbd, &state);
  EXPECT_TRUE(state.locked_mods & LockMask);  // locked again afterwards
}

TEST_F(KeystrokesOnX11, ClosedTargetGetsNothingAndNothingElseDoes) {
  TypingTarget bystander(TYPING_TARGET, "Bystander", 1);
  auto bystanderWindow = bystander.WaitForWindow(desktop);
  ASSERT_TRUE(bystanderWindow);
  ASSERT_EQ(Deliver(*bystanderWindow, u""), Outcome::kTyped);

  std::optional<Window> closed;
  {
    TypingTarget target(TYPING_TARGET, "Soon closed", 1);
    closed = target.WaitForWindow(desktop);
    ASSERT_TRUE(closed);
  }
  EXPECT_EQ(Deliver(*closed, u"secret"), Outcome::kWindowGone);

  // A window that exists but never becomes active (never mapped): after a second, nothing typed.
  Window hidden = XCreateSimpleWindow(desktop.display(), DefaultRootWindow(desktop.display()), 0, 0,
                                      10, 10, 0, 0, 0);
  XSync(desktop.display(), False);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Deliver(hidden, u"secret"), Outcome::kNotActivated);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
  XDestroyWindow(desktop.display(), hidden);

  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(bystander.Fields(), std::vector<std::string>{""});
}

TEST_F(KeystrokesOnX11, ANewSendReplacesOneStillWaitingForItsWindow) {
  TypingTarget target(TYPING_TARGET, "Replacement", 1);
  auto window = target.WaitForWindow(desktop);
  ASSERT_TRUE(window);
  Window hidden = XCreateSimpleWindow(desktop.display(), DefaultRootWindow(desktop.display()), 0, 0,
                                      10, 10, 0, 0, 0);
  XSync(desktop.display(), False);
  std::optional<Outcome> first;
  delivery.Deliver({hidden, u"", u"never", [&](Outcome o) { first = o; }}, Delivery::Clock::now());
  EXPECT_EQ(Deliver(*window, u"second"), Outcome::kTyped);
  EXPECT_EQ(first, Outcome::kReplaced);
  EXPECT_TRUE(WaitFor([&] { return target.Fields() == std::vector<std::string>{"second"}; }));
  XDestroyWindow(desktop.display(), hidden);
}

TEST_F(KeystrokesOnX11, AnotherPageInTheRememberedWindowGetsNothing) {
  TypingTarget target(TYPING_TARGET, "IPAT照会ログイン - Browser", 1);
  auto window = target.WaitForWindow(desktop);
  ASSERT_TRUE(window);
  const std::u16string remembered = windowSystem.Title(*window);
  ASSERT_EQ(Deliver(*window, u""), Outcome::kTyped);
  // The browser now shows another site in the same window.
  const std::string other = "Messenger - Chromium";
  Display* d = desktop.display();
  XChangeProperty(d, *window, XInternAtom(d, "_NET_WM_NAME", False),
                  XInternAtom(d, "UTF8_STRING", False), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(other.data()),
                  static_cast<int>(other.size()));
  XSync(d, False);
  ASSERT_TRUE(WaitFor([&] { return windowSystem.Title(*window) == u"Messenger - Chromium"; }));
  EXPECT_EQ(DeliverExpecting(*window, remembered, u"secret"), Outcome::kTitleChanged);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(target.Fields(), std::vector<std::string>{""});
}

// A client that counts changes of the keyboard mapping, as every client on the display (a window
// manager re-reading its key bindings, say) is told of them.
class MappingWatch {
 public:
  MappingWatch() : d_(XOpenDisplay(nullptr)) {
    int opcode = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (d_ == nullptr || !XkbQueryExtension(d_, &opcode, &xkbEvent_, &error, &major, &minor)) {
      return;
    }
    XkbSelectEvents(d_, XkbUseCoreKbd, XkbMapNotifyMask, XkbMapNotifyMask);
  }
  ~MappingWatch() {
    if (d_) XCloseDisplay(d_);
  }
  bool ok() const { return d_ != nullptr && xkbEvent_ != 0; }
  // Changes since the last call.
  int Changes() {
    XSync(d_, False);
    int changes = 0;
    while (XPending(d_) > 0) {
      XEvent e;
      XNextEvent(d_, &e);
      // One request is reported once for each keyboard device; its serial tells them apart.
      const auto* any = reinterpret_cast<XkbAnyEvent*>(&e);
      if (e.type == xkbEvent_ && any->xkb_type == XkbMapNotify && any->serial != last_) {
        last_ = any->serial;
        ++changes;
      }
    }
    return changes;
  }

 private:
  Display* d_;
  int xkbEvent_ = 0;
  unsigned long last_ = 0;
};

TEST_F(KeystrokesOnX11, ADeliveryChangesTheKeyboardMappingOnceAndRestoresItOnce) {
  MappingWatch watch;
  ASSERT_TRUE(watch.ok());
  for (const char* layout : {"us", "jp"}) {
    SCOPED_TRACE(layout);
    SetLayout(layout);
    TypingTarget target(TYPING_TARGET, std::string("Mapping ") + layout, 3);
    auto window = target.WaitForWindow(desktop);
    ASSERT_TRUE(window);
    ASSERT_EQ(Deliver(*window, u""), Outcome::kTyped);
    ASSERT_TRUE(WaitFor([&] { return target.Active(); }));
    watch.Changes();
    ASSERT_EQ(Deliver(*window, kJapanese), Outcome::kTyped);
    EXPECT_EQ(watch.Changes(), 1);
    // The same characters again before the keys are given back: no change at all.
    ASSERT_EQ(Deliver(*window, u"ＩＰＡＴ"), Outcome::kTyped);
    EXPECT_EQ(watch.Changes(), 0);
    StepUntil([] { return false; });  // until the keys are given back
    EXPECT_EQ(watch.Changes(), 1);
    Display* d = desktop.display();
    EXPECT_EQ(desktop.CardinalList(DefaultRootWindow(d), "_NAVELO_BOUND_KEYS", AnyPropertyType),
              std::vector<unsigned long>{});  // and no longer recorded
    const std::vector<std::string> expected{"競馬ＩＰＡＴ", "ｱｲｳ€é", "xＩＰＡＴ"};
    std::vector<std::string> seen;
    EXPECT_TRUE(WaitFor([&] { return (seen = target.Fields()) == expected; }))
        << ::testing::PrintToString(seen);
  }
}

// Every keysym of a key, as the core protocol lists them, without the empty ones at the end.
std::vector<KeySym> Mapping(Display* d, int code) {
  int perCode = 0;
  KeySym* syms = XGetKeyboardMapping(d, static_cast<KeyCode>(code), 1, &perCode);
  std::vector<KeySym> out(syms, syms + (syms ? perCode : 0));
  if (syms) XFree(syms);
  while (!out.empty() && out.back() == NoSymbol) out.pop_back();
  return out;
}

// A start gives back the keys recorded on the root window only when the Navelo that bound them
// has ended, the key is still bound exactly as it bound it, and the layout leaves that key empty:
// a second start never takes the keys of a Navelo typing at that moment.
TEST_F(KeystrokesOnX11, OnlyKeysLeftBoundByANaveloThatEndedAreGivenBackAtStart) {
  Display* d = desktop.display();
  // This Navelo, running, has bound a key for a text and recorded it: its host, process-id
  // namespace, process id, start, keycode and keysym.
  ASSERT_EQ(windowSystem.PrepareTyping(u"ｱ").result,
            platform::WindowSystem::Typing::Result::kReady);
  const Atom property = XInternAtom(d, "_NAVELO_BOUND_KEYS", False);
  const auto ours = desktop.CardinalList(DefaultRootWindow(d), "_NAVELO_BOUND_KEYS", property);
  ASSERT_EQ(ours.size(), 6u);
  const unsigned long host = ours[0], ns = ours[1], self = ours[2];
  const KeyCode running = static_cast<KeyCode>(ours[4]);
  const std::vector<KeySym> runningKey = Mapping(d, running);
  std::vector<KeyCode> spare;
  for (int code = 255; code >= 8; --code) {
    if (Mapping(d, code).empty()) spare.push_back(static_cast<KeyCode>(code));
  }
  ASSERT_GE(spare.size(), 7u);
  const unsigned long elsewhere = XInternAtom(d, "another-host.example", False);
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  const unsigned long ended = child;               // a process id no process has now
  const KeySym kei = 0x01007AF6, ba = 0x010099AC;  // 競, 馬
  auto key = [&](KeySym ks) { return XKeysymToKeycode(d, ks); };
  const struct {
    const char* what;
    KeyCode code;
    std::vector<KeySym> mapping;  // set before the start; none: as the layout has it
    unsigned long host, namespaces, pid, started;
    KeySym recorded;
    bool givenBack;
  } cases[] = {
      {"left by a Navelo that ended", spare[0], {kei}, host, ns, ended, 0, kei, true},
      {"its process id now another process's", spare[1], {kei}, host, ns, self, 1, kei, true},
      {"taken since by another character", spare[2], {ba}, host, ns, ended, 0, kei, false},
      {"bound since with more than one level", spare[3], {kei, ba}, host, ns, ended, 0, kei, false},
      {"a running Navelo's", spare[4], {kei}, host, ns, self, 0, kei, false},
      {"a Navelo's on another host", spare[5], {kei}, elsewhere, ns, ended, 0, kei, false},
      {"a Navelo's in a sandbox of its own", spare[6], {kei}, host, ns + 1, ended, 0, kei, false},
      {"the layout's a", key(XK_a), {}, host, ns, ended, 0, XK_a, false},
      {"the layout's Tab", key(XK_Tab), {}, host, ns, ended, 0, XK_Tab, false},
      {"the layout's Return", key(XK_Return), {}, host, ns, ended, 0, XK_Return, false},
      {"the layout's Shift_L", key(XK_Shift_L), {}, host, ns, ended, 0, XK_Shift_L, false},
      {"the layout's space", key(XK_space), {}, host, ns, ended, 0, XK_space, false},
  };

  std::vector<long> record;
  for (const auto& c : cases) {
    std::vector<KeySym> mapping = c.mapping;
    if (!mapping.empty()) XChangeKeyboardMapping(d, c.code, int(mapping.size()), mapping.data(), 1);
    for (unsigned long v : {c.host, c.namespaces, c.pid, c.started, 0ul + c.code, c.recorded}) {
      record.push_back(static_cast<long>(v));
    }
  }
  XChangeProperty(d, DefaultRootWindow(d), property, property, 32, PropModeAppend,
                  reinterpret_cast<const unsigned char*>(record.data()), int(record.size()));
  std::vector<std::vector<KeySym>> before;
  for (const auto& c : cases) before.push_back(Mapping(d, c.code));

  { platform::x11::X11WindowSystem next(connection); }

  EXPECT_EQ(Mapping(d, running), runningKey);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].what);
    EXPECT_EQ(Mapping(d, cases[i].code), cases[i].givenBack ? std::vector<KeySym>{} : before[i]);
  }
  // The record keeps the keys of the Navelos that may still run (this one's two, another host's,
  // a sandbox's), and nothing else.
  EXPECT_EQ(desktop.CardinalList(DefaultRootWindow(d), "_NAVELO_BOUND_KEYS", property).size(),
            4 * 6u);
  XDeleteProperty(d, DefaultRootWindow(d), property);
}

TEST_F(KeystrokesOnX11, ForegroundFollowsChangesAndAsksTheServerNothingWhileNothingChanges) {
  TypingTarget a(TYPING_TARGET, "Follow A", 1), b(TYPING_TARGET, "Follow B", 1);
  auto windowA = a.WaitForWindow(desktop), windowB = b.WaitForWindow(desktop);
  ASSERT_TRUE(windowA && windowB);
  auto shows = [&](Window w, const std::u16string& title) {
    return WaitFor([&] {
      const platform::WindowInfo info = foreground.Foreground();
      return info.handle == w && info.title == title;
    });
  };
  ASSERT_EQ(Deliver(*windowA, u""), Outcome::kTyped);
  EXPECT_TRUE(shows(*windowA, u"Follow A"));

  auto* own = static_cast<Display*>(connection.display());
  const unsigned long serial = XNextRequest(own);
  for (int i = 0; i < 100; ++i) foreground.Foreground();
  EXPECT_EQ(XNextRequest(own), serial);

  // A new title, then one of a megabyte: read only as far as the tracker's cut needs.
  Display* d = desktop.display();
  auto retitle = [&](const std::string& title) {
    XChangeProperty(d, *windowA, XInternAtom(d, "_NET_WM_NAME", False),
                    XInternAtom(d, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()),
                    static_cast<int>(title.size()));
    XSync(d, False);
  };
  retitle("Follow A, page 2");
  EXPECT_TRUE(shows(*windowA, u"Follow A, page 2"));
  std::string huge;
  while (huge.size() < (1u << 20)) huge += "競馬";
  retitle(huge);
  std::u16string kept;
  for (std::size_t i = 0; i < platform::kTitleCharacters; ++i) kept += i % 2 ? u'馬' : u'競';
  EXPECT_TRUE(shows(*windowA, kept));
  EXPECT_EQ(CutTitle(foreground.Foreground().title, codec), kept.substr(0, 34));

  ASSERT_EQ(Deliver(*windowB, u""), Outcome::kTyped);
  EXPECT_TRUE(shows(*windowB, u"Follow B"));
}

TEST_F(KeystrokesOnX11, ForegroundReadsJapaneseAndLongTitlesAndSurvivesVanishingWindows) {
  TypingTarget target(TYPING_TARGET, "IPAT照会ログイン - テスト", 1);
  auto window = target.WaitForWindow(desktop);
  ASSERT_TRUE(window);
  ASSERT_EQ(Deliver(*window, u""), Outcome::kTyped);
  platform::WindowInfo info = foreground.Foreground();
  EXPECT_EQ(info.handle, *window);
  EXPECT_EQ(info.title, u"IPAT照会ログイン - テスト");

  std::string longTitle = "a";
  for (int i = 0; i < 50; ++i) longTitle += "競";
  TypingTarget longOne(TYPING_TARGET, longTitle, 1);
  auto longWindow = longOne.WaitForWindow(desktop);
  ASSERT_TRUE(longWindow);
  ASSERT_EQ(Deliver(*longWindow, u""), Outcome::kTyped);
  EXPECT_EQ(CutTitle(foreground.Foreground().title, codec), u"a" + std::u16string(34, u'競'));

  // The window goes away while it is being read, again and again: never a crash.
  longOne.Close();
  for (int i = 0; i < 200; ++i) foreground.Foreground();
  target.Close();
  for (int i = 0; i < 200; ++i) foreground.Foreground();
}

}  // namespace
}  // namespace navelo::testkit
