#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace navelo::platform {

// A native top-level window: an X11 window id now, an HWND later. 0 means none.
using WindowHandle = std::uintptr_t;

// Modal message box: the OK button only, no icon.
class MessageBoxService {
 public:
  virtual ~MessageBoxService() = default;
  virtual void Show(const std::u16string& text, const std::u16string& title = u"Navelo") = 0;
};

// Hands a file or an address to the desktop's default opener; does not wait.
class ShellService {
 public:
  virtual ~ShellService() = default;
  virtual bool Open(const std::u16string& target) = 0;
  // The address that opens a local file or folder (UTF-8 path): the path itself where the opener
  // takes paths.
  virtual std::u16string AddressOf(const std::string& path) const;
};

// Where the program lives, and how it ends at once.
class ProgramService {
 public:
  virtual ~ProgramService() = default;
  // The directory of the running executable, without a trailing separator.
  virtual std::string ProgramDirectory() const = 0;
  // Joins a directory and a file name with the platform's separator.
  virtual std::string JoinPath(const std::string& dir, const std::string& name) const = 0;
  // Ends the process at once: no further handler runs.
  [[noreturn]] virtual void EndNow(int code) = 0;
  // Runs `handler` once on the GUI thread when the process is asked to stop (termination signals,
  // the end of the desktop session).
  virtual void OnTerminationRequest(std::function<void()> handler) = 0;
  // Runs `handler` once if the process ends without its windows being closed (where the toolkit
  // ends it when the connection to the display breaks). Nothing may be shown then.
  virtual void OnExitWithoutClose(std::function<void()> handler) { (void)handler; }
};

}  // namespace navelo::platform
