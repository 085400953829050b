#pragma once

#include <X11/Xlib.h>
#include <signal.h>
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
  // The client area's top-left corner on the screen and its size.
  std::optional<std::pair<int, int>> ClientOrigin(Window w);
  std::optional<std::pair<int, int>> ClientSize(Window w);
  // Asks the window manager to activate a window, as a task bar would.
  void Activate(Window w);
  // Moves the pointer there and clicks the left button, as a user would.
  void Click(int x, int y);

 private:
  std::vector<unsigned long> CardinalList(Window w, const char* property, Atom type);
  Display* display_ = nullptr;
};

// Polls until `ready` holds or the time runs out.
bool WaitFor(const std::function<bool()>& ready,
             std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Any program, started and stopped.
class Child {
 public:
  explicit Child(std::vector<std::string> argv, std::string log = {});
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  void Start();
  int Stop(int signal);
  pid_t pid() const { return pid_; }
  // The first client window of this process with the given title, once mapped.
  std::optional<Window> FindWindow(Desktop& desktop, const std::string& title);

 private:
  std::vector<std::string> argv_;
  std::string log_;  // where standard output and error go, when set
  pid_t pid_ = -1;
};

// A window with line edits that reports what was typed into it (typing_target).
class TypingTarget {
 public:
  TypingTarget(const std::string& executable, const std::string& title, int fields);
  ~TypingTarget();
  std::optional<Window> WaitForWindow(Desktop& desktop);
  std::vector<std::string> Fields() const;
  // Whether the window has the keyboard focus, as the target itself sees it.
  bool Active() const;
  void Close() { child_.Stop(SIGTERM); }

 private:
  std::filesystem::path out_;
  std::string title_;
  Child child_;
};

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
