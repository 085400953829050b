// End to end in a real browser: Chromium shows an IPAT-like inquiry page and vote page, the real
// Navelo runs with prepared settings, and the test uses the panel as a user would: brings the
// page forward, clicks the shrunk panel's caption, keys an amount and clicks a send button. The
// pages log their fields' values to the browser's console, which goes to a log file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/x11/codec_cp932.h"
#include "x11_testkit.h"

namespace navelo::testkit {
namespace {

namespace fs = std::filesystem;

const char* kPageTemplate = R"(<!doctype html><html><head><meta charset="utf-8">
<title>TITLE</title></head><body>FIELDS
<script>
const f = [...document.querySelectorAll('input')];
function report() { console.log('FIELDS:' + JSON.stringify(f.map(x => x.value))); }
f.forEach(x => x.addEventListener('input', report));
// Coming back to the page after leaving it starts it afresh: empty, first field focused.
let left = false;
window.addEventListener('blur', () => { left = true; });
window.addEventListener('focus', () => {
  if (!left) return;
  left = false;
  f.forEach(x => x.value = '');
  f[0].focus();
});
</script></body></html>)";

std::string Page(const std::string& title, int fields) {
  std::string inputs = "<input autofocus>";
  for (int i = 1; i < fields; ++i) inputs += "<input>";
  std::string page = kPageTemplate;
  page.replace(page.find("TITLE"), 5, title);
  page.replace(page.find("FIELDS"), 6, inputs);
  return page;
}

std::string ReadFrom(const fs::path& file, std::size_t offset) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string all = text.str();
  return offset < all.size() ? all.substr(offset) : std::string();
}

std::optional<std::string> FindBrowser() {
  for (const char* candidate : {"/usr/bin/chromium", "/usr/bin/chromium-browser"}) {
    if (fs::exists(candidate)) return std::string(candidate);
  }
  return std::nullopt;
}

class BrowserEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!desktop.ok()) GTEST_SKIP() << "no X display (the test command provides one)";
    browser = FindBrowser();
    if (!browser) GTEST_SKIP() << "Chromium is not installed (the test command installs it)";
    dir = fs::temp_directory_path() / ("navelo-e2e-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "shoukai.html") << Page("IPAT照会ログイン", 3);
    std::ofstream(dir / "touhyou.html") << Page("IPAT合計金額入力", 4);
    log = dir / "browser.log";
  }
  void TearDown() override {
    chromium.reset();
    if (!dir.empty()) fs::remove_all(dir);
  }

  std::unique_ptr<Child> StartBrowser(const std::string& page, int x) {
    auto child = std::make_unique<Child>(
        std::vector<std::string>{*browser, "--no-sandbox", "--disable-gpu", "--no-first-run",
                                 "--disable-background-networking", "--disable-component-update",
                                 "--disable-sync", "--password-store=basic",
                                 "--user-data-dir=" + (dir / "profile").string(),
                                 "--enable-logging=stderr", "--window-size=400,300",
                                 "--window-position=" + std::to_string(x) + ",100",
                                 "--app=file://" + (dir / page).string()},
        log.string());
    child->Start();
    return child;
  }

  std::optional<Window> WindowTitled(const std::string& title) {
    std::optional<Window> found;
    WaitFor(
        [&] {
          for (Window w : desktop.ClientWindows()) {
            if (desktop.Title(w) == title) {
              found = w;
              return true;
            }
          }
          return false;
        },
        std::chrono::seconds(30));
    return found;
  }

  // Where a control of the panel is on the screen, from its place in the client area in pixels.
  std::pair<int, int> PanelPoint(Window panel, int x, int y) {
    auto origin = desktop.ClientOrigin(panel).value();
    // The client area lies below the menu bar, at the bottom of the window.
    const int clientTop = fullHeight - 241;
    return {origin.first + x, origin.second + clientTop + y};
  }

  void ClickPanel(Window panel, int x, int y) {
    auto [px, py] = PanelPoint(panel, x, y);
    desktop.Click(px, py);
  }

  // With the panel in front, brings the page forward and waits for the panel to shrink (so the
  // panel has seen the page), then clicks the panel's caption and waits for it to return to full
  // height.
  void FocusPageThenPanel(Window page, Window panel) {
    desktop.Activate(panel);
    ASSERT_TRUE(WaitFor([&] {
      return desktop.ActiveWindow() == panel && desktop.ClientSize(panel)->second == fullHeight;
    }));
    desktop.Activate(page);
    ASSERT_TRUE(WaitFor([&] { return desktop.ActiveWindow() == page; }));
    ASSERT_TRUE(WaitFor([&] { return desktop.ClientSize(panel)->second < 10; }))
        << "the panel did not shrink";
    auto origin = desktop.ClientOrigin(panel).value();
    desktop.Click(origin.first + 25, origin.second - 10);  // the caption's title area
    ASSERT_TRUE(WaitFor([&] { return desktop.ClientSize(panel)->second == fullHeight; }))
        << "the panel did not return to full height";
    // A person needs a moment to aim at a button; the panel has redrawn by then.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }

  // Waits for the page to report exactly these values after `offset` in the log.
  bool PageShows(std::size_t offset, const std::string& json) {
    return WaitFor(
        [&] { return ReadFrom(log, offset).find("FIELDS:" + json) != std::string::npos; },
        std::chrono::seconds(5));
  }

  Desktop desktop;
  std::optional<std::string> browser;
  fs::path dir;
  fs::path log;
  std::unique_ptr<Child> chromium;
  int fullHeight = 0;
};

TEST_F(BrowserEndToEnd, InquiryAndVoteFillEveryFieldOfTheRealPages) {
  // Plain identifiers (a file of the oldest version), with symbols and Japanese in them.
  platform::x11::Cp932Codec codec;
  const std::string settings =
      "[General]\r\nZenmen=1\r\nFormLeft=0\r\nFormTop=0\r\n[Data]\r\nPatID=12345678\r\n"
      "Password=p+^%~(){}[]n\r\nPars=" +
      codec.ToAnsi(u"43競馬21") + "\r\n";
  NaveloProcess navelo(NAVELO_EXE, settings);

  chromium = StartBrowser("shoukai.html", 300);
  auto inquiry = WindowTitled("IPAT照会ログイン");
  ASSERT_TRUE(inquiry) << ReadFrom(log, 0);
  auto secondWindow = StartBrowser("touhyou.html", 750);  // joins the running browser
  auto vote = WindowTitled("IPAT合計金額入力");
  ASSERT_TRUE(vote);

  navelo.Start();
  std::optional<Window> panel;
  ASSERT_TRUE(WaitFor([&] { return (panel = navelo.FindPanel(desktop)).has_value(); }));
  ASSERT_TRUE(WaitFor([&] { return desktop.ClientSize(*panel)->second > 241; }));
  fullHeight = desktop.ClientSize(*panel)->second;

  const int runs = std::getenv("NAVELO_E2E_RUNS") ? std::atoi(std::getenv("NAVELO_E2E_RUNS")) : 3;
  for (int run = 0; run < runs; ++run) {
    FocusPageThenPanel(*inquiry, *panel);
    std::size_t offset = fs::file_size(log);
    ClickPanel(*panel, 41, 177);  // 照会
    EXPECT_TRUE(PageShows(offset, R"(["12345678","p+^%~(){}[]n","43競馬21"])"))
        << "run " << run << ":\n"
        << ReadFrom(log, offset);

    FocusPageThenPanel(*vote, *panel);
    ClickPanel(*panel, 64, 62);  // ３

    ClickPanel(*panel, 16, 86);  // 0
    offset = fs::file_size(log);
    ClickPanel(*panel, 41, 153);  // 投票
    EXPECT_TRUE(PageShows(offset, R"(["12345678","p+^%~(){}[]n","43競馬21","3000"])"))
        << "run " << run << ":\n"
        << ReadFrom(log, offset);
  }
  navelo.Stop(SIGTERM);
}

}  // namespace
}  // namespace navelo::testkit
