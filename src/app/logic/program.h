#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/logic/password_controller.h"
#include "delivery/delivery.h"
#include "forms/view.h"
#include "panel/logic/panel_controller.h"
#include "platform/codec.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "platform/settings_home.h"
#include "platform/sysinfo.h"
#include "platform/system.h"
#include "settings/settings_file.h"
#include "settings/settings_store.h"

namespace navelo {

// Everything Navelo takes from the platform and the front end; the program's entry makes these
// and hands them over.
struct ProgramServices {
  platform::ProgramService& program;
  platform::FileStore& files;
  const platform::AnsiCodec& codec;
  platform::MessageBoxService& messages;
  platform::ShellService& shell;
  platform::SystemInfoService& sysInfo;
  platform::SettingsHome& home;
  platform::Desktop& desktop;
  ViewFactory& views;
};

// Navelo from start to end, whatever draws its windows: claims the settings file, reads it once,
// asks for the start-up password, shows the panel and saves once at the end (the panel closed,
// a stop request, the end of the session, the display gone). Holds the settings store, the
// delivery and the windows for the whole run.
class Program {
 public:
  explicit Program(ProgramServices services);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Runs start-up up to the panel shown. Ends the process at once, writing nothing, when another
  // Navelo works with the same settings file (brought to the front instead) or the start-up
  // password is not confirmed. Afterwards the event loop runs the panel.
  void Start();

  // Once started.
  SettingsStore& store() { return *store_; }
  PanelController& panel() { return *panel_; }

 private:
  // Chooses the settings file and takes its lock; false when another Navelo has it. Says at
  // once when the settings cannot be saved: no folder for them, or no lock to be had.
  bool Claim();
  std::optional<std::u16string> AskPassword(PasswordMode mode,
                                            std::function<bool(const std::u16string&)> accepts);
  void ShowPanel();
  void OpenSettings();
  void OpenAbout();

  ProgramServices s_;
  std::unique_ptr<platform::InstanceLock> lock_;
  bool writes_ = true;  // false without a lock: the settings file is then never written
  std::optional<SettingsFile> file_;
  std::optional<SettingsStore> store_;
  Delivery delivery_;
  std::unique_ptr<FormView> passwordView_;
  std::optional<PasswordController> password_;
  std::unique_ptr<PanelView> panelView_;
  std::optional<PanelController> panel_;
};

}  // namespace navelo
