#pragma once

#include <memory>

#include "platform/desktop.h"
#include "platform/x11/x11_windows.h"

namespace navelo::platform::x11 {

// Navelo's own windows as X11 windows (directly, or through XWayland on a Wayland desktop), through
// the toolkit's connection, so what is asked of them comes in order with what the toolkit itself
// sends: kept above the others, and the title-bar buttons they ask for.
class X11OwnWindows {
 public:
  // `display`: the Xlib Display* Navelo's windows are drawn on; null when they are no X11 windows.
  explicit X11OwnWindows(void* display) : display_(display) {}
  void KeepAbove(WindowHandle window, bool on);
  void SetTitleButtons(WindowHandle window, TitleButtons buttons);

 private:
  void* display_;
};

// The X11 desktop: other programs' windows through a private connection (EWMH and XTest), and
// Navelo's own windows through the toolkit's connection, so what is asked of them comes in order
// with what the toolkit itself sends.
class X11Desktop final : public Desktop {
 public:
  // `toolkitDisplay`: the Xlib Display* Navelo's windows are drawn on; null to use the private
  // connection for them too.
  X11Desktop(DesktopNotice notice, void* toolkitDisplay);

  std::string name() const override { return "x11"; }
  DesktopCapabilities capabilities() const override { return {}; }
  DesktopNotice notice() const override { return notice_; }
  ForegroundService& foreground() override { return foreground_; }
  WindowSystem& windows() override { return windows_; }
  void KeepAbove(WindowHandle window, bool on) override { own_.KeepAbove(window, on); }
  void SetTitleButtons(WindowHandle window, TitleButtons buttons) override {
    own_.SetTitleButtons(window, buttons);
  }
  bool BringForward(long processId) override;

 private:
  DesktopNotice notice_;
  X11Connection connection_;
  X11OwnWindows own_;
  X11Foreground foreground_;
  X11WindowSystem windows_;
};

// The X11 desktop, for any session: the X display (on a Wayland desktop XWayland's, with the
// notice that only X11 windows are seen). Without a display nothing is seen and nothing typed.
std::unique_ptr<Desktop> MakeDesktop(const DesktopSession& session);

}  // namespace navelo::platform::x11
