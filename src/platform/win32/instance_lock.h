#pragma once

#include <string>

#include "platform/settings_home.h"

namespace navelo::platform::win32 {

// One Navelo per settings file: a named mutex the system releases when the process ends, named
// after the folder that holds the file the path finally names.
class InstanceLock final : public platform::InstanceLock {
 public:
  explicit InstanceLock(const std::string& settingsFile);
  ~InstanceLock() override;
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

 private:
  void* mutex_ = nullptr;
  void* holderRecord_ = nullptr;  // the holder's process id, for a second start to read
};

}  // namespace navelo::platform::win32
