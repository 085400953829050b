#pragma once

#include <sys/types.h>

#include <string>

namespace navelo::platform::posix {

// One Navelo per settings file: an exclusive lock on "<settings file>.lock" (beside the file the
// path finally names), held for the life of the process and released by the kernel however the
// process ends. The lock file holds the process id of its holder.
class InstanceLock {
 public:
  enum class State {
    kHeld,         // this process has it
    kTaken,        // another process has it
    kUnavailable,  // no lock file can be made here (the reason is in error())
  };

  explicit InstanceLock(const std::string& settingsPath);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  State state() const { return state_; }
  // The holder's process id when another process has the lock and wrote it; 0 otherwise.
  pid_t holder() const { return holder_; }
  const std::string& error() const { return error_; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;
  State state_ = State::kUnavailable;
  pid_t holder_ = 0;
  std::string error_;
};

}  // namespace navelo::platform::posix
