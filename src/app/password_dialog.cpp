#include "app/password_dialog.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "app/logic/startup.h"
#include "forms/layouts.h"
#include "ui/form_builder.h"
#include "ui/ui.h"

namespace navelo {

PasswordDialog::PasswordDialog(platform::MessageBoxService& messages, QWidget* parent)
    : QDialog(parent), messages_(messages) {
  ui::BuildWindow(forms::kFrmPswd, this, Qt::Dialog);
  ui::BuildControls(forms::kFrmPswd, this);
  txtPswd_ = ui::Built<QLineEdit>(this, "txtPswd");
  connect(ui::Built<QPushButton>(this, "Command1"), &QPushButton::clicked, this,
          &PasswordDialog::OnOk);
  connect(ui::Built<QPushButton>(this, "Command2"), &QPushButton::clicked, this,
          &PasswordDialog::reject);
}

std::optional<std::u16string> PasswordDialog::Ask(
    PasswordMode mode, std::function<bool(const std::u16string& entry)> accepts) {
  flgSyori = static_cast<std::int16_t>(mode);
  accepts_ = std::move(accepts);
  outcome_.reset();
  txtPswd_->clear();
  // Not centred: the client area opens at a fixed place on the screen.
  ui::PlaceAtOpening(forms::kFrmPswd, this);
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
