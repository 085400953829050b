// Measures, on one desktop, how fast and how reliably the real panel fills a real browser page,
// next to `xdotool type` at its default delay, and what the idle panel costs:
//   bench_delivery [RUNS]
// Prints median and p95 time from the click to the last field filled, correct deliveries out of
// RUNS for ASCII, symbols and Japanese, idle CPU and wake-ups over 60 s, start-up time and peak
// RSS.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

#include "bench_kit.h"

using namespace navelo::testkit;

using namespace navelo::bench;

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 50;
  Desktop desktop;
  if (!desktop.ok() || !BrowserPages::FindBrowser()) {
    std::fprintf(stderr, "needs an X display and Chromium\n");
    return 2;
  }
  const std::string settings = Settings();

  // Start-up: from the start of the process to the panel being mapped.
  std::vector<double> startup;
  for (int i = 0; i < 5; ++i) {
    NaveloProcess navelo(NAVELO_EXE, settings);
    const auto t0 = std::chrono::steady_clock::now();
    navelo.Start();
    WaitFor([&] {
      auto panel = navelo.FindPanel(desktop);
      return panel && desktop.ClientSize(*panel)->second > 241;
    });
    startup.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    navelo.Stop(SIGTERM);
  }

  BrowserPages pages;
  pages.Open("shoukai.html", 300);
  auto inquiry = pages.WindowTitled(desktop, "IPAT照会ログイン");
  NaveloProcess navelo(NAVELO_EXE, settings);
  navelo.Start();
  std::optional<Window> panel;
  WaitFor([&] { return (panel = navelo.FindPanel(desktop)).has_value(); });
  WaitFor([&] { return desktop.ClientSize(*panel)->second > 241; });
  if (!inquiry || !panel) {
    std::fprintf(stderr, "no browser or panel window\n");
    return 1;
  }
  PanelDriver driver(desktop, *panel, desktop.ClientSize(*panel)->second);

  Tally navel, xdotool;
  for (int run = 0; run < runs; ++run) {
    driver.FocusPageThenPanel(*inquiry);
    const std::size_t offset = pages.LogSize();
    const auto clicked = driver.Click(41, 177);  // 照会
    Score(navel, pages, offset, clicked);
  }
  const std::string text = kAscii + "\t" + kSymbols + "\t" + kJapanese;
  for (int run = 0; run < runs; ++run) {
    driver.FocusPageThenPanel(*inquiry);  // leaves the page and comes back: it starts afresh
    desktop.Activate(*inquiry);
    WaitFor([&] { return desktop.ActiveWindow() == *inquiry; });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const std::size_t offset = pages.LogSize();
    const auto start = Clock::now();
    const std::string command = "xdotool type -- '" + text + "'";
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "xdotool failed\n");
    Score(xdotool, pages, offset, start);
  }

  std::printf("Delivery into Chromium, %d runs each (click or command start to last field):\n",
              runs);
  Report("navelo (click 照会)", navel, runs);
  Report("xdotool type (12 ms/key)", xdotool, runs);
  // The idle panel: nothing happens for 60 s.
  desktop.Activate(*panel);
  std::this_thread::sleep_for(std::chrono::seconds(1));
  ReportIdle(navelo.pid(), 60);
  const long rss = PeakRssKb(navelo.pid());
  navelo.Stop(SIGTERM);
  std::printf("start to panel mapped: median %.0f ms (5 starts)\n", Percentile(startup, 0.5));
  std::printf("peak RSS of the panel: %.1f MiB\n", static_cast<double>(rss) / 1024.0);
  return 0;
}
