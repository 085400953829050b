#include "ui/desktop.h"

#include <QMessageBox>
#include <QProcess>
#include <QUrl>

#include "ui/ui.h"

namespace navelo::ui {
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

std::u16string XdgShell::AddressOf(const std::string& path) const {
  return FromQString(QUrl::fromLocalFile(QString::fromStdString(path)).toString());
}

}  // namespace navelo::ui
