#include "platform/win32/desktop.h"

#include <windows.h>

namespace navelo::platform::win32 {

void Win32Desktop::KeepAbove(WindowHandle window, bool on) {
  SetWindowPos(reinterpret_cast<HWND>(window), on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool Win32Desktop::BringForward(long) {
  HWND running = FindWindowW(L"NaveloForm", L"Navelo");
  if (running == nullptr) return false;
  if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
  SetForegroundWindow(running);
  return true;
}

}  // namespace navelo::platform::win32

namespace navelo::platform {

// Windows has one desktop.
std::unique_ptr<Desktop> ChooseDesktop(const DesktopSession&) {
  return std::make_unique<win32::Win32Desktop>();
}

}  // namespace navelo::platform
