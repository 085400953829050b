#pragma once

#include "platform/desktop.h"
#include "platform/win32/window_system.h"

namespace navelo::platform::win32 {

// The Windows desktop: the foreground window, activation and SendInput typing, and Navelo's own
// windows kept above the others with SetWindowPos. Title-bar buttons come with the windows'
// styles.
class Win32Desktop final : public Desktop {
 public:
  std::string name() const override { return "win32"; }
  DesktopCapabilities capabilities() const override { return {}; }
  ForegroundService& foreground() override { return foreground_; }
  WindowSystem& windows() override { return windows_; }
  void KeepAbove(WindowHandle window, bool on) override;
  void SetTitleButtons(WindowHandle, TitleButtons) override {}
  bool BringForward(long processId) override;

 private:
  Win32Foreground foreground_;
  Win32WindowSystem windows_;
};

}  // namespace navelo::platform::win32
