#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "platform/windows.h"

namespace navelo::platform::x11 {

// A private Xlib connection for reading and activating other programs' windows and for typing.
// Its error handler records errors instead of ending the process, so a window that vanishes
// between two calls is just "no window".
class X11Connection {
 public:
  X11Connection();
  ~X11Connection();
  X11Connection(const X11Connection&) = delete;
  X11Connection& operator=(const X11Connection&) = delete;

  bool ok() const { return display_ != nullptr; }
  void* display() const { return display_; }

 private:
  void* display_ = nullptr;
};

class X11Foreground final : public ForegroundService {
 public:
  explicit X11Foreground(X11Connection& connection) : x_(connection) {}
  WindowInfo Foreground() override;

 private:
  X11Connection& x_;
};

// Activation through the window manager (EWMH) and typing through the XTest extension. Each
// character is typed with a key of the current layout that needs no modifier, or Shift; a
// character the layout lacks goes through a spare keycode that is mapped to it for the delivery
// and restored afterwards. Caps Lock is released while typing and locked again after.
class XTestKeystrokes final : public QObject, public KeystrokeService {
 public:
  explicit XTestKeystrokes(X11Connection& connection);
  ~XTestKeystrokes() override;

  void Deliver(WindowHandle target, std::u16string text, std::function<void(Result)> done) override;

  // How long typing waits after changing the keyboard mapping, so the target has read the new
  // layout: Chromium typed exactly with no wait at all (30 of 30 deliveries); 20 ms is a margin for
  // slower programs, spent only on deliveries that change the mapping.
  static constexpr std::chrono::milliseconds kRemapSettle{20};
  // How long spare keycodes keep their characters after the last key, so the target has
  // translated every key before the layout changes back.
  static constexpr std::chrono::milliseconds kRestoreDelay{1000};

 private:
  struct Pending {
    WindowHandle target = 0;
    std::u16string text;
    std::function<void(Result)> done;
    std::chrono::steady_clock::time_point started;
  };

  void Poll();
  void Finish(Result result);
  bool Activate(WindowHandle target);
  bool IsActive(WindowHandle target);
  void TypeNow(const Pending& job);
  void RestoreSpareKeys();

  X11Connection& x_;
  std::optional<Pending> pending_;
  QTimer poll_;
  QTimer restore_;
  bool typingScheduled_ = false;
  struct Remapped;
  std::unique_ptr<Remapped> remapped_;
};

}  // namespace navelo::platform::x11
