#pragma once

#include "platform/desktop.h"

namespace navelo::platform {

// The session this process runs in: the environment, and the toolkit's connection to the display
// Navelo's windows are drawn on. Needs a running QGuiApplication.
DesktopSession CurrentSession();

}  // namespace navelo::platform
