#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>

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
