#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>

#include "x11_testkit.h"

namespace navelo::testkit {
namespace {

bool HasState(Desktop& desktop, Window w, const std::string& state) {
  auto states = desktop.States(w);
  return std::find(states.begin(), states.end(), state) != states.end();
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

}  // namespace
}  // namespace navelo::testkit
