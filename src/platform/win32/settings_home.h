#pragma once

#include <string>

#include "platform/settings_home.h"

namespace navelo::platform::win32 {

// Where the settings file lives on Windows (beside the program when its folder is writable,
// otherwise in %APPDATA%\Navelo, created when needed, first read from the VirtualStore copy an
// older copy left under %LOCALAPPDATA%), its single-instance lock, and the clean-up after a
// killed save.
class Win32SettingsHome final : public SettingsHome {
 public:
  SettingsLocation Locate(const std::string& programDirectory, std::string* folderError) override;
  std::unique_ptr<platform::InstanceLock> Lock(const std::string& settingsPath) override;
  std::vector<std::string> RemoveStrayTemporaries(const std::string& settingsPath) override;
};

}  // namespace navelo::platform::win32
