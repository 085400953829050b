#pragma once

// What the delivery benchmarks share: the fields typed, how a delivery is scored, and what a
// running panel costs.
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

#include "x11_testkit.h"

namespace navelo::bench {

using Clock = std::chrono::system_clock;

inline const std::string kAscii = "Ab12345678";
inline const std::string kSymbols = "p+^%~(){}[]!#$&*";
inline const std::string kJapanese = "競馬ＩＰＡＴｱｲｳ";

// The settings file with these fields as the inquiry's, and the page's report of them typed.
std::string Settings();
std::string Json();

double Percentile(std::vector<double> values, double p);

struct Tally {
  std::vector<double> latencyMs;
  int ascii = 0, symbols = 0, japanese = 0, complete = 0;
};
// Scores one delivery that began at `start`: whole or not, how long until the last field, and
// which fields came exactly.
void Score(Tally& tally, const testkit::BrowserPages& pages, std::size_t offset,
           Clock::time_point start);
void Report(const char* name, const Tally& tally, int runs);

// Time on the CPU (ns) and voluntary context switches (each a wake-up after a sleep), summed over
// the process's threads.
struct Usage {
  double cpuNs = 0;
  long wakeUps = 0;
};
Usage ReadUsage(pid_t pid);
long PeakRssKb(pid_t pid);
// Watches the process idle for `seconds` and prints its CPU use and wake-ups.
void ReportIdle(pid_t pid, int seconds);

}  // namespace navelo::bench
