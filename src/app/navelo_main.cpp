#include "app/navelo_main.h"

#include <QApplication>
#include <QIcon>
#include <memory>

#include "app/logic/startup.h"
#include "app/password_dialog.h"
#include "app/settings_claim.h"
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
  navelo::ui::IgnoreBrokenPipes();
  PreferX11Windows(argc, argv);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Navelo"));
  QApplication::setQuitOnLastWindowClosed(false);
  // Every window carries the program's icon (task bar, window menu), as on Windows.
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/navelo/navelo.png")));

  navelo::ui::LinuxProgram program;
  platform::posix::Cp932Codec codec;
  platform::posix::PosixFileStore store;
  navelo::ui::QtMessageBox messages;
  navelo::ui::XdgShell shell;
  navelo::ui::EwmhTopmost topmost;
  platform::x11::X11Connection x11;
  platform::x11::X11Foreground foreground(x11);
  platform::x11::X11WindowSystem windowSystem(x11);
  // Titles compare as the tracker remembers them: cut as a title read is cut.
  Delivery delivery(windowSystem,
                    [&codec](std::u16string_view title) { return CutTitle(title, codec); });
  platform::posix::PosixSystemInfo sysInfo;
  // Another Navelo working with the same settings file has been brought to the front instead.
  auto claimed = ClaimSettingsFile(program.ProgramDirectory(), x11);
  if (!claimed) program.EndNow(0);
  SettingsFile file(claimed->readPath, claimed->savePath, store, codec);
  // The settings record and what lives beside it for the whole run; the file is read here once.
  SettingsStore settings(file, codec);

  std::unique_ptr<PasswordDialog> passwordDialog;
  auto askPassword = [&](PasswordMode mode, std::function<bool(const std::u16string&)> accepts) {
    if (!passwordDialog) passwordDialog = std::make_unique<PasswordDialog>(messages);
    return passwordDialog->Ask(mode, std::move(accepts));
  };
  std::unique_ptr<PanelWindow> panel;

  auto openSettings = [&](QWidget* owner) {
    auto confirm = [&](const std::u16string& newPassword) {
      return ConfirmStartupPassword(askPassword, settings, newPassword);
    };
    SettingsDialog dialog(
        {settings.record(), settings.targets(), settings.addresses(), messages, confirm, &codec},
        owner);
    dialog.ShowModal();
  };
  auto openAbout = [&](QWidget*) {
    // Shown without an owner window.
    // The settings-file link leads where the settings are saved (and edited), which for an
    // installed copy differs from the file read at its first start.
    AboutDialog dialog({shell, messages, sysInfo, program.ProgramDirectory(), file.savePath()});
    dialog.exec();
  };

  StartupWindows windows;
  windows.askPassword = askPassword;
  windows.showPanel = [&] {
    panel =
        std::make_unique<PanelWindow>(PanelContext{settings, messages, shell, topmost, program,
                                                   foreground, delivery, openSettings, openAbout});
    // Saved exactly as when the panel closes; only reached once the password was confirmed.
    // A request while the panel is already ending (showing why its save failed) waits for that
    // message; a repeated request ends at once.
    program.OnTerminationRequest([&] {
      if (!panel->ending()) panel->SaveAndEnd();
    });
    program.OnExitWithoutClose([&] { SaveWithoutWindows(settings, *panel); });
    panel->Load();
  };
  ShowWaylandNotice(messages);
  if (RunStartup(settings, windows) == StartupOutcome::kCancelled) {
    // Not confirmed: end without writing anything.
    program.EndNow(0);
  }
  return QApplication::exec();
}

}  // namespace navelo
