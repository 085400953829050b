#include "app/navelo_main.h"

#include <QApplication>
#include <memory>

#include "app/logic/startup.h"
#include "app/password_dialog.h"
#include "app/wayland.h"
#include "dialogs/about_dialog.h"
#include "dialogs/settings_dialog.h"
#include "panel/panel_window.h"
#include "platform/posix/codec_cp932.h"
#include "platform/posix/file_store.h"
#include "platform/posix/system_info.h"
#include "platform/x11/x11_windows.h"
#include "ui/desktop.h"
#include "ui/program.h"

namespace navelo {

int RunNavelo(int argc, char** argv) {
  PreferX11Windows(argc, argv);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Navelo"));
  QApplication::setQuitOnLastWindowClosed(false);

  navelo::ui::LinuxProgram program;
  platform::posix::Cp932Codec codec;
  platform::posix::PosixFileStore store;
  navelo::ui::QtMessageBox messages;
  navelo::ui::XdgShell shell;
  navelo::ui::EwmhTopmost topmost;
  platform::x11::X11Connection x11;
  platform::x11::X11Foreground foreground(x11);
  platform::x11::XTestKeystrokes keystrokes(x11);
  platform::posix::PosixSystemInfo sysInfo;
  SettingsFile file(program.JoinPath(program.ProgramDirectory(), "Navelo.INI"), store, codec);

  // State shared by the windows for the whole run.
  SettingsRecord record;
  BrowserAddresses addresses{};
  TargetSlots targets;

  std::unique_ptr<PasswordDialog> passwordDialog;
  auto password = [&]() -> PasswordDialog& {
    if (!passwordDialog) {
      passwordDialog = std::make_unique<PasswordDialog>(record, file, codec, messages);
    }
    return *passwordDialog;
  };
  std::unique_ptr<PanelWindow> panel;

  auto openSettings = [&](QWidget* owner) {
    SettingsDialog dialog({record, targets, addresses, messages,
                           [&] {
                             password().flgSyori =
                                 static_cast<std::int16_t>(PasswordMode::kConfirm);
                             password().ShowModal();
                           }},
                          owner);
    dialog.ShowModal();
  };
  auto openAbout = [&](QWidget*) {
    // Shown without an owner window.
    AboutDialog dialog({shell, messages, sysInfo, program.ProgramDirectory(), file.path()});
    dialog.exec();
  };

  StartupWindows windows;
  windows.askStartupPassword = [&] {
    password().flgSyori = static_cast<std::int16_t>(PasswordMode::kStartupCheck);
    password().ShowModal();
  };
  windows.showPanel = [&] {
    panel = std::make_unique<PanelWindow>(
        PanelContext{record, file, codec, addresses, targets, messages, shell, topmost, program,
                     foreground, keystrokes, openSettings, openAbout});
    // Saved exactly as when the panel closes; only reached once the password was confirmed.
    program.OnTerminationRequest([&] { panel->SaveAndEnd(); });
    panel->Load();
  };
  ShowWaylandNotice(messages);
  if (RunStartup(record, file, codec, windows) == StartupOutcome::kCancelled) {
    // Not confirmed: end without writing anything.
    program.EndNow(0);
  }
  return QApplication::exec();
}

}  // namespace navelo
