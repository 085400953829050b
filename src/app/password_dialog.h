#pragma once

#include <QDialog>
#include <cstdint>

#include "platform/codec.h"
#include "platform/system.h"
#include "settings/settings.h"

class QLineEdit;

namespace navelo {

// frmPswd: asks for the start-up password. Mode 0 checks it against the stored entry at start-up;
// mode 1 confirms a new password the settings dialog has put in memory. Cancel, and any close
// other than OK, leaves the start-up password empty: the caller then knows it was not confirmed.
class PasswordDialog : public QDialog {
  Q_OBJECT

 public:
  PasswordDialog(SettingsRecord& record, const SettingsFile& file, const platform::AnsiCodec& codec,
                 platform::MessageBoxService& messages, QWidget* parent = nullptr);

  std::int16_t flgSyori = 0;

  // Shows the dialog modally with an empty entry.
  void ShowModal();

  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OnOk();

  SettingsRecord& record_;
  const SettingsFile& file_;
  const platform::AnsiCodec& codec_;
  platform::MessageBoxService& messages_;
  QLineEdit* txtPswd_ = nullptr;
};

}  // namespace navelo
