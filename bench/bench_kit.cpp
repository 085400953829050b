#include "bench_kit.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "base/utf8.h"
#include "platform/posix/codec_cp932.h"

namespace navelo::bench {
namespace {

// The fields of the last report after `offset`.
std::vector<std::string> LastFields(const testkit::BrowserPages& pages, std::size_t offset) {
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

}  // namespace

std::string Settings() {
  platform::posix::Cp932Codec codec;
  auto ansi = [&](const std::string& utf8) { return codec.ToAnsi(FromUtf8(utf8)); };
  return "[General]\r\nZenmen=1\r\n[Data]\r\nPatID=" + ansi(kAscii) +
         "\r\nPassword=" + ansi(kSymbols) + "\r\nPars=" + ansi(kJapanese) + "\r\n";
}

std::string Json() {
  return "[\"" + kAscii + "\",\"" + kSymbols + "\",\"" + kJapanese + "\"]";
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
  return values[std::min(index, values.size() - 1)];
}

void Score(Tally& tally, const testkit::BrowserPages& pages, std::size_t offset,
           Clock::time_point start) {
  const bool whole = pages.Shows(offset, Json(), std::chrono::seconds(4));
  if (whole) {
    ++tally.complete;
    if (auto at = pages.ShownAt(offset, Json())) {
      tally.latencyMs.push_back(std::chrono::duration<double, std::milli>(*at - start).count());
    }
  }
  auto fields = LastFields(pages, offset);
  fields.resize(3);
  tally.ascii += fields[0] == kAscii;
  tally.symbols += fields[1] == kSymbols;
  tally.japanese += fields[2] == kJapanese;
}

void Report(const char* name, const Tally& t, int runs) {
  std::printf(
      "%-26s median %7.1f ms  p95 %7.1f ms  complete %3d/%d  ascii %3d/%d  symbols %3d/%d"
      "  japanese %3d/%d\n",
      name, Percentile(t.latencyMs, 0.5), Percentile(t.latencyMs, 0.95), t.complete, runs, t.ascii,
      runs, t.symbols, runs, t.japanese, runs);
}

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

void ReportIdle(pid_t pid, int seconds) {
  const Usage before = ReadUsage(pid);
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const Usage after = ReadUsage(pid);
  std::printf("idle panel over %d s: CPU %.3f %% of one core, %.1f wake-ups per second\n", seconds,
              100.0 * (after.cpuNs - before.cpuNs) / 1e9 / seconds,
              static_cast<double>(after.wakeUps - before.wakeUps) / seconds);
}

}  // namespace navelo::bench
