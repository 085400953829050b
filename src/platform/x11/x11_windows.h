#pragma once

#include <chrono>
#include <memory>

#include "platform/window_system.h"

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

// Follows the active window by the window manager's property changes (_NET_ACTIVE_WINDOW on the
// root, the title on the active window): while nothing changes, reading the foreground window
// costs no request to the X server. Without that property it asks the server at every read.
class X11Foreground final : public ForegroundService {
 public:
  explicit X11Foreground(X11Connection& connection);
  WindowInfo Foreground() override;
  // The X connection, while the window manager reports the active window; Foreground drains it.
  int ChangeDescriptor() const override;
  bool ChangesWaiting() const override;

 private:
  void ReadChanges();

  X11Connection& x_;
  bool following_ = false;  // the window manager keeps _NET_ACTIVE_WINDOW
  bool activeChanged_ = true;
  bool titleChanged_ = true;
  WindowInfo current_;
};

// Activation through the window manager (EWMH) and typing through the XTest extension. Each
// character is typed with a key of the current layout that needs no modifier, or Shift; the
// characters the layout lacks go through spare keycodes bound to them in one change of the
// keyboard mapping, and given back in one. Caps Lock is released while typing and locked again
// after. The bound keycodes are recorded on the root window with the Navelo that bound them (its
// host and process), so that keys a Navelo left bound when it ended are given back at the next
// start, while a running Navelo's stay as they are.
class X11WindowSystem final : public WindowSystem {
 public:
  explicit X11WindowSystem(X11Connection& connection);
  ~X11WindowSystem() override;

  WindowHandle ActiveWindow() override;
  std::u16string Title(WindowHandle window) override;
  bool Activate(WindowHandle window) override;
  Typing PrepareTyping(std::u16string_view text) override;
  bool TypePrepared(const std::function<bool()>& mayType) override;
  void RestoreKeyboard() override;
  void Beep() override;

  // How long typing waits after changing the keyboard mapping, so the target has read the new
  // layout: Chromium typed exactly with no wait at all (30 of 30 deliveries); 20 ms is a margin for
  // slower programs, spent only on deliveries that change the mapping.
  static constexpr std::chrono::milliseconds kRemapSettle{20};

 private:
  struct Keys;
  void GiveBackLeftovers();

  X11Connection& x_;
  std::unique_ptr<Keys> keys_;
};

}  // namespace navelo::platform::x11
