#pragma once

#include "platform/system.h"

namespace navelo {

// Call before the QApplication is made. Navelo's own windows open as X11 windows (through
// XWayland on a Wayland desktop), so the tracker sees the panel in front as it sees any other
// window; Qt falls back to Wayland only where no X server runs. A platform the user chose with
// QT_QPA_PLATFORM is kept.
void PreferX11Windows();

// On a Wayland desktop, tells the user in a message box that the browser must run as an X11
// window for Navelo to see it. Called once at start.
void ShowWaylandNotice(platform::MessageBoxService& messages);

}  // namespace navelo
