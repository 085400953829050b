#include "app/password_dialog.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "app/logic/startup.h"
#include "forms/layouts.h"
#include "ui/form_builder.h"
#include "ui/ui.h"

namespace navelo {

PasswordDialog::PasswordDialog(SettingsRecord& record, const SettingsFile& file,
                               const platform::AnsiCodec& codec,
                               platform::MessageBoxService& messages, QWidget* parent)
    : QDialog(parent), record_(record), file_(file), codec_(codec), messages_(messages) {
  ui::BuildWindow(forms::kFrmPswd, this, Qt::Dialog);
  ui::BuildControls(forms::kFrmPswd, this);
  txtPswd_ = ui::Built<QLineEdit>(this, "txtPswd");
  connect(ui::Built<QPushButton>(this, "Command1"), &QPushButton::clicked, this,
          &PasswordDialog::OnOk);
  connect(ui::Built<QPushButton>(this, "Command2"), &QPushButton::clicked, this,
          &PasswordDialog::reject);
}

void PasswordDialog::ShowModal() {
  txtPswd_->clear();
  // Not centred: the client area opens at a fixed place on the screen.
  ui::PlaceAtOpening(forms::kFrmPswd, this);
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
