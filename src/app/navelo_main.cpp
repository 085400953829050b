#include "app/navelo_main.h"

#include <QApplication>
#include <QIcon>
#include <memory>

#include "app/logic/program.h"
#include "app/wayland.h"
#include "platform/linux_session.h"
#include "platform/posix/codec_cp932.h"
#include "platform/posix/file_store.h"
#include "platform/posix/settings_home.h"
#include "platform/posix/system_info.h"
#include "ui/desktop.h"
#include "ui/program.h"
#include "ui/views.h"

namespace navelo {

int RunNavelo(int argc, char** argv) {
  navelo::ui::IgnoreBrokenPipes();
  PreferX11Windows(argc, argv);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Navelo"));
  QApplication::setQuitOnLastWindowClosed(false);
  // Every window carries the program's icon (task bar, window menu), as on Windows.
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/navelo/navelo.png")));

  ui::LinuxProgram program;
  platform::posix::Cp932Codec codec;
  platform::posix::PosixFileStore files;
  platform::posix::PosixSettingsHome home;
  platform::posix::PosixSystemInfo sysInfo;
  ui::QtMessageBox messages;
  ui::XdgShell shell;
  const std::unique_ptr<platform::Desktop> desktop =
      platform::ChooseDesktop(platform::CurrentSession());
  ui::QtViewFactory views(*desktop);
  Program navelo({program, files, codec, messages, shell, sysInfo, home, *desktop, views});
  navelo.Start();
  return QApplication::exec();
}

}  // namespace navelo
