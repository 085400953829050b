#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace navelo {

// Navelo follows and types into X11 windows only. On a Wayland desktop a browser running as a
// native Wayland window is invisible to it, so the user is told once at start how to run the
// browser. `waylandDisplay` is the WAYLAND_DISPLAY environment value, empty when unset. Returns
// the message's text on a Wayland desktop, nothing otherwise.
std::optional<std::u16string> WaylandNotice(std::string_view waylandDisplay);

}  // namespace navelo
