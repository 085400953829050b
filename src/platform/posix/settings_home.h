#pragma once

#include <string>

#include "platform/settings_home.h"

namespace navelo::platform::posix {

// Where the settings file lives on Linux, its single-instance lock, and the clean-up after a
// killed save.
class PosixSettingsHome final : public SettingsHome {
 public:
  // Looks at the program's folder and the user's settings folder (as this user, not as the file
  // system's owner would). When the user's folder is chosen, creates it, readable by the user
  // alone (0700).
  SettingsLocation Locate(const std::string& programDirectory, std::string* folderError) override;
  std::unique_ptr<platform::InstanceLock> Lock(const std::string& settingsPath) override;
  std::vector<std::string> RemoveStrayTemporaries(const std::string& settingsPath) override;
};

}  // namespace navelo::platform::posix
