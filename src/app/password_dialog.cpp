#include "app/password_dialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/logic/startup.h"
#include "forms/geometry.h"
#include "ui/ui.h"

namespace navelo {

using ui::MakeControl;
using ui::ToQString;

PasswordDialog::PasswordDialog(platform::MessageBoxService& messages, QWidget* parent)
    : QDialog(parent), messages_(messages) {
  setObjectName(QStringLiteral("frmPswd"));
  setFont(ui::GothicFont(true));
  setWindowTitle(ToQString(u"【Navelo】パスワード入力"));
  // Fixed single border with a caption only: no window menu, no close, minimise or maximise box.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(TwipsToPixels(3315), TwipsToPixels(1140));
  const QFont gothic = ui::GothicFont();

  auto* label = MakeControl<QLabel>(this, "Label1", 90, 120, 1125, 255, ToQString(u"パスワード＝"));
  label->setFont(gothic);
  txtPswd_ = MakeControl<QLineEdit>(this, "txtPswd", 1260, 90, 1845, 315);
  txtPswd_->setEchoMode(QLineEdit::Password);
  txtPswd_->setAttribute(Qt::WA_InputMethodEnabled, false);
  auto* ok = MakeControl<QPushButton>(this, "Command1", 150, 570, 1215, 375, QStringLiteral("OK"));
  ok->setFont(gothic);
  ok->setDefault(true);
  ok->setAutoDefault(true);
  auto* cancel =
      MakeControl<QPushButton>(this, "Command2", 1830, 570, 1215, 375, ToQString(u"キャンセル"));
  cancel->setFont(gothic);
  cancel->setAutoDefault(false);
  setTabOrder(txtPswd_, ok);
  setTabOrder(ok, cancel);
  connect(ok, &QPushButton::clicked, this, &PasswordDialog::OnOk);
  connect(cancel, &QPushButton::clicked, this, &PasswordDialog::reject);
}

std::optional<std::u16string> PasswordDialog::Ask(
    PasswordMode mode, std::function<bool(const std::u16string& entry)> accepts) {
  flgSyori = static_cast<std::int16_t>(mode);
  accepts_ = std::move(accepts);
  outcome_.reset();
  txtPswd_->clear();
  // Not centred: the client area opens at a fixed place on the screen.
  setGeometry(TwipsToPixels(4410), TwipsToPixels(2955), width(), height());
  txtPswd_->setFocus();
  exec();
  accepts_ = nullptr;
  return outcome_;
}

void PasswordDialog::OnOk() {
  const std::u16string entry = PasswordEntry(ui::FromQString(txtPswd_->text()));
  if (!accepts_ || !accepts_(entry)) {
    messages_.Show(u"パスワードが違います");
    return;
  }
  outcome_ = entry;
  accept();
}

void PasswordDialog::reject() {
  // Cancel, the window manager's close command and every other way out but OK.
  outcome_.reset();
  QDialog::reject();
}

void PasswordDialog::keyPressEvent(QKeyEvent* event) {
  // Esc is not bound to Cancel.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace navelo
