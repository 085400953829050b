// Shows one of Navelo's dialogs with sample contents, for screenshots:
//   navelo_dialog_preview settings|about|password
// Closes itself after 15 seconds.
#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <cstring>

#include "app/logic/password_controller.h"
#include "dialogs/logic/about_controller.h"
#include "dialogs/logic/settings_controller.h"
#include "forms/layouts.h"
#include "platform/linux_session.h"
#include "platform/posix/system_info.h"
#include "platform/testing/doubles.h"
#include "sample_settings.h"
#include "ui/desktop.h"
#include "ui/views.h"

int main(int argc, char** argv) {
  using namespace navelo;
  QApplication app(argc, argv);
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/navelo/navelo.png")));  // as the program does
  if (argc != 2) return 2;
  QTimer::singleShot(15000, &app, [] { QApplication::exit(0); });
  platform::testing::RecordingMessageBox messages;
  // The desktop's own, so the windows ask for their title-bar buttons as in the program.
  const auto desktopServices = platform::ChooseDesktop(platform::CurrentSession());
  platform::Desktop& desktop = *desktopServices;
  auto close = [](ui::QtDialogView& view) {
    QTimer::singleShot(15000, &view, [&view] { view.EndModal(0); });
  };
  if (std::strcmp(argv[1], "settings") == 0) {
    SettingsRecord record = tools::SampleRecord(u"Chromium");
    TargetSlots targets = tools::SampleTargets(u"Chromium");
    BrowserAddresses addresses{};
    ui::QtDialogView view(forms::kFrmSet, desktop);
    SettingsController dialog(
        view, {record, targets, addresses, messages, [](const std::u16string&) { return false; }});
    close(view);
    dialog.ShowModal();
    return 0;
  }
  if (std::strcmp(argv[1], "password") == 0) {
    ui::QtDialogView view(forms::kFrmPswd, desktop);
    PasswordController dialog(view, messages);
    close(view);
    dialog.Ask(PasswordMode::kStartupCheck, [](const std::u16string&) { return false; });
    return 0;
  }
  ui::XdgShell shell;
  platform::testing::FakeProgram program;
  program.directory = "/usr/lib/navelo";
  platform::posix::PosixSystemInfo sysInfo;
  ui::QtDialogView view(forms::kFrmAbout, desktop);
  AboutController dialog(view,
                         {shell, messages, sysInfo, program, "/usr/lib/navelo/Navelo.INI", false});
  close(view);
  dialog.ShowModal();
  return 0;
}
