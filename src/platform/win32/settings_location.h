#pragma once

#include <memory>
#include <string>

#include "settings/location.h"

namespace navelo::platform::win32 {

// Where the settings file lives on this machine: beside the program when its folder is writable,
// otherwise in %APPDATA%\Navelo (created when needed).
SettingsLocation FindSettingsLocation(const std::string& programDirectory);

// One Navelo per settings file: a named mutex the system releases when the process ends.
class InstanceLock {
 public:
  explicit InstanceLock(const std::string& settingsFile);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  // False when another Navelo holds the same settings file.
  bool held() const { return held_; }

 private:
  void* mutex_ = nullptr;
  bool held_ = false;
};

}  // namespace navelo::platform::win32
