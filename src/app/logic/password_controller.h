#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/logic/startup.h"
#include "forms/view.h"
#include "platform/system.h"

namespace navelo {

// frmPswd: asks for the start-up password. Mode 0 checks it against the stored entry at start-up;
// mode 1 confirms a new password the settings dialog is about to set. The caller says which
// entries pass; Cancel, and any close other than OK, is "not confirmed".
class PasswordController final : public FormEvents {
 public:
  PasswordController(FormView& view, platform::MessageBoxService& messages);

  // Shows the dialog modally with an empty entry until OK with an entry `accepts` takes (returned)
  // or a cancel (nothing). Wrong entries are reported and the dialog stays open.
  std::optional<std::u16string> Ask(PasswordMode mode,
                                    std::function<bool(const std::u16string& entry)> accepts);
  // The mode of the current showing.
  std::int16_t flgSyori() const { return flgSyori_; }

  void OnClick(std::string_view control, int index) override;
  void OnClose() override;

 private:
  FormView& view_;
  platform::MessageBoxService& messages_;
  std::int16_t flgSyori_ = 0;
  std::function<bool(const std::u16string&)> accepts_;
  std::optional<std::u16string> outcome_;
};

}  // namespace navelo
