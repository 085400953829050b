#pragma once

#include <sys/types.h>

#include <string>

#include "platform/x11/x11_windows.h"

namespace navelo::platform::x11 {

// Asks the window manager to bring the top-level window of process `pid` whose title is `title`
// (UTF-8) to the front, as a task bar would. Returns whether such a window was found.
bool BringWindowOfProcessToFront(X11Connection& connection, pid_t pid, const std::string& title);

}  // namespace navelo::platform::x11
