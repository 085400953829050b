// Measures, on one desktop, how fast and how reliably the real panel fills a real browser page,
// next to `xdotool type` at its default delay, and what the idle panel costs:
//   bench_delivery [RUNS]
// Prints median and p95 time from the click to the last field filled, correct deliveries out of
// RUNS for ASCII, symbols and Japanese, idle CPU and wake-ups over 60 s, start-up time and peak
// RSS.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/posix/codec_cp932.h"
#include "x11_testkit.h"

using namespace navelo::testkit;
using Clock = std::chrono::system_clock;

namespace {

const std::string kAscii = "Ab12345678";
const std::string kSymbols = "p+^%~(){}[]!#$&*";
const std::string kJapanese = "競馬ＩＰＡＴｱｲｳ";

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
  return values[std::min(index, values.size() - 1)];
}

// The fields of the last report after `offset`.
std::vector<std::string> LastFields(const BrowserPages& pages, std::size_t offset) {
  const std::string log = pages.LogFrom(offset);
  const auto at = log.rfind("FIELDS:[");
  std::vector<std::string> fields;
  if (at == std::string::npos) return fields;
  std::size_t i = at + 8;
  while (i < log.size() && log[i] == '"') {
    std::string value;
    for (++i; i < log.size() && log[i] != '"'; ++i) {
      if (log[i] == '\\' && i + 1 < log.size()) ++i;
      value.push_back(log[i]);
    }
    fields.push_back(value);
    i += 2;  // closing quote and comma or bracket
  }
  return fields;
}

struct Tally {
  std::vector<double> latencyMs;
  int ascii = 0, symbols = 0, japanese = 0, complete = 0;
};

void Score(Tally& tally, const BrowserPages& pages, std::size_t offset, const std::string& json,
           Clock::time_point start) {
  const bool whole = pages.Shows(offset, json, std::chrono::seconds(4));
  if (whole) {
    ++tally.complete;
    if (auto at = pages.ShownAt(offset, json)) {
      tally.latencyMs.push_back(std::chrono::duration<double, std::milli>(*at - start).count());
    }
  }
  auto fields = LastFields(pages, offset);
  fields.resize(3);
  tally.ascii += fields[0] == kAscii;
  tally.symbols += fields[1] == kSymbols;
  tally.japanese += fields[2] == kJapanese;
}

// Time on the CPU (ns) and voluntary context switches (each a wake-up after a sleep), summed over
// the process's threads.
struct Usage {
  double cpuNs = 0;
  long wakeUps = 0;
};

Usage ReadUsage(pid_t pid) {
  Usage usage;
  const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
  std::error_code error;
  for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
    std::ifstream schedstat(task.path() / "schedstat");
    double ns = 0;
    if (schedstat >> ns) usage.cpuNs += ns;
    std::ifstream status(task.path() / "status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("voluntary_ctxt_switches:", 0) == 0)
        usage.wakeUps += std::stol(line.substr(24));
    }
  }
  return usage;
}

long PeakRssKb(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

void Report(const char* name, const Tally& t, int runs) {
  std::printf(
      "%-26s median %7.1f ms  p95 %7.1f ms  complete %3d/%d  ascii %3d/%d  symbols %3d/%d"
      "  japanese %3d/%d\n",
      name, Percentile(t.latencyMs, 0.5), Percentile(t.latencyMs, 0.95), t.complete, runs, t.ascii,
      runs, t.symbols, runs, t.japanese, runs);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 50;
  Desktop desktop;
  if (!desktop.ok() || !BrowserPages::FindBrowser()) {
    std::fprintf(stderr, "needs an X display and Chromium\n");
    return 2;
  }
  navelo::platform::posix::Cp932Codec codec;
  auto ansi = [&](const std::string& utf8) {
    std::u16string wide;
    for (std::size_t i = 0; i < utf8.size();) {
      auto b = static_cast<unsigned char>(utf8[i]);
      int n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
      char32_t cp = n == 1 ? b : (b & (0xFF >> (n + 1)));
      for (int k = 1; k < n; ++k) cp = (cp << 6) | (utf8[i + k] & 0x3F);
      wide.push_back(static_cast<char16_t>(cp));
      i += n;
    }
    return codec.ToAnsi(wide);
  };
  const std::string settings = "[General]\r\nZenmen=1\r\n[Data]\r\nPatID=" + ansi(kAscii) +
                               "\r\nPassword=" + ansi(kSymbols) + "\r\nPars=" + ansi(kJapanese) +
                               "\r\n";
  const std::string json = "[\"" + kAscii + "\",\"" + kSymbols + "\",\"" + kJapanese + "\"]";

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
    Score(navel, pages, offset, json, clicked);
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
    Score(xdotool, pages, offset, json, start);
  }

  // The idle panel: nothing happens for 60 s but its 100 ms tick.
  desktop.Activate(*panel);
  std::this_thread::sleep_for(std::chrono::seconds(1));
  constexpr int kIdleSeconds = 60;
  const Usage before = ReadUsage(navelo.pid());
  std::this_thread::sleep_for(std::chrono::seconds(kIdleSeconds));
  const Usage after = ReadUsage(navelo.pid());
  const double idleCpu = 100.0 * (after.cpuNs - before.cpuNs) / 1e9 / kIdleSeconds;
  const double wakeUps = static_cast<double>(after.wakeUps - before.wakeUps) / kIdleSeconds;
  const long rss = PeakRssKb(navelo.pid());
  navelo.Stop(SIGTERM);

  std::printf("Delivery into Chromium, %d runs each (click or command start to last field):\n",
              runs);
  Report("navelo (click 照会)", navel, runs);
  Report("xdotool type (12 ms/key)", xdotool, runs);
  std::printf("idle panel over %d s: CPU %.3f %% of one core, %.1f wake-ups per second\n",
              kIdleSeconds, idleCpu, wakeUps);
  std::printf("start to panel mapped: median %.0f ms (5 starts)\n", Percentile(startup, 0.5));
  std::printf("peak RSS of the panel: %.1f MiB\n", static_cast<double>(rss) / 1024.0);
  return 0;
}
