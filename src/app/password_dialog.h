#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/logic/startup.h"
#include "platform/system.h"

class QLineEdit;

namespace navelo {

// frmPswd: asks for the start-up password. Mode 0 checks it against the stored entry at start-up;
// mode 1 confirms a new password the settings dialog is about to set. The caller says which
// entries pass; Cancel, and any close other than OK, is "not confirmed".
class PasswordDialog : public QDialog {
  Q_OBJECT

 public:
  explicit PasswordDialog(platform::MessageBoxService& messages, QWidget* parent = nullptr);

  // The mode of the current showing.
  std::int16_t flgSyori = 0;

  // Shows the dialog modally with an empty entry until OK with an entry `accepts` takes (returned)
  // or a cancel (nothing).
  std::optional<std::u16string> Ask(PasswordMode mode,
                                    std::function<bool(const std::u16string& entry)> accepts);

  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OnOk();

  platform::MessageBoxService& messages_;
  std::function<bool(const std::u16string&)> accepts_;
  std::optional<std::u16string> outcome_;
  QLineEdit* txtPswd_ = nullptr;
};

}  // namespace navelo
