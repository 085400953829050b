#include "platform/posix/system_info.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string_view>

namespace navelo::platform::posix {
namespace {

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string PosixSystemInfo::FindTool() {
  const char* env = std::getenv("PATH");
  const std::string_view path = env != nullptr ? env : "/usr/local/bin:/usr/bin:/bin";
  for (const char* program : {"hardinfo", "kinfocenter", "gnome-system-monitor",
                              "mate-system-monitor", "xfce4-taskmanager", "lxtask"}) {
    std::size_t begin = 0;
    while (begin <= path.size()) {
      std::size_t end = path.find(':', begin);
      if (end == std::string_view::npos) end = path.size();
      const std::string_view dir = path.substr(begin, end - begin);
      if (!dir.empty()) {
        std::string candidate = std::string(dir) + "/" + program;
        if (IsExecutableFile(candidate)) return candidate;
      }
      begin = end + 1;
    }
  }
  return {};
}

bool PosixSystemInfo::Start() {
  const std::string tool = FindTool();
  return !tool.empty() && StartDetached(tool);
}

bool StartDetached(const std::string& path) {
  if (!IsExecutableFile(path)) return false;
  // Closed by a successful exec: a byte read from it says the program could not be started.
  int failed[2];
  if (::pipe2(failed, O_CLOEXEC) != 0) return false;
  const pid_t child = ::fork();
  if (child < 0) {
    ::close(failed[0]);
    ::close(failed[1]);
    return false;
  }
  if (child == 0) {
    // The intermediate child starts the program in a new session and ends at once, so the
    // program is adopted by init and never waited for here.
    ::close(failed[0]);
    ::setsid();
    const char byte = 1;
    const pid_t grandchild = ::fork();
    if (grandchild == 0) {
      // Navelo ignores SIGPIPE; the tool starts with the default.
      ::signal(SIGPIPE, SIG_DFL);
      char* const argv[] = {const_cast<char*>(path.c_str()), nullptr};
      ::execv(path.c_str(), argv);
      [[maybe_unused]] ssize_t n = ::write(failed[1], &byte, 1);
      ::_exit(127);
    }
    if (grandchild < 0) {
      [[maybe_unused]] ssize_t n = ::write(failed[1], &byte, 1);
    }
    ::_exit(0);
  }
  ::close(failed[1]);
  char byte = 0;
  ssize_t n = 0;
  do {
    n = ::read(failed[0], &byte, 1);
  } while (n < 0 && errno == EINTR);
  ::close(failed[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  return n == 0;
}

}  // namespace navelo::platform::posix
