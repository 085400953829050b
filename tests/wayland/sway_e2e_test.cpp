// End to end on a wlroots compositor (sway): Chromium as a native Wayland program shows IPAT-like
// pages, the real Navelo runs as the program does there (its own windows through XWayland), and
// the test uses the panel as a user would, with a pointer and a keyboard of its own in the seat.
#include <gtest/gtest.h>

#include <thread>

#include "base/utf8.h"
#include "platform/posix/codec_cp932.h"
#include "wayland_testkit.h"
#include "x11_testkit.h"

namespace navelo::testkit {
namespace {

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;

// The panel, clicked through the compositor: its caption (the compositor's title bar above the
// window) and points of its client area.
class SwayPanel {
 public:
  SwayPanel(WaylandUser& user, Desktop& x, Window panel) : user_(user), x_(x), panel_(panel) {}
  bool Expanded() { return x_.ClientSize(panel_)->second > 241; }
  // Brings the page forward and waits until the panel has seen it, then clicks the panel's title
  // bar and waits until it is at full height again. The panel is first brought forward itself,
  // so its shrinking afterwards comes from this page; and the page stays in front for a whole
  // safety tick, so the panel has looked at it even if the compositor's report came late.
  ::testing::AssertionResult FocusPageThenPanel(platform::WindowHandle page) {
    if (!ClickTitleBar()) {
      return ::testing::AssertionFailure() << "the panel did not come to full height" << State();
    }
    if (!user_.Activate(page)) {
      return ::testing::AssertionFailure() << "the page did not come forward" << State();
    }
    if (!WaitFor([&] { return !Expanded(); })) {
      return ::testing::AssertionFailure() << "the panel did not shrink" << State();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    if (!ClickTitleBar()) {
      return ::testing::AssertionFailure()
             << "the panel did not come back to full height" << State();
    }
    return ::testing::AssertionSuccess();
  }
  // A point of the client area, below the menu bar at the top of the window.
  void Click(int x, int y) {
    const auto origin = x_.ClientOrigin(panel_);
    const int clientTop = x_.ClientSize(panel_)->second - 241;
    user_.Click(origin->first + x, origin->second + clientTop + y);
  }
  // What the compositor has in front and where the panel is, for a failure's message.
  std::string State() {
    const auto size = x_.ClientSize(panel_).value_or(std::pair{0, 0});
    const auto origin = x_.ClientOrigin(panel_).value_or(std::pair{0, 0});
    return "; in front: \"" + ToUtf8(user_.ActiveTitle()) + "\", panel " +
           std::to_string(size.first) + "x" + std::to_string(size.second) + " at " +
           std::to_string(origin.first) + "," + std::to_string(origin.second);
  }
  // Clicks the title bar until the panel is at full height. A click the compositor took for
  // something else (the window still moving: sway centres a floating window it resizes) is made
  // again.
  bool ClickTitleBar() {
    for (int attempt = 0; attempt < 5; ++attempt) {
      const auto [left, top] = x_.ClientOrigin(panel_).value_or(std::pair{0, 0});
      user_.Click(left + 40, top - 12);
      if (WaitFor([&] { return Expanded(); }, std::chrono::seconds(3))) return true;
    }
    return false;
  }

 private:
  WaylandUser& user_;
  Desktop& x_;
  Window panel_;
};

TEST(SwayEndToEnd, SendsFillTheRealPagesExactlyAndAPageThatChangedGetsNothing) {
  WaylandUser user(kScreenWidth, kScreenHeight);
  if (!user.ok()) GTEST_SKIP() << "no wlroots compositor (scripts/with-sway.sh provides one)";
  if (!BrowserPages::FindBrowser()) GTEST_SKIP() << "Chromium is not installed";
  Desktop x;
  if (!x.ok()) GTEST_SKIP() << "no XWayland display";
  EXPECT_EQ(user.desktop().name(), "wlroots");

  platform::posix::Cp932Codec codec;
  const std::string settings =
      "[General]\r\nFormLeft=0\r\nFormTop=0\r\n[Data]\r\nNetID=" + codec.ToAnsi(u"競馬ＩＤｱｲ") +
      "\r\nPatID=12345678\r\n"
      "Password=p+^%~(){}[]n\r\nPars=" +
      codec.ToAnsi(u"43競馬21") + "\r\n";
  NaveloProcess navelo(NAVELO_EXE, settings);

  BrowserPages pages({"--ozone-platform=wayland"});
  pages.Open("shoukai.html", 0);
  auto inquiry = user.WindowTitled(u"IPAT照会ログイン");
  ASSERT_TRUE(inquiry) << pages.LogFrom(0);
  pages.Open("touhyou.html", 0);
  auto vote = user.WindowTitled(u"IPAT合計金額入力");
  ASSERT_TRUE(vote) << pages.LogFrom(0);

  navelo.Start();
  std::optional<Window> panelWindow;
  ASSERT_TRUE(WaitFor([&] { return (panelWindow = navelo.FindPanel(x)).has_value(); }));
  SwayPanel panel(user, x, *panelWindow);

  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    ASSERT_TRUE(panel.FocusPageThenPanel(*inquiry));
    std::size_t offset = pages.LogSize();
    panel.Click(41, 177);  // 照会
    EXPECT_TRUE(pages.Shows(offset, R"(["12345678","p+^%~(){}[]n","43競馬21"])"))
        << pages.LogFrom(offset);

    ASSERT_TRUE(panel.FocusPageThenPanel(*vote));
    panel.Click(64, 62);  // ３
    panel.Click(16, 86);  // 0
    offset = pages.LogSize();
    panel.Click(41, 153);  // 投票: the amount from the keypad
    EXPECT_TRUE(pages.Shows(offset, R"(["12345678","p+^%~(){}[]n","43競馬21","3000"])"))
        << pages.LogFrom(offset);
  }

  // ログイン types the INET-ID, Japanese included, into the page last in front.
  ASSERT_TRUE(panel.FocusPageThenPanel(*inquiry));
  std::size_t offset = pages.LogSize();
  panel.Click(41, 201);  // ログイン
  EXPECT_TRUE(pages.Shows(offset, R"(["競馬ＩＤｱｲ","",""])")) << pages.LogFrom(offset);

  // A page that shows another page by the time of the send gets nothing. It is brought in front
  // of the panel, which takes it as the inquiry page (the panel shrinks, and a safety tick passes
  // with its first title); once left after that, it renames itself.
  ASSERT_TRUE(panel.ClickTitleBar());
  pages.Open("shoukai2.html#rename=%E5%88%A5%E3%81%AE%E3%83%9A%E3%83%BC%E3%82%B8",
             0);  // 別のページ
  const auto changing = user.WindowTitled(u"IPAT照会ログイン", inquiry);
  ASSERT_TRUE(changing);
  ASSERT_TRUE(user.Activate(*changing));
  ASSERT_TRUE(WaitFor([&] { return !panel.Expanded(); })) << panel.State();
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));
  ASSERT_TRUE(panel.FocusPageThenPanel(*vote));
  ASSERT_TRUE(user.WindowTitled(u"別のページ"));
  ASSERT_TRUE(panel.FocusPageThenPanel(*changing));
  offset = pages.LogSize();
  panel.Click(41, 177);  // 照会
  EXPECT_FALSE(pages.Shows(offset, R"(["12345678","",""])", std::chrono::milliseconds(1500)));
  EXPECT_EQ(pages.LogFrom(offset).find("FIELDS:"), std::string::npos) << pages.LogFrom(offset);

  // Started again with the same settings, Navelo brings the running panel forward and ends.
  ASSERT_TRUE(user.Activate(*inquiry));
  Child again({(navelo.folder() / "navelo").string()});
  again.Start();
  EXPECT_TRUE(again.WaitExit(std::chrono::seconds(10)).has_value());
  EXPECT_TRUE(WaitFor([&] { return user.ActiveTitle() == u"Navelo"; }));
  navelo.Stop(SIGTERM);
}

}  // namespace
}  // namespace navelo::testkit
