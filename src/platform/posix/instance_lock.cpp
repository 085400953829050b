#include "platform/posix/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/posix/file_store.h"

namespace navelo::platform::posix {

InstanceLock::InstanceLock(const std::string& settingsPath)
    : path_(ResolveLinks(settingsPath) + ".lock") {
  // Close-on-exec: programs Navelo starts (the opener, a browser) must not keep the lock alive.
  fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
  if (fd_ < 0) {
    error_ = std::strerror(errno);
    return;
  }
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK) {
      error_ = std::strerror(errno);
      return;
    }
    state_ = State::kTaken;
    char text[32] = {};
    ssize_t n = ::pread(fd_, text, sizeof text - 1, 0);
    if (n > 0) holder_ = static_cast<pid_t>(std::strtol(text, nullptr, 10));
    return;
  }
  state_ = State::kHeld;
  const std::string pid = std::to_string(::getpid()) + "\n";
  if (::ftruncate(fd_, 0) == 0) {
    [[maybe_unused]] ssize_t n = ::pwrite(fd_, pid.data(), pid.size(), 0);
  }
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace navelo::platform::posix
