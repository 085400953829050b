// End to end in a real browser: Chromium shows an IPAT-like inquiry page and vote page, the real
// Navelo runs with prepared settings, and the test uses the panel as a user would: brings the
// page forward, clicks the shrunk panel's caption, keys an amount and clicks a send button.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/posix/codec_cp932.h"
#include "x11_testkit.h"

namespace navelo::testkit {
namespace {

TEST(BrowserEndToEnd, InquiryAndVoteFillEveryFieldOfTheRealPages) {
  Desktop desktop;
  if (!desktop.ok()) GTEST_SKIP() << "no X display (the test command provides one)";
  if (!BrowserPages::FindBrowser()) GTEST_SKIP() << "Chromium is not installed";

  // Plain identifiers (a file of the oldest version), with symbols and Japanese in them.
  platform::posix::Cp932Codec codec;
  const std::string settings =
      "[General]\r\nZenmen=1\r\nFormLeft=0\r\nFormTop=0\r\n[Data]\r\nPatID=12345678\r\n"
      "Password=p+^%~(){}[]n\r\nPars=" +
      codec.ToAnsi(u"43競馬21") + "\r\n";
  NaveloProcess navelo(NAVELO_EXE, settings);

  BrowserPages pages;
  pages.Open("shoukai.html", 300);
  auto inquiry = pages.WindowTitled(desktop, "IPAT照会ログイン");
  ASSERT_TRUE(inquiry) << pages.LogFrom(0);
  pages.Open("touhyou.html", 750);  // joins the running browser
  auto vote = pages.WindowTitled(desktop, "IPAT合計金額入力");
  ASSERT_TRUE(vote);

  navelo.Start();
  std::optional<Window> panel;
  ASSERT_TRUE(WaitFor([&] { return (panel = navelo.FindPanel(desktop)).has_value(); }));
  ASSERT_TRUE(WaitFor([&] { return desktop.ClientSize(*panel)->second > 241; }));
  PanelDriver driver(desktop, *panel, desktop.ClientSize(*panel)->second);

  const int runs = std::getenv("NAVELO_E2E_RUNS") ? std::atoi(std::getenv("NAVELO_E2E_RUNS")) : 3;
  for (int run = 0; run < runs; ++run) {
    ASSERT_TRUE(driver.FocusPageThenPanel(*inquiry));
    std::size_t offset = pages.LogSize();
    driver.Click(41, 177);  // 照会
    EXPECT_TRUE(pages.Shows(offset, R"(["12345678","p+^%~(){}[]n","43競馬21"])"))
        << "run " << run << ":\n"
        << pages.LogFrom(offset);

    ASSERT_TRUE(driver.FocusPageThenPanel(*vote));
    driver.Click(64, 62);  // ３
    driver.Click(16, 86);  // 0
    offset = pages.LogSize();
    driver.Click(41, 153);  // 投票
    EXPECT_TRUE(pages.Shows(offset, R"(["12345678","p+^%~(){}[]n","43競馬21","3000"])"))
        << "run " << run << ":\n"
        << pages.LogFrom(offset);
  }
  navelo.Stop(SIGTERM);
}

}  // namespace
}  // namespace navelo::testkit
