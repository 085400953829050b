#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace navelo::testkit {

// A connection to the test desktop, with the EWMH look-ups the tests need.
class Desktop {
 public:
  Desktop();
  ~Desktop();
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  bool ok() const { return display_ != nullptr; }
  Display* display() const { return display_; }

  std::vector<Window> ClientWindows();
  std::string Title(Window w);
  std::optional<long> Pid(Window w);
  std::vector<std::string> States(Window w);
  // Top-left corner of the window's frame on the screen.
  std::optional<std::pair<int, int>> FramePosition(Window w);
  Window ActiveWindow();

 private:
  std::vector<unsigned long> CardinalList(Window w, const char* property, Atom type);
  Display* display_ = nullptr;
};

// Polls until `ready` holds or the time runs out.
bool WaitFor(const std::function<bool()>& ready,
             std::chrono::milliseconds timeout = std::chrono::seconds(10));

// The program copied into a fresh folder of its own, with a settings file, started and stopped.
class NaveloProcess {
 public:
  NaveloProcess(const std::string& executable, const std::string& settings);
  ~NaveloProcess();
  NaveloProcess(const NaveloProcess&) = delete;
  NaveloProcess& operator=(const NaveloProcess&) = delete;

  void Start();
  // Sends a signal and waits for the process to end; returns its wait status.
  int Stop(int signal);
  bool Running();
  pid_t pid() const { return pid_; }
  const std::filesystem::path& dir() const { return dir_; }
  std::string Settings() const;
  // The panel's top-level window, once mapped.
  std::optional<Window> FindPanel(Desktop& desktop);

 private:
  std::filesystem::path dir_;
  pid_t pid_ = -1;
};

}  // namespace navelo::testkit
