// The delivery benchmark on a wlroots compositor (run under scripts/with-sway.sh): the real panel
// fills a native Wayland Chromium page; prints median and p95 time from the click to the last
// field, correct deliveries out of RUNS for ASCII, symbols and Japanese, and the idle panel's cost.
//   bench_sway [RUNS]
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

#include "bench_kit.h"
#include "wayland_testkit.h"

using namespace navelo::bench;
using namespace navelo::testkit;

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 30;
  WaylandUser user(1280, 1024);
  Desktop x;
  if (!user.ok() || !x.ok() || !BrowserPages::FindBrowser()) {
    std::fprintf(stderr, "needs a wlroots compositor with XWayland, and Chromium\n");
    return 2;
  }
  BrowserPages pages({"--ozone-platform=wayland"});
  pages.Open("shoukai.html", 0);
  const auto inquiry = user.WindowTitled(u"IPAT照会ログイン");
  NaveloProcess navelo(NAVELO_EXE, Settings());
  navelo.Start();
  std::optional<Window> panel;
  WaitFor([&] { return (panel = navelo.FindPanel(x)).has_value(); });
  auto expanded = [&] { return x.ClientSize(*panel)->second > 241; };
  if (!inquiry || !panel || !WaitFor(expanded)) {
    std::fprintf(stderr, "no browser or panel window\n");
    return 1;
  }
  Tally tally;
  for (int run = 0; run < runs; ++run) {
    // The page in front, then the panel's title bar, as a user clicks them.
    user.Activate(*inquiry);
    WaitFor([&] { return !expanded(); });
    const auto [left, top] = x.ClientOrigin(*panel).value_or(std::pair{0, 0});
    user.Click(left + 40, top - 12);
    WaitFor(expanded);
    const auto [clientLeft, windowTop] = x.ClientOrigin(*panel).value_or(std::pair{0, 0});
    const int clientTop = windowTop + x.ClientSize(*panel).value_or(std::pair{0, 0}).second - 241;
    const std::size_t offset = pages.LogSize();
    const auto clicked = Clock::now();
    user.Click(clientLeft + 41, clientTop + 177);
    Score(tally, pages, offset, clicked);
  }
  std::printf("Delivery into Chromium (Wayland) on sway, %d runs (click to last field):\n", runs);
  Report("navelo (click 照会)", tally, runs);
  std::this_thread::sleep_for(std::chrono::seconds(1));
  ReportIdle(navelo.pid(), 60);
  navelo.Stop(SIGTERM);
  return 0;
}
