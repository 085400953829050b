// GoogleTest before Xlib, whose macros (None) break its headers.
#include <gtest/gtest.h>
// clang-format off
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
// clang-format on
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "x11_testkit.h"

namespace navelo::testkit {
namespace {

bool HasAtom(Desktop& desktop, Window w, const char* property, const std::string& name) {
  auto names = desktop.AtomNames(w, property);
  return std::find(names.begin(), names.end(), name) != names.end();
}

bool HasState(Desktop& desktop, Window w, const std::string& state) {
  return HasAtom(desktop, w, "_NET_WM_STATE", state);
}

class PanelOnX11 : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!desktop.ok()) GTEST_SKIP() << "no X display (the test command provides one)";
  }
  Desktop desktop;
};

TEST_F(PanelOnX11, AppearsAtItsStoredPlaceAboveOthersAndSavesWhenStopped) {
  NaveloProcess navelo(NAVELO_EXE, "[General]\r\nFormLeft=1500\r\nFormTop=3000\r\nZenmen=1\r\n");
  navelo.Start();
  std::optional<Window> panel;
  ASSERT_TRUE(WaitFor([&] { return (panel = navelo.FindPanel(desktop)).has_value(); }))
      << "no window titled Navelo appeared";
  // The frame's top-left corner is at the stored 1500, 3000 twips: 100, 200 pixels.
  EXPECT_TRUE(WaitFor([&] { return desktop.FramePosition(*panel) == std::make_pair(100, 200); }))
      << "frame at " << desktop.FramePosition(*panel)->first << ","
      << desktop.FramePosition(*panel)->second;
  EXPECT_TRUE(WaitFor([&] { return HasState(desktop, *panel, "_NET_WM_STATE_ABOVE"); }));

  // SIGTERM saves exactly as closing the panel does.
  const int status = navelo.Stop(SIGTERM);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  const std::string saved = navelo.Settings();
  EXPECT_NE(saved.find("FormLeft=1500\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("FormTop=3000\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("VERSION=1.2\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("[Data]\r\nNetID=\r\n"), std::string::npos) << saved;
}

TEST_F(PanelOnX11, OrdinaryWindowWhenNotAlwaysOnTop) {
  NaveloProcess navelo(NAVELO_EXE, "[General]\r\nZenmen=2\r\n");
  navelo.Start();
  std::optional<Window> panel;
  ASSERT_TRUE(WaitFor([&] { return (panel = navelo.FindPanel(desktop)).has_value(); }));
  EXPECT_TRUE(WaitFor([&] { return desktop.FramePosition(*panel) == std::make_pair(0, 0); }));
  EXPECT_FALSE(HasState(desktop, *panel, "_NET_WM_STATE_ABOVE"));
  navelo.Stop(SIGINT);
  EXPECT_NE(navelo.Settings().find("Zenmen=2"), std::string::npos);
}

TEST_F(PanelOnX11, StartsWithoutAnySettingsFile) {
  NaveloProcess navelo(NAVELO_EXE, "");
  navelo.Start();
  ASSERT_TRUE(WaitFor([&] { return navelo.FindPanel(desktop).has_value(); }));
  navelo.Stop(SIGHUP);
  EXPECT_NE(navelo.Settings().find("ShoukaiTitle="), std::string::npos);
}

namespace fs = std::filesystem;

bool Exited(std::optional<int> status, int code) {
  return status && WIFEXITED(*status) && WEXITSTATUS(*status) == code;
}

// A second start with the same settings file brings the first panel to the front and ends
// without writing anything; only the process holding the file removes what a killed save left.
TEST_F(PanelOnX11, OneNaveloPerSettingsFile) {
  const std::string settings = "[General]\r\nZenmen=2\r\n";
  NaveloProcess first(NAVELO_EXE, settings);
  std::ofstream(first.folder() / "Navelo.INI.navelo-save-a1B2c3") << "enciphered leftovers";
  std::ofstream(first.folder() / "Navelo.INI.backup") << "the user's own copy";
  first.Start();
  std::optional<Window> panel;
  ASSERT_TRUE(WaitFor([&] { return (panel = first.FindPanel(desktop)).has_value(); }));
  EXPECT_FALSE(fs::exists(first.folder() / "Navelo.INI.navelo-save-a1B2c3"));
  EXPECT_TRUE(fs::exists(first.folder() / "Navelo.INI.backup"));

  TypingTarget other(TYPING_TARGET, "Another program", 1);
  auto otherWindow = other.WaitForWindow(desktop);
  ASSERT_TRUE(otherWindow);
  desktop.Activate(*otherWindow);
  ASSERT_TRUE(WaitFor([&] { return desktop.ActiveWindow() == *otherWindow; }));

  // As if the first one were in the middle of a save.
  std::ofstream(first.folder() / "Navelo.INI.navelo-save-d4E5f6") << "being written";
  Child second({(first.folder() / "navelo").string()});
  second.Start();
  EXPECT_TRUE(Exited(second.WaitExit(std::chrono::seconds(10)), 0));
  EXPECT_TRUE(WaitFor([&] { return desktop.ActiveWindow() == *panel; }))
      << "the running panel was not brought to the front";
  EXPECT_EQ(first.Settings(), settings);
  EXPECT_TRUE(fs::exists(first.folder() / "Navelo.INI.navelo-save-d4E5f6"));

  EXPECT_TRUE(Exited(first.Stop(SIGTERM), 0));
  EXPECT_NE(first.Settings().find("VERSION=1.2"), std::string::npos);
}

// A second start while the first asks for its start-up password ("Secret", as stored) brings
// that dialog, its only window, forward.
TEST_F(PanelOnX11, ASecondStartBringsTheStartupPasswordDialogForward) {
  NaveloProcess first(NAVELO_EXE, "[General]\r\nVERSION=1.2\r\nPassword=0065CC728A74\r\n");
  first.Start();
  std::optional<Window> dialog;
  ASSERT_TRUE(WaitFor([&] {
    for (Window w : desktop.ClientWindows()) dialog = desktop.Pid(w) == first.pid() ? w : dialog;
    return dialog.has_value();
  }));
  TypingTarget other(TYPING_TARGET, "In front of the dialog", 1);
  auto otherWindow = other.WaitForWindow(desktop);
  ASSERT_TRUE(otherWindow);
  desktop.Activate(*otherWindow);
  ASSERT_TRUE(WaitFor([&] { return desktop.ActiveWindow() == *otherWindow; }));
  Child second({(first.folder() / "navelo").string()});
  second.Start();
  EXPECT_TRUE(Exited(second.WaitExit(std::chrono::seconds(10)), 0));
  EXPECT_TRUE(WaitFor([&] { return desktop.ActiveWindow() == *dialog; }));
  EXPECT_EQ(desktop.Title(*dialog), "【Navelo】パスワード入力");
  first.Stop(SIGTERM);
}

// Output on a pipe nobody reads does not end the panel; SIGQUIT saves like SIGTERM.
TEST_F(PanelOnX11, OutputToADeadPipeIsHarmlessAndQuitSaves) {
  NaveloProcess navelo(NAVELO_EXE, "[General]\r\nZenmen=2\r\n");
  int pipe[2];
  ASSERT_EQ(::pipe(pipe), 0);
  ::setenv("QT_LOGGING_RULES", "qt.*=true", 1);  // the toolkit writes at once, and a lot
  pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(pipe[1], 1);
    ::dup2(pipe[1], 2);
    ::close(pipe[0]);
    ::execl((navelo.folder() / "navelo").c_str(), "navelo", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::unsetenv("QT_LOGGING_RULES");
  ::close(pipe[0]);
  ::close(pipe[1]);
  Desktop& d = desktop;
  auto found = [&] {
    for (Window w : d.ClientWindows()) {
      if (d.Pid(w) == pid && d.Title(w) == "Navelo") return true;
    }
    return false;
  };
  EXPECT_TRUE(WaitFor(found)) << "the panel did not appear";
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  int status = 0;
  EXPECT_EQ(::waitpid(pid, &status, WNOHANG), 0) << "the panel ended by itself";
  ::kill(pid, SIGQUIT);
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_NE(navelo.Settings().find("VERSION=1.2"), std::string::npos);
}

// A stop request whose save fails shows why; the program then ends once the message is answered,
// or when the request comes again: it never waits for ever.
TEST_F(PanelOnX11, AStopRequestNeverHangsOnASaveFailureMessage) {
  for (bool answer : {true, false}) {
    SCOPED_TRACE(answer ? "message answered" : "request repeated");
    NaveloProcess navelo(NAVELO_EXE, "[General]\r\nZenmen=2\r\n");
    navelo.Start();
    ASSERT_TRUE(WaitFor([&] { return navelo.FindPanel(desktop).has_value(); }));
    // The file becomes something that must not be written over: the save fails.
    const fs::path file = navelo.folder() / "Navelo.INI";
    fs::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    ::kill(navelo.pid(), SIGTERM);
    std::optional<Window> message;
    auto messageShown = [&] {
      for (Window w : desktop.ClientWindows()) {
        if (desktop.Pid(w) == navelo.pid() && w != *navelo.FindPanel(desktop)) message = w;
      }
      return message.has_value();
    };
    ASSERT_TRUE(WaitFor(messageShown)) << "no message about the failed save";
    EXPECT_FALSE(navelo.WaitExit(std::chrono::milliseconds(300))) << "ended before the message";
    if (answer) {
      desktop.Activate(*message);
      ASSERT_TRUE(WaitFor([&] { return desktop.ActiveWindow() == *message; }));
      Display* x = desktop.display();
      const KeyCode enter = XKeysymToKeycode(x, XK_Return);
      XTestFakeKeyEvent(x, enter, True, CurrentTime);
      XTestFakeKeyEvent(x, enter, False, CurrentTime);
      XFlush(x);
    } else {
      ::kill(navelo.pid(), SIGTERM);
    }
    EXPECT_TRUE(Exited(navelo.WaitExit(std::chrono::seconds(5)), 0));
    EXPECT_TRUE(fs::is_fifo(file));
  }
}

// When the X server goes away, the settings are saved before the process ends.
TEST_F(PanelOnX11, TheDisplayGoingAwaySavesFirst) {
  int number = 150 + ::getpid() % 300;
  while (fs::exists("/tmp/.X" + std::to_string(number) + "-lock")) ++number;
  const std::string display = ":" + std::to_string(number);
  Child xvfb({"Xvfb", display, "-screen", "0", "800x600x24", "-nolisten", "tcp"}, "/dev/null");
  xvfb.Start();
  Display* x = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (x = XOpenDisplay(display.c_str())) != nullptr; }))
      << "Xvfb did not start";
  NaveloProcess navelo(NAVELO_EXE, "[General]\r\nZenmen=2\r\n");
  const std::string previous = std::getenv("DISPLAY");
  ::setenv("DISPLAY", display.c_str(), 1);
  // The toolkit ends the process with exit() from inside its event loop, where everything is
  // still allocated: no leak to report in the sanitizer build.
  const char* asan = std::getenv("ASAN_OPTIONS");
  const std::string asanBefore = asan ? asan : "";
  ::setenv("ASAN_OPTIONS", (asanBefore + ":detect_leaks=0").c_str(), 1);
  navelo.Start();
  ::setenv("ASAN_OPTIONS", asanBefore.c_str(), 1);
  ::setenv("DISPLAY", previous.c_str(), 1);
  // No window manager there: the panel is a mapped child of the root window.
  auto mapped = [&] {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int n = 0;
    XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &n);
    bool seen = false;
    for (unsigned int i = 0; i < n && !seen; ++i) {
      char* name = nullptr;
      XWindowAttributes attrs;
      if (XFetchName(x, children[i], &name) && name) {
        seen = std::string(name) == "Navelo" && XGetWindowAttributes(x, children[i], &attrs) &&
               attrs.map_state == IsViewable;
        XFree(name);
      }
    }
    if (children) XFree(children);
    return seen;
  };
  ASSERT_TRUE(WaitFor(mapped)) << "the panel did not appear";
  XCloseDisplay(x);
  xvfb.Stop(SIGKILL);
  const auto status = navelo.WaitExit(std::chrono::seconds(10));
  ASSERT_TRUE(status) << "the panel did not end with its display";
  EXPECT_NE(navelo.Settings().find("VERSION=1.2"), std::string::npos) << navelo.Settings();
  EXPECT_NE(navelo.Settings().find("Zenmen=2"), std::string::npos);
}

// An installed copy, run by an ordinary user who may not write its folder, reads the settings
// beside it the first time and saves to the user's own folder (0700, file 0600), leaving the
// program's copy as it was.
TEST_F(PanelOnX11, AnInstalledCopySavesToTheUsersFolder) {
  const bool root = ::geteuid() == 0;
  if (root && ::access("/usr/bin/setpriv", X_OK) != 0) GTEST_SKIP() << "no setpriv";
  const std::vector<std::string> asNobody = {"setpriv", "--reuid=65534", "--regid=65534",
                                             "--clear-groups", "--"};
  const std::string settings = "[General]\r\nZenmen=2\r\n";
  NaveloProcess navelo(NAVELO_EXE, settings, root ? asNobody : std::vector<std::string>{});
  const fs::path home = navelo.folder() / "home";
  fs::create_directory(home);
  if (root) {
    ASSERT_EQ(::chown(home.c_str(), 65534, 65534), 0);
  }
  fs::permissions(navelo.folder() / "Navelo.INI", fs::perms::owner_read | fs::perms::owner_write |
                                                      fs::perms::group_read |
                                                      fs::perms::others_read);
  fs::permissions(navelo.folder(), fs::perms::owner_all | fs::perms::group_read |
                                       fs::perms::group_exec | fs::perms::others_read |
                                       fs::perms::others_exec);
  if (!root) fs::permissions(navelo.folder(), fs::perms::owner_write, fs::perm_options::remove);
  ::setenv("XDG_CONFIG_HOME", (home / "conf").c_str(), 1);
  navelo.Start();
  ::unsetenv("XDG_CONFIG_HOME");
  ASSERT_TRUE(WaitFor([&] { return navelo.FindPanel(desktop).has_value(); }));
  EXPECT_TRUE(Exited(navelo.Stop(SIGTERM), 0));
  if (!root) fs::permissions(navelo.folder(), fs::perms::owner_write, fs::perm_options::add);

  const fs::path saved = home / "conf" / "navelo" / "Navelo.INI";
  std::ifstream in(saved, std::ios::binary);
  const std::string text(std::istreambuf_iterator<char>(in), {});
  EXPECT_NE(text.find("Zenmen=2"), std::string::npos) << text;
  EXPECT_NE(text.find("VERSION=1.2"), std::string::npos) << text;
  EXPECT_EQ(fs::status(saved).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(fs::status(saved.parent_path()).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_EQ(navelo.Settings(), settings);
}

TEST_F(PanelOnX11, OnAWaylandDesktopFirstSaysTheBrowserMustRunAsAnX11Window) {
  NaveloProcess navelo(NAVELO_EXE, "");
  // Only the program sees it; nothing here connects to Wayland.
  ::setenv("WAYLAND_DISPLAY", "wayland-test", 1);
  navelo.Start();
  ::unsetenv("WAYLAND_DISPLAY");

  // A message box comes first; the panel opens once it is closed with Enter.
  std::optional<Window> box;
  ASSERT_TRUE(WaitFor([&] { return (box = navelo.FindPanel(desktop)).has_value(); }));
  EXPECT_TRUE(HasAtom(desktop, *box, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG"));
  ASSERT_TRUE(WaitFor([&] { return desktop.ActiveWindow() == *box; }));
  desktop.PressKey(XK_Return);
  std::optional<Window> panel;
  ASSERT_TRUE(WaitFor([&] {
    panel = navelo.FindPanel(desktop);
    return panel && *panel != *box;
  }));
  EXPECT_FALSE(HasAtom(desktop, *panel, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG"));
  navelo.Stop(SIGTERM);
}

}  // namespace
}  // namespace navelo::testkit
