// Navelo for Windows: the program's entry, where the services, the desktop and the Win32 views are
// made and handed to the core's program.
#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>

#include "app/logic/program.h"
#include "platform/win32/codec_cp932.h"
#include "platform/win32/file_store.h"
#include "platform/win32/program.h"
#include "platform/win32/settings_home.h"
#include "platform/win32/shell.h"
#include "platform/win32/system_info.h"
#include "win/views.h"

namespace navelo::win {
namespace {

int RunNavelo() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  platform::win32::Win32Program program;
  platform::win32::Cp932Codec codec;
  platform::win32::Win32FileStore files;
  platform::win32::Win32SettingsHome home;
  platform::win32::Win32SystemInfo sysInfo;
  platform::win32::Win32MessageBox messages;
  platform::win32::Win32Shell shell;
  const std::unique_ptr<platform::Desktop> desktop = platform::ChooseDesktop({});
  // The end of the Windows session reaches the program as the panel's window messages.
  Win32ViewFactory views([&program] { program.SessionEnding(); });
  Program navelo({program, files, codec, messages, shell, sysInfo, home, *desktop, views});
  navelo.Start();
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(views.panel(), &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return 0;
}

}  // namespace
}  // namespace navelo::win

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return navelo::win::RunNavelo();
}
