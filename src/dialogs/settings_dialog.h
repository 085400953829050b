#pragma once

#include <QDialog>
#include <array>
#include <functional>

#include "dialogs/logic/settings_form.h"
#include "platform/codec.h"
#include "platform/system.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace navelo {

// frmSet: edits the identifiers, the options, the two recognition titles and the start-up
// password in memory. Loads its controls afresh at every showing; OK copies them back (after a
// changed start-up password has been confirmed); Cancel and any other close copy nothing.
class SettingsDialog : public QDialog {
  Q_OBJECT

 public:
  using Context = SettingsDialogContext;

  explicit SettingsDialog(Context context, QWidget* parent = nullptr);

  // Loads the controls and shows the dialog modally.
  void ShowModal();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Load();
  SettingsForm Read() const;
  void OnOk();
  void Capture(TitleTarget target);

  Context ctx_;
  SettingsForm loaded_;  // what the controls showed when the dialog opened
  QLineEdit *txtNetId_, *txtId_, *txtPswd_, *txtPars_, *txtApatPswd_, *txtChienTime_,
      *txtNavelo_Pswd_;
  std::array<QLineEdit*, 3> txtIpatURL_{};
  QLabel *lblAct_, *lblTouTitle_, *lblShoTitle_, *lblVersion_;
  QCheckBox *optZen_, *optMin_, *optAct_, *optChien_;
};

}  // namespace navelo
