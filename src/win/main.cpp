// Navelo for Windows: the program's entry, where the services, the settings store and the
// windows are made and handed to each other.
#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>

#include <memory>

#include "app/logic/startup.h"
#include "delivery/delivery.h"
#include "panel/logic/tracker.h"
#include "platform/win32/codec_cp932.h"
#include "platform/win32/desktop.h"
#include "platform/win32/file_store.h"
#include "platform/win32/program.h"
#include "platform/win32/settings_location.h"
#include "platform/win32/system_info.h"
#include "platform/win32/text.h"
#include "platform/win32/window_system.h"
#include "win/dialogs.h"
#include "win/panel.h"

namespace navelo::win {
namespace {

int RunNavelo() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  platform::win32::Win32Program program;
  platform::win32::Cp932Codec codec;
  platform::win32::Win32FileStore store;
  platform::win32::Win32MessageBox messages;
  platform::win32::Win32Shell shell;
  platform::win32::Win32Topmost topmost;
  platform::win32::Win32Foreground foreground;
  platform::win32::Win32WindowSystem windowSystem;
  // Titles compare as the tracker remembers them: cut as a title read is cut.
  Delivery delivery(windowSystem,
                    [&codec](std::u16string_view title) { return CutTitle(title, codec); });
  platform::win32::Win32SystemInfo sysInfo(codec);

  const SettingsLocation location =
      platform::win32::FindSettingsLocation(program.ProgramDirectory());
  // Another Navelo working with the same settings file is brought to the front instead.
  platform::win32::InstanceLock lock(location.savePath);
  if (!lock.held()) {
    if (HWND running = FindWindowW(L"NaveloForm", L"Navelo")) {
      if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
      SetForegroundWindow(running);
    }
    return 0;
  }
  // Holding the file, clear away what a save killed part-way left beside it.
  platform::win32::RemoveStrayTemporaries(location.savePath);
  SettingsFile file(location.readPath, location.savePath, store, codec);
  // The settings record and what lives beside it for the whole run; the file is read here once.
  SettingsStore settings(file, codec);

  std::unique_ptr<PasswordDialog> passwordDialog;
  std::unique_ptr<PanelWindow> panel;
  // The password dialog is modal to the window that asks: the settings dialog when it confirms a
  // new password, otherwise the panel (or nothing, at start).
  auto owner = [&]() -> HWND {
    const HWND active = GetActiveWindow();
    if (active && GetWindowThreadProcessId(active, nullptr) == GetCurrentThreadId()) return active;
    return panel ? panel->hwnd() : nullptr;
  };
  auto askPassword = [&](PasswordMode mode, std::function<bool(const std::u16string&)> accepts) {
    if (!passwordDialog) passwordDialog = std::make_unique<PasswordDialog>(messages);
    return passwordDialog->Ask(owner(), mode, std::move(accepts));
  };
  auto openSettings = [&](HWND panelWindow) {
    auto confirm = [&](const std::u16string& newPassword) {
      return ConfirmStartupPassword(askPassword, settings, newPassword);
    };
    // Made anew at every opening, so a cancelled edit leaves nothing behind.
    SettingsDialog dialog(
        {settings.record(), settings.targets(), settings.addresses(), messages, confirm, &codec});
    dialog.ShowModal(panelWindow);
  };
  auto openAbout = [&](HWND panelWindow) {
    const std::u16string savePath = FromUtf8(file.savePath());
    AboutDialog dialog({shell, messages, sysInfo, FromUtf8(program.ProgramDirectory()), savePath,
                        GetFileAttributesW(platform::win32::Wide(file.savePath()).c_str()) !=
                            INVALID_FILE_ATTRIBUTES});
    dialog.ShowModal(panelWindow);
  };

  StartupWindows windows;
  windows.askPassword = askPassword;
  windows.showPanel = [&] {
    panel = std::make_unique<PanelWindow>(PanelContext{settings, messages, shell, topmost, program,
                                                       foreground, windowSystem, delivery,
                                                       openSettings, openAbout});
    // Saved exactly as when the panel closes: at the end of the Windows session.
    program.OnTerminationRequest([&] { panel->SaveAndEnd(); });
    panel->Load();
  };
  if (RunStartup(settings, windows) == StartupOutcome::kCancelled) {
    // Not confirmed: end without writing anything.
    program.EndNow(0);
  }
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(panel->hwnd(), &msg)) {
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
