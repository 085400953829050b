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

PasswordDialog::PasswordDialog(SettingsRecord& record, const SettingsFile& file,
                               const platform::AnsiCodec& codec,
                               platform::MessageBoxService& messages, QWidget* parent)
    : QDialog(parent), record_(record), file_(file), codec_(codec), messages_(messages) {
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

void PasswordDialog::ShowModal() {
  txtPswd_->clear();
  // Not centred: the client area opens at a fixed place on the screen.
  setGeometry(TwipsToPixels(4410), TwipsToPixels(2955), width(), height());
  txtPswd_->setFocus();
  exec();
}

void PasswordDialog::OnOk() {
  if (!AcceptPasswordEntry(flgSyori, ui::FromQString(txtPswd_->text()), record_, file_, codec_)) {
    messages_.Show(u"パスワードが違います");
    return;
  }
  accept();
}

void PasswordDialog::reject() {
  // Cancel, the window manager's close command and every other way out but OK.
  record_.startupPassword.clear();
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
