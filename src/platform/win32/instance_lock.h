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

  State state() const override { return state_; }
  long holder() const override { return holder_; }
  std::string error() const override { return error_; }
  std::string path() const override { return path_; }

 private:
  std::string path_;
  void* mutex_ = nullptr;
  void* holderRecord_ = nullptr;  // the holder's process id, for a second start to read
  long holder_ = 0;
  State state_ = State::kUnavailable;
  std::string error_;
};

}  // namespace navelo::platform::win32
