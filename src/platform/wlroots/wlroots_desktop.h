#pragma once

#include <memory>
#include <vector>

#include "platform/desktop.h"

namespace navelo::platform::wlroots {

// The desktop of wlroots compositors (sway, labwc, Hyprland, niri, river, Wayfire): every window's
// title and state as the compositor reports them (foreign toplevels), activation through the same
// protocol, and typing with a virtual keyboard whose keymap Navelo uploads, so any character
// types exactly whatever the user's layout. Null when the session offers none of that.
std::unique_ptr<Desktop> MakeDesktop(const DesktopSession& session);

// Every window such a desktop knows, with its whole title (for tests and tools); none for another
// desktop.
std::vector<WindowInfo> Windows(Desktop& desktop);

}  // namespace navelo::platform::wlroots
