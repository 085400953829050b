#include "app/wayland.h"

#include <QByteArray>
#include <QtGlobal>

#include "app/logic/session.h"

namespace navelo {

void PreferX11Windows() {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb;wayland");
}

void ShowWaylandNotice(platform::MessageBoxService& messages) {
  const QByteArray waylandDisplay = qgetenv("WAYLAND_DISPLAY");
  if (auto notice = WaylandNotice(std::string_view(
          waylandDisplay.constData(), static_cast<std::size_t>(waylandDisplay.size())))) {
    messages.Show(*notice);
  }
}

}  // namespace navelo
