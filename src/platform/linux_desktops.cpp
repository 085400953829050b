// The desktops Navelo knows on Linux, and the one chosen for this session.
#include <QGuiApplication>
#include <cstdlib>

#include "platform/desktop.h"
#include "platform/kde/kde_desktop.h"
#include "platform/linux_session.h"
#include "platform/wlroots/wlroots_desktop.h"
#include "platform/x11/x11_desktop.h"

namespace navelo::platform {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

DesktopSession CurrentSession() {
  DesktopSession session;
  session.display = Env("DISPLAY");
  session.waylandDisplay = Env("WAYLAND_DISPLAY");
  session.sessionType = Env("XDG_SESSION_TYPE");
  session.currentDesktop = Env("XDG_CURRENT_DESKTOP");
  if (auto* x11 =
          qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
    session.toolkitConnection = x11->display();
  }
  return session;
}

std::unique_ptr<Desktop> ChooseDesktop(const DesktopSession& session) {
  // The first that serves the session. X11 serves every session, last: directly, or through
  // XWayland on a Wayland desktop whose own services Navelo cannot have (GNOME, Plasma without
  // the grant).
  using Maker = std::unique_ptr<Desktop> (*)(const DesktopSession&);
  static constexpr Maker kDesktops[] = {
      &wlroots::MakeDesktop,
      &kde::MakeDesktop,
      &x11::MakeDesktop,
  };
  for (Maker make : kDesktops) {
    if (auto desktop = make(session)) return desktop;
  }
  return nullptr;
}

}  // namespace navelo::platform
