#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/wayland/connection.h"
#include "platform/x11/x11_desktop.h"

namespace navelo::platform::wayland {

// A window as a compositor reports it. Its handle for Navelo is a number never used again for
// another window.
struct ReportedWindow {
  WindowHandle id = 0;
  std::u16string title;
  bool active = false;
  bool shown = true;  // false for a window no one sees (unmapped, or a program's hidden helper)
};

// What the Wayland desktops share: the front window and titles from the compositor's reports
// (read as they arrive, the descriptor telling when), titles read as they are at the moment, and
// Navelo's own windows, which are X11 windows there (through XWayland).
class WaylandDesktop : public Desktop, public ForegroundService, public WindowSystem {
 public:
  WaylandDesktop(std::unique_ptr<Connection> connection, void* toolkitDisplay)
      : wayland_(std::move(connection)), own_(toolkitDisplay) {}

  ForegroundService& foreground() override { return *this; }
  WindowSystem& windows() override { return *this; }
  void KeepAbove(WindowHandle window, bool on) override { own_.KeepAbove(window, on); }
  void SetTitleButtons(WindowHandle window, TitleButtons buttons) override {
    own_.SetTitleButtons(window, buttons);
  }

  WindowInfo Foreground() override;
  int ChangeDescriptor() const override { return wayland_->fd(); }
  bool ChangesWaiting() const override { return wayland_->Waiting(); }

  WindowHandle ActiveWindow() override;
  std::u16string Title(WindowHandle window) override;
  // The user's keyboard is never changed: nothing to give back.
  void RestoreKeyboard() override {}
  void Beep() override {}

  // Every window reported, with its whole title.
  std::vector<WindowInfo> Windows();

 protected:
  // The windows reported so far.
  virtual std::vector<const ReportedWindow*> Reported() const = 0;
  const ReportedWindow* Active() const;
  // A shown window by its handle, or null.
  const ReportedWindow* Find(WindowHandle window) const;

  std::unique_ptr<Connection> wayland_;

 private:
  x11::X11OwnWindows own_;
};

}  // namespace navelo::platform::wayland
