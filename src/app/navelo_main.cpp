#include "app/navelo_main.h"

#include <QApplication>
#include <memory>

#include "app/logic/startup.h"
#include "app/password_dialog.h"
#include "dialogs/about_dialog.h"
#include "dialogs/settings_dialog.h"
#include "panel/panel_window.h"
#include "platform/x11/codec_cp932.h"
#include "platform/x11/desktop.h"
#include "platform/x11/file_store.h"
#include "platform/x11/program.h"
#include "platform/x11/registry_stand_in.h"
#include "platform/x11/x11_windows.h"

namespace navelo {

int RunNavelo(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Navelo"));
  QApplication::setQuitOnLastWindowClosed(false);

  platform::x11::LinuxProgram program;
  platform::x11::Cp932Codec codec;
  platform::x11::PosixFileStore store;
  platform::x11::QtMessageBox messages;
  platform::x11::XdgShell shell;
  platform::x11::EwmhTopmost topmost;
  platform::x11::X11Connection x11;
  platform::x11::X11Foreground foreground(x11);
  platform::x11::X11WindowSystem windowSystem(x11);
  // Titles compare as the tracker remembers them: cut as a title read is cut.
  Delivery delivery(windowSystem,
                    [&codec](std::u16string_view title) { return CutTitle(title, codec); });
  platform::x11::RegistryStandIn registry;
  platform::x11::PosixLauncher launcher;
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
    AboutDialog dialog(
        {shell, messages, registry, launcher, codec, program.ProgramDirectory(), file.path()});
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
                     foreground, delivery, openSettings, openAbout});
    // Saved exactly as when the panel closes; only reached once the password was confirmed.
    program.OnTerminationRequest([&] { panel->SaveAndEnd(); });
    panel->Load();
  };
  if (RunStartup(record, file, codec, windows) == StartupOutcome::kCancelled) {
    // Not confirmed: end without writing anything.
    program.EndNow(0);
  }
  return QApplication::exec();
}

}  // namespace navelo
