#include "wayland_testkit.h"

#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <cstdlib>
#include <thread>

#include "platform/wayland/connection.h"
#include "platform/wlroots/wlroots_desktop.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"
#include "x11_testkit.h"

namespace navelo::testkit {
namespace {

std::uint32_t Now() {
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

}  // namespace

WaylandUser::WaylandUser(int width, int height) : width_(width), height_(height) {
  const char* socket = std::getenv("WAYLAND_DISPLAY");
  if (socket == nullptr) return;
  platform::DesktopSession session;
  session.waylandDisplay = socket;
  desktop_ = platform::wlroots::MakeDesktop(session);
  wayland_ = std::make_unique<platform::wayland::Connection>(socket);
  auto* pointers = static_cast<zwlr_virtual_pointer_manager_v1*>(
      wayland_->Bind(&zwlr_virtual_pointer_manager_v1_interface, 1));
  if (pointers == nullptr) return;
  pointer_ = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointers, nullptr);
  zwlr_virtual_pointer_manager_v1_destroy(pointers);
  // A keyboard for the seat: the compositor adds it once it has a keymap.
  desktop_->windows().PrepareTyping(u"a");
  wayland_->Roundtrip();
}

WaylandUser::~WaylandUser() {
  if (pointer_) zwlr_virtual_pointer_v1_destroy(pointer_);
  if (wayland_) wayland_->Flush();
}

std::optional<platform::WindowHandle> WaylandUser::WindowTitled(
    const std::u16string& title, std::optional<platform::WindowHandle> other,
    std::chrono::milliseconds timeout) {
  std::optional<platform::WindowHandle> found;
  WaitFor(
      [&] {
        for (const platform::WindowInfo& w : platform::wlroots::Windows(*desktop_)) {
          if (w.title == title && w.handle != other) found = w.handle;
        }
        return found.has_value();
      },
      timeout);
  return found;
}

std::u16string WaylandUser::ActiveTitle() {
  return desktop_->foreground().Foreground().title;
}

bool WaylandUser::Activate(platform::WindowHandle window) {
  desktop_->windows().Activate(window);
  return WaitFor([&] { return desktop_->windows().ActiveWindow() == window; });
}

void WaylandUser::Click(int x, int y) {
  // As a hand moves it: onto the point, then a pixel on and back, each movement its own frame, so
  // the program under the pointer has followed it before the button goes down.
  for (int dx : {0, 1, 0}) {
    zwlr_virtual_pointer_v1_motion_absolute(
        pointer_, Now(), static_cast<std::uint32_t>(x + dx), static_cast<std::uint32_t>(y),
        static_cast<std::uint32_t>(width_), static_cast<std::uint32_t>(height_));
    zwlr_virtual_pointer_v1_frame(pointer_);
    wayland_->Roundtrip();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  zwlr_virtual_pointer_v1_button(pointer_, Now(), BTN_LEFT, WL_POINTER_BUTTON_STATE_PRESSED);
  zwlr_virtual_pointer_v1_frame(pointer_);
  zwlr_virtual_pointer_v1_button(pointer_, Now(), BTN_LEFT, WL_POINTER_BUTTON_STATE_RELEASED);
  zwlr_virtual_pointer_v1_frame(pointer_);
  wayland_->Roundtrip();
}

}  // namespace navelo::testkit
