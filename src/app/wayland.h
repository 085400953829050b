#pragma once

namespace navelo {

// Adds to the QApplication's arguments, before it is made, that Navelo's own windows open as X11
// windows (through XWayland on a Wayland desktop), so the tracker sees the panel in front as it
// sees any other window; Qt falls back to Wayland only where no X server runs. A platform the user
// chose (QT_QPA_PLATFORM, -platform) is kept.
void PreferX11Windows(int& argc, char**& argv);

}  // namespace navelo
