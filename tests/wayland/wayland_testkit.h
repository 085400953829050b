#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/desktop.h"

struct zwlr_virtual_pointer_v1;

namespace navelo::platform::wayland {
class Connection;
}

namespace navelo::testkit {

// A user at a wlroots compositor: a keyboard and a pointer of their own in the seat (made before
// any program starts, so a program's window gets the focus when it opens), the windows as a task
// bar sees them, and clicks anywhere on the screen.
class WaylandUser {
 public:
  // `width` and `height`: the screen's, in pixels.
  WaylandUser(int width, int height);
  ~WaylandUser();
  bool ok() const { return desktop_ != nullptr && pointer_ != nullptr; }

  platform::Desktop& desktop() { return *desktop_; }
  // The window whose whole title is `title` (other than `other`), waiting up to `timeout` for it.
  std::optional<platform::WindowHandle> WindowTitled(
      const std::u16string& title, std::optional<platform::WindowHandle> other = std::nullopt,
      std::chrono::milliseconds timeout = std::chrono::seconds(30));
  std::u16string ActiveTitle();
  // Brings a window forward as a task bar would, and waits until it is the active window.
  bool Activate(platform::WindowHandle window);
  // Moves the pointer there and clicks the left button.
  void Click(int x, int y);

 private:
  int width_;
  int height_;
  std::unique_ptr<platform::Desktop> desktop_;
  std::unique_ptr<platform::wayland::Connection> wayland_;
  zwlr_virtual_pointer_v1* pointer_ = nullptr;
};

}  // namespace navelo::testkit
