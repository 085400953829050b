#pragma once

#include <functional>
#include <string>

#include "platform/system.h"

namespace navelo::platform {

struct WindowInfo {
  WindowHandle handle = 0;
  std::u16string title;  // whole, as the window carries it
};

// The window the user is working in. A window that vanishes while it is read, or any error of the
// window system, reads as no window (handle 0, empty title).
class ForegroundService {
 public:
  virtual ~ForegroundService() = default;
  virtual WindowInfo Foreground() = 0;
};

// Brings a window to the front and types a text into it, Tab as the Tab key. Returns at once;
// the work runs from the event loop. Keystrokes go to the target window only: when it does not
// become the active window within a second nothing is typed and the user hears a beep.
class KeystrokeService {
 public:
  enum class Result { kTyped, kNotActivated, kReplaced };
  virtual ~KeystrokeService() = default;
  // A new delivery replaces one that is still waiting for its window.
  virtual void Deliver(WindowHandle target, std::u16string text,
                       std::function<void(Result)> done = {}) = 0;
};

}  // namespace navelo::platform
