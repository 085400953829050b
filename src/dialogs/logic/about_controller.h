#pragma once

#include <array>
#include <string>

#include "forms/view.h"
#include "platform/sysinfo.h"
#include "platform/system.h"

namespace navelo {

// frmAbout: title, version, description, three links, a legal notice and a starter for the
// system-information tool. A link opens the address it shows and turns italic while the pointer
// is over it; over the dialog's own surface all links turn upright again.
class AboutController final : public FormEvents {
 public:
  struct Context {
    platform::ShellService& shell;
    platform::MessageBoxService& messages;
    platform::SystemInfoService& sysInfo;
    platform::ProgramService& program;
    // The settings file Navelo saves to, and whether it exists yet.
    std::string settingsFile;
    bool settingsFileExists = false;
  };

  AboutController(FormView& view, Context context);

  // Fills the dialog and shows it modally, on its own (owned by no window).
  void ShowModal();

  void OnClick(std::string_view control, int index) override;
  void OnClose() override { view_.EndModal(0); }
  void OnPointer(std::string_view control, int index) override;

 private:
  void SetItalic(int index, bool italic);

  FormView& view_;
  Context ctx_;
  std::array<bool, 3> italic_{};
};

}  // namespace navelo
