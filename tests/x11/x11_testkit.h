#pragma once

#include <X11/Xlib.h>
#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace navelo::testkit {

// The exit status of a desktop test that could not run (no display, no browser): CTest's
// SKIP_RETURN_CODE for these tests, so they are reported skipped, never passed.
inline constexpr int kSkippedStatus = 77;

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
  // The names of the atoms in a property, such as _NET_WM_STATE or _NET_WM_WINDOW_TYPE.
  std::vector<std::string> AtomNames(Window w, const char* property);
  std::vector<std::string> States(Window w) { return AtomNames(w, "_NET_WM_STATE"); }
  // The Motif window-manager hints: flags, functions, decorations, input mode, status.
  std::vector<unsigned long> MotifHints(Window w);
  // The running window manager's name, as it gives it on its _NET_SUPPORTING_WM_CHECK window.
  std::string WindowManagerName();
  // The title-bar buttons xfwm4 draws for a client window: how many left and right of the title.
  // xfwm4 gives each button a child window of the frame, mapped only while the button is shown;
  // nothing when the window has no xfwm4 frame.
  struct TitleBarButtons {
    int left = 0;
    int right = 0;
    bool operator==(const TitleBarButtons&) const = default;
  };
  std::optional<TitleBarButtons> Xfwm4TitleBarButtons(Window w);
  // Top-left corner of the window's frame on the screen.
  std::optional<std::pair<int, int>> FramePosition(Window w);
  Window ActiveWindow();
  // The client area's top-left corner on the screen and its size.
  std::optional<std::pair<int, int>> ClientOrigin(Window w);
  std::optional<std::pair<int, int>> ClientSize(Window w);
  // Asks the window manager to activate a window, as a task bar would.
  void Activate(Window w);
  // Moves the pointer there and clicks the left button, as a user would. Returns when the button
  // was released (a button acts on release).
  std::chrono::system_clock::time_point Click(int x, int y);
  // Presses and releases a key, into whichever window has the focus.
  void PressKey(KeySym key);
  // A 32-bit property's values, when it has that type.
  std::vector<unsigned long> CardinalList(Window w, const char* property, Atom type);

 private:
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
  // Sends a signal and waits for the process to end; returns its wait status. A process still
  // running after ten seconds is killed (SIGKILL).
  int Stop(int signal);
  // Waits for the process to end by itself; its wait status, or nothing when the time ran out.
  std::optional<int> WaitExit(std::chrono::milliseconds timeout);
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
  pid_t pid() const { return child_.pid(); }

 private:
  std::filesystem::path out_;
  std::string title_;
  Child child_;
};

// The program copied into a fresh folder of its own, with a settings file, started and stopped.
// `runAs` is put before the program's path on the command line (e.g. setpriv and its options).
class NaveloProcess {
 public:
  NaveloProcess(const std::string& executable, const std::string& settings,
                std::vector<std::string> runAs = {});
  ~NaveloProcess();
  NaveloProcess(const NaveloProcess&) = delete;
  NaveloProcess& operator=(const NaveloProcess&) = delete;

  void Start() { child_.Start(); }
  int Stop(int signal) { return child_.Stop(signal); }
  std::optional<int> WaitExit(std::chrono::milliseconds timeout) {
    return child_.WaitExit(timeout);
  }
  pid_t pid() const { return child_.pid(); }
  const std::filesystem::path& folder() const { return dir_; }
  std::string Settings() const;
  // The panel's top-level window, once mapped.
  std::optional<Window> FindPanel(Desktop& desktop);

 private:
  std::filesystem::path dir_;
  Child child_;
};

// Chromium showing IPAT-like pages whose fields' values go to the browser's log: an inquiry page
// (three fields) and a vote page (four). Coming back to a page after leaving it starts it afresh.
class BrowserPages {
 public:
  // `flags`: more of the browser's command-line options (such as its window system).
  explicit BrowserPages(std::vector<std::string> flags = {});
  ~BrowserPages();
  static std::optional<std::string> FindBrowser();
  // Opens a page in its own window at the given left edge; the first call starts the browser.
  void Open(const std::string& page, int x);
  std::optional<Window> WindowTitled(Desktop& desktop, const std::string& title);
  std::size_t LogSize() const;
  std::string LogFrom(std::size_t offset) const;
  // Waits until the page reports exactly these values (as JSON) after `offset` in the log.
  bool Shows(std::size_t offset, const std::string& json,
             std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;
  // When the page last reported exactly these values, as time since the epoch.
  std::optional<std::chrono::system_clock::time_point> ShownAt(std::size_t offset,
                                                               const std::string& json) const;

 private:
  std::filesystem::path dir_;
  std::filesystem::path log_;
  std::vector<std::string> flags_;
  std::vector<std::unique_ptr<Child>> children_;
};

// Drives the real panel with the pointer, as a user would.
class PanelDriver {
 public:
  PanelDriver(Desktop& desktop, Window panel, int fullHeight)
      : desktop_(desktop), panel_(panel), fullHeight_(fullHeight) {}
  // With the panel in front, brings the page forward and waits until the panel has seen it (it
  // shrinks), then clicks the panel's caption and waits for it to return to full height.
  bool FocusPageThenPanel(Window page);
  // Clicks a point of the panel's client area, in pixels; returns when the button was released.
  std::chrono::system_clock::time_point Click(int x, int y);
  // Presses and releases a key, into whichever window has the focus.
  void PressKey(KeySym key);

 private:
  Desktop& desktop_;
  Window panel_;
  int fullHeight_;
};

}  // namespace navelo::testkit
