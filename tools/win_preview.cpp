// Shows one of Navelo's Windows windows with sample contents, for screenshots:
//   navelo_win_preview panel|settings|about|password RECT_FILE
// Once the window is up it writes "left top width height" (screen pixels, frame included) to
// RECT_FILE; it ends itself after 15 seconds.
#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "app/logic/password_controller.h"
#include "dialogs/logic/about_controller.h"
#include "dialogs/logic/settings_controller.h"
#include "forms/layouts.h"
#include "panel/logic/panel_controller.h"
#include "platform/testing/doubles.h"
#include "platform/win32/codec_cp932.h"
#include "platform/win32/program.h"
#include "sample_settings.h"
#include "win/views.h"

namespace {

using namespace navelo;

class NoSystemInfo final : public platform::SystemInfoService {
 public:
  bool Start() override { return false; }
};

std::wstring rectFile;
const win::FormWindow* shown = nullptr;
std::function<void()> fill;

void CALLBACK WriteRect(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (fill) fill();
  RedrawWindow(shown->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT r{};
  GetWindowRect(shown->hwnd(), &r);
  if (FILE* out = _wfopen(rectFile.c_str(), L"w")) {
    std::fprintf(out, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    std::fclose(out);
  }
}

void CALLBACK End(HWND, UINT, UINT_PTR, DWORD) {
  ExitProcess(0);
}

// Reports the window once it is up and showing: the timer ticks in its message loop, where
// `then` fills in what the window clears when it opens.
void Announce(const win::FormWindow& window, std::function<void()> then = {}) {
  shown = &window;
  fill = std::move(then);
  SetTimer(nullptr, 0, 500, WriteRect);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc != 3) return 2;
  const std::wstring which = argv[1];
  rectFile = argv[2];
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  SetTimer(nullptr, 0, 15000, End);

  platform::win32::Cp932Codec codec;
  platform::testing::MemoryFileStore store;
  platform::testing::RecordingMessageBox messages;
  platform::testing::RecordingShell shell;
  NoSystemInfo sysInfo;
  win::Win32ViewFactory views({});

  if (which == L"panel") {
    platform::win32::Win32Program program;
    platform::testing::FakeDesktop desktop;
    Delivery delivery(desktop.system);
    SettingsFile file("C:\\Navelo\\Navelo.INI", store, codec);
    SettingsStore settings(file, codec);
    auto view = views.MakePanel();
    PanelController panel(*view, {settings, messages, shell, program, desktop, delivery, {}, {}});
    panel.Load();
    // The panel in front, so it keeps its full height.
    desktop.foregroundWindow.current = {view->Handle(), u"Navelo"};
    view->SetText("txtKin", u"1200", -1);
    Announce(static_cast<win::Win32PanelView&>(*view));
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  } else if (which == L"settings") {
    SettingsRecord record = navelo::tools::SampleRecord(u"Microsoft Edge");
    TargetSlots targets = navelo::tools::SampleTargets(u"Microsoft Edge");
    BrowserAddresses addresses{};
    win::Win32DialogView view(forms::kFrmSet);
    SettingsController dialog(
        view, {record, targets, addresses, messages, [](const std::u16string&) { return false; }});
    Announce(view);
    dialog.ShowModal();
  } else if (which == L"about") {
    platform::testing::FakeProgram program;
    program.directory = "C:\\Program Files\\Navelo";
    program.separator = '\\';
    win::Win32DialogView view(forms::kFrmAbout);
    AboutController dialog(
        view, {shell, messages, sysInfo, program, "C:\\Program Files\\Navelo\\Navelo.INI", true});
    Announce(view);
    dialog.ShowModal();
  } else if (which == L"password") {
    win::Win32DialogView view(forms::kFrmPswd);
    PasswordController dialog(view, messages);
    Announce(view, [&view] { view.SetText("txtPswd", u"secret", -1); });
    dialog.Ask(PasswordMode::kStartupCheck, [](const std::u16string&) { return false; });
  } else {
    return 2;
  }
  return 0;
}
