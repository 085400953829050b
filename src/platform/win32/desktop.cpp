#include "platform/win32/desktop.h"

#include <windows.h>

#include <cwchar>

namespace navelo::platform::win32 {

void Win32Desktop::KeepAbove(WindowHandle window, bool on) {
  SetWindowPos(reinterpret_cast<HWND>(window), on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

namespace {

constexpr LRESULT kCameForward = 0x4E41;  // what a Navelo's window answers when asked

}  // namespace

UINT BringForwardMessage() {
  static const UINT message = RegisterWindowMessageW(L"Navelo.BringForward");
  return message;
}

LRESULT ComeForward(HWND window) {
  // The window in front of the rest of the program: a dialog or message box it shows, or the
  // window itself.
  const HWND root = GetAncestor(window, GA_ROOTOWNER);
  if (IsIconic(root)) ShowWindow(root, SW_RESTORE);
  const HWND front = GetLastActivePopup(root);
  // Raised in any case, so that it is seen even where activation is refused: into the topmost
  // band and back (unless kept there), which puts it on top of its band wherever the system
  // thought it was. A plain HWND_TOP is dropped when the system's own order already has it on
  // top, as Wine's does after the user clicked another program's window.
  constexpr UINT kOnlyOrder = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  const bool keptAbove = (GetWindowLongPtrW(front, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  SetWindowPos(front, HWND_TOPMOST, 0, 0, 0, 0, kOnlyOrder);
  if (!keptAbove) SetWindowPos(front, HWND_NOTOPMOST, 0, 0, 0, 0, kOnlyOrder);
  SetForegroundWindow(front);
  return kCameForward;
}

bool Win32Desktop::BringForward(long processId) {
  // The topmost shown window of that Navelo (of any Navelo when it is not known).
  struct Search {
    DWORD process;
    HWND found = nullptr;
  } search{static_cast<DWORD>(processId)};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        wchar_t name[16] = {};
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (!IsWindowVisible(window) || (s.process != 0 && process != s.process) ||
            GetClassNameW(window, name, 16) == 0 || std::wcscmp(name, L"NaveloForm") != 0) {
          return TRUE;
        }
        s.found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) return false;
  // Windows lets only the process that received the user's last input take the foreground: this
  // start, which the user just made, may; the running Navelo may not. This one hands its right
  // on, and the running one comes forward itself.
  DWORD process = 0;
  GetWindowThreadProcessId(search.found, &process);
  AllowSetForegroundWindow(process);
  DWORD_PTR answer = 0;
  SendMessageTimeoutW(search.found, BringForwardMessage(), 0, 0, SMTO_ABORTIFHUNG, 2000, &answer);
  return answer == static_cast<DWORD_PTR>(kCameForward);
}

}  // namespace navelo::platform::win32

namespace navelo::platform {

// Windows has one desktop.
std::unique_ptr<Desktop> ChooseDesktop(const DesktopSession&) {
  return std::make_unique<win32::Win32Desktop>();
}

}  // namespace navelo::platform
