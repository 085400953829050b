// The KDE Plasma desktop's services on a real KWin (scripts/with-kwin.sh): titles, activation,
// typing through the user's layout, and the refusal of a text the layout cannot type; and that
// KWin grants them only to a program an installed launcher asks them for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "base/utf8.h"
#include "platform/kde/kde_desktop.h"
#include "x11_testkit.h"

namespace navelo::testkit {
namespace {

platform::DesktopSession Session() {
  platform::DesktopSession session;
  const char* socket = std::getenv("WAYLAND_DISPLAY");
  if (socket) session.waylandDisplay = socket;
  return session;
}

bool OnKwin() {
  const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
  return std::getenv("WAYLAND_DISPLAY") && desktop && std::string(desktop) == "KDE";
}

TEST(KdeDesktop, FollowsActivatesAndTypesThroughTheLayoutOrRefusesTheWholeText) {
  if (!OnKwin()) GTEST_SKIP() << "no KWin (scripts/with-kwin.sh provides one)";
  const char* grant = std::getenv("NAVELO_KWIN_GRANT");
  if (grant != nullptr) GTEST_SKIP() << "run for the grant only";
  // XWayland: where the test's windows are, clicked to the front as a user would, and where
  // Navelo's own windows are, as its toolkit draws them.
  Desktop x;
  ASSERT_TRUE(x.ok());
  platform::DesktopSession session = Session();
  session.toolkitConnection = x.display();
  auto kde = platform::kde::MakeDesktop(session);
  ASSERT_NE(kde, nullptr);
  EXPECT_EQ(kde->name(), "kde");
  EXPECT_FALSE(kde->capabilities().typesAnyCharacter);

  TypingTarget first(TYPING_TARGET, "Navelo KWin A", 2);
  TypingTarget second(TYPING_TARGET, "Navelo KWin B", 1);
  auto firstWindow = first.WaitForWindow(x);
  auto secondWindow = second.WaitForWindow(x);
  ASSERT_TRUE(firstWindow && secondWindow);
  // The front window and its title, as KWin reports them.
  auto handleOf = [&](Window w, const std::u16string& title) -> platform::WindowHandle {
    x.Activate(w);
    platform::WindowHandle handle = 0;
    WaitFor([&] {
      const platform::WindowInfo front = kde->foreground().Foreground();
      if (front.title == title) handle = front.handle;
      return handle != 0;
    });
    return handle;
  };
  const auto a = handleOf(*firstWindow, u"Navelo KWin A");
  const auto b = handleOf(*secondWindow, u"Navelo KWin B");
  ASSERT_NE(a, 0u);
  ASSERT_NE(b, 0u);
  EXPECT_EQ(kde->windows().Title(a), u"Navelo KWin A");

  // Activation, then ASCII and symbols through the layout, Tab to the next field.
  ASSERT_TRUE(kde->windows().Activate(a));
  ASSERT_TRUE(WaitFor([&] { return kde->windows().ActiveWindow() == a && first.Active(); }));
  auto& windows = kde->windows();
  ASSERT_EQ(windows.PrepareTyping(u"Ab1+^%~(){}[]!\tq-z").result,
            platform::WindowSystem::Typing::Result::kReady);
  EXPECT_TRUE(windows.TypePrepared([&] { return windows.ActiveWindow() == a; }));
  EXPECT_TRUE(WaitFor([&] {
    return first.Fields() == std::vector<std::string>{"Ab1+^%~(){}[]!", "q-z"};
  }));

  // A character the layout lacks: the whole text is refused, naming it, and nothing is typed.
  const auto refused = windows.PrepareTyping(u"ab競馬");
  EXPECT_EQ(refused.result, platform::WindowSystem::Typing::Result::kLayoutCannotType);
  EXPECT_EQ(refused.missing, U'競');
  EXPECT_TRUE(windows.TypePrepared([] { return true; }));
  EXPECT_EQ(first.Fields(), (std::vector<std::string>{"Ab1+^%~(){}[]!", "q-z"}));

  // Navelo's own windows are X11 windows there, which KWin keeps above the others when asked.
  kde->KeepAbove(*firstWindow, true);
  EXPECT_TRUE(WaitFor([&] {
    const auto states = x.States(*firstWindow);
    return std::find(states.begin(), states.end(), "_NET_WM_STATE_ABOVE") != states.end();
  }));

  // Another Navelo's window, by its process.
  EXPECT_TRUE(kde->BringForward(second.pid()));
  EXPECT_TRUE(WaitFor([&] { return kde->windows().ActiveWindow() == b; }));
}

TEST(KdeDesktop, KwinGrantsItsInterfacesOnlyToAProgramAnInstalledLauncherNames) {
  if (!OnKwin()) GTEST_SKIP() << "no KWin (scripts/with-kwin.sh provides one)";
  const char* grant = std::getenv("NAVELO_KWIN_GRANT");
  if (grant == nullptr) GTEST_SKIP() << "run with --grant or --refuse";
  EXPECT_EQ(platform::kde::MakeDesktop(Session()) != nullptr, std::string(grant) == "1");
}

}  // namespace
}  // namespace navelo::testkit
