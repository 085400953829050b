#pragma once

#include <string>

#include "platform/settings_home.h"

namespace navelo::platform::posix {

// One Navelo per settings file: an exclusive lock on the folder that holds the file the path
// finally names, held for the life of the process and released by the kernel however the process
// ends. Locking the folder itself, rather than a file beside the settings, leaves nothing that
// can be deleted, replaced or made unopenable to let a second Navelo in; it needs no file to
// exist and no right to write, so it holds in a read-only folder too.
class InstanceLock final : public platform::InstanceLock {
 public:
  explicit InstanceLock(const std::string& settingsPath);
  ~InstanceLock() override;
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace navelo::platform::posix
