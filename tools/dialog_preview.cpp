// Shows one of Navelo's dialogs with sample contents, for screenshots:
//   navelo_dialog_preview settings|about|password
// Closes itself after 15 seconds.
#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <cstring>

#include "app/password_dialog.h"
#include "dialogs/about_dialog.h"
#include "dialogs/settings_dialog.h"
#include "platform/posix/codec_cp932.h"
#include "platform/posix/system_info.h"
#include "platform/testing/doubles.h"
#include "sample_settings.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/navelo/navelo.png")));  // as the program does
  if (argc != 2) return 2;
  QTimer::singleShot(15000, &app, [] { QApplication::exit(0); });
  navelo::platform::testing::RecordingMessageBox messages;
  navelo::platform::testing::RecordingShell shell;
  if (std::strcmp(argv[1], "settings") == 0) {
    navelo::SettingsRecord record = navelo::tools::SampleRecord(u"Chromium");
    navelo::TargetSlots targets = navelo::tools::SampleTargets(u"Chromium");
    navelo::BrowserAddresses addresses{};
    navelo::SettingsDialog dialog(
        {record, targets, addresses, messages, [](const std::u16string&) { return false; }});
    QTimer::singleShot(15000, &dialog, &QDialog::reject);
    dialog.ShowModal();
    return 0;
  }
  if (std::strcmp(argv[1], "password") == 0) {
    navelo::PasswordDialog dialog(messages);
    QTimer::singleShot(15000, &dialog, &QDialog::reject);
    dialog.Ask(navelo::PasswordMode::kStartupCheck, [](const std::u16string&) { return false; });
    return 0;
  }
  navelo::platform::posix::PosixSystemInfo sysInfo;
  navelo::AboutDialog dialog(
      {shell, messages, sysInfo, "/usr/lib/navelo", "/usr/lib/navelo/Navelo.INI"});
  QTimer::singleShot(15000, &dialog, &QDialog::reject);
  dialog.exec();
  return 0;
}
