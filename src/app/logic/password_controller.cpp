#include "app/logic/password_controller.h"

namespace navelo {

PasswordController::PasswordController(FormView& view, platform::MessageBoxService& messages)
    : view_(view), messages_(messages) {
  view_.SetEvents(this);
}

std::optional<std::u16string> PasswordController::Ask(
    PasswordMode mode, std::function<bool(const std::u16string& entry)> accepts) {
  flgSyori_ = static_cast<std::int16_t>(mode);
  accepts_ = std::move(accepts);
  outcome_.reset();
  view_.SetText("txtPswd", u"");
  view_.Focus("txtPswd");
  view_.RunModal(Owner::kAsker);
  accepts_ = nullptr;
  return outcome_;
}

void PasswordController::OnClick(std::string_view control, int) {
  if (control == "Command1") {
    const std::u16string entry = PasswordEntry(view_.Text("txtPswd"));
    if (!accepts_ || !accepts_(entry)) {
      messages_.Show(u"パスワードが違います");
      return;
    }
    outcome_ = entry;
    view_.EndModal(1);
  } else if (control == "Command2") {
    OnClose();
  }
}

void PasswordController::OnClose() {
  // Cancel, the window manager's close command and every other way out but OK.
  outcome_.reset();
  view_.EndModal(0);
}

}  // namespace navelo
