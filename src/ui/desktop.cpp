#include "ui/desktop.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QWindow>

#include "platform/x11/window_frame.h"

namespace navelo::ui {
namespace {

QString ToQString(const std::u16string& text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

}  // namespace

void QtMessageBox::Show(const std::u16string& text, const std::u16string& title) {
  QMessageBox box(QMessageBox::NoIcon, ToQString(title), ToQString(text), QMessageBox::Ok);
  box.setObjectName("NaveloMessageBox");
  // Messages quote window titles and identifiers, shown as they are, never read as markup.
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

bool XdgShell::Open(const std::u16string& target) {
  if (target.empty()) return false;
  return QProcess::startDetached(QStringLiteral("xdg-open"), {ToQString(target)});
}

void EwmhTopmost::SetTopmost(platform::WindowHandle window, bool on) {
  // Qt's X11 backend switches the window manager state of a mapped window with a client message
  // and records it in the property of an unmapped one, without re-creating the window.
  for (QWindow* w : QGuiApplication::allWindows()) {
    if (static_cast<platform::WindowHandle>(w->winId()) == window) {
      w->setFlag(Qt::WindowStaysOnTopHint, on);
      ApplyTitleButtons(w);
      return;
    }
  }
}

void ApplyTitleButtons(QWindow* window) {
  const QVariant buttons = window->property("titleButtons");
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!buttons.isValid() || x11 == nullptr) return;
  const int bits = buttons.toInt();
  platform::x11::SetTitleButtons(
      x11->display(), window->winId(),
      {(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0});
}

}  // namespace navelo::ui
