#include "platform/posix/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/posix/file_store.h"

namespace navelo::platform::posix {

namespace {

// The process holding an exclusive flock on the file or folder (device, inode), from the
// kernel's list of locks; 0 when none is listed.
pid_t FlockHolder(dev_t device, ino_t inode) {
  // Lines such as "2: FLOCK  ADVISORY  WRITE 4321 fe:00:5489080 0 EOF": the device's major and
  // minor numbers in hexadecimal, the inode in decimal. A lock that waits carries "->".
  char id[64];
  std::snprintf(id, sizeof id, "%02x:%02x:%llu", major(device), minor(device),
                static_cast<unsigned long long>(inode));
  std::ifstream in("/proc/locks");
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::string number, kind, mode, access, object;
    long pid = 0;
    if (!(fields >> number >> kind) || kind != "FLOCK") continue;
    if (fields >> mode >> access >> pid >> object && object == id && access == "WRITE") {
      return static_cast<pid_t>(pid);
    }
  }
  return 0;
}

}  // namespace

InstanceLock::InstanceLock(const std::string& settingsPath) {
  path_ = DirectoryOf(ResolveLinks(settingsPath));
  // Close-on-exec: programs Navelo starts (the opener, a browser) must not keep the lock alive.
  fd_ = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY);
  if (fd_ < 0) {
    error_ = std::strerror(errno);
    return;
  }
  if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
    state_ = State::kHeld;
    return;
  }
  if (errno != EWOULDBLOCK) {
    error_ = std::strerror(errno);
    return;
  }
  state_ = State::kTaken;
  struct stat st {};
  if (::fstat(fd_, &st) == 0) holder_ = FlockHolder(st.st_dev, st.st_ino);
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace navelo::platform::posix
