#pragma once

#include <memory>

#include "platform/desktop.h"

namespace navelo::platform::kde {

// The desktop of KDE Plasma's compositor, KWin: every window's title, process and state (Plasma's
// window management), activation through it, and typing with KWin's fake input through the user's
// own keyboard layout, so a character the layout lacks cannot be typed. KWin grants both only to
// a program named by an installed launcher that asks for them (X-KDE-Wayland-Interfaces). Null
// when the session offers none of that.
std::unique_ptr<Desktop> MakeDesktop(const DesktopSession& session);

}  // namespace navelo::platform::kde
