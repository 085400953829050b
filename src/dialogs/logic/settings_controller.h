#pragma once

#include "dialogs/logic/settings_form.h"
#include "forms/view.h"

namespace navelo {

// A click on a check box: checked becomes unchecked; unchecked, and the undecided state of a
// stored value outside 0 and 1, become checked.
int NextCheckState(int state);

// frmSet: edits the identifiers, the options, the two recognition titles and the start-up
// password in memory. Loads its controls afresh at every showing; OK copies them back (after a
// changed start-up password has been confirmed); Cancel and any other close copy nothing.
class SettingsController final : public FormEvents {
 public:
  SettingsController(FormView& view, SettingsDialogContext context);

  // Loads the controls and shows the dialog modally; true when OK closed it.
  bool ShowModal();

  void OnClick(std::string_view control, int index) override;
  void OnClose() override { view_.EndModal(0); }

 private:
  void Load();
  SettingsForm Read() const;
  void EnableDelayTime();

  FormView& view_;
  SettingsDialogContext ctx_;
  SettingsForm loaded_;  // what the controls showed when the dialog opened
  SettingsForm shown_;   // the check boxes as they are now
};

}  // namespace navelo
