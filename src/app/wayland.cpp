#include "app/wayland.h"

#include <QtGlobal>
#include <string_view>
#include <vector>

namespace navelo {

void PreferX11Windows(int& argc, char**& argv) {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return;
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "-platform") return;
  }
  // Through the arguments rather than the environment, so programs Navelo starts (the browser,
  // the Readme's viewer) do not inherit the choice. QApplication keeps them for the whole run.
  static char option[] = "-platform";
  static char x11First[] = "xcb;wayland";
  static std::vector<char*> arguments;
  arguments.assign(argv, argv + argc);
  arguments.insert(arguments.end(), {option, x11First, nullptr});
  argc += 2;
  argv = arguments.data();
}

}  // namespace navelo
