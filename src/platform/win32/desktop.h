#pragma once

#include <windows.h>

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

// Asked of a running Navelo's window by a second start: come to the front.
UINT BringForwardMessage();
// What a window of Navelo does when asked: the program's front window (a dialog or message box it
// shows, or the window itself) restored, raised and made the foreground window. Returns the
// answer the asker waits for.
LRESULT ComeForward(HWND window);

}  // namespace navelo::platform::win32
