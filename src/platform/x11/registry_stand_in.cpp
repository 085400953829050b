#include "platform/x11/registry_stand_in.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <cstdlib>
#include <cstring>

namespace navelo::platform::x11 {
namespace {

constexpr long kSuccess = 0;
constexpr long kFileNotFound = 2;
constexpr Registry::Key kSysInfoKey = 1;
constexpr const char* kSysInfoPath = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";

bool SameIgnoringCase(const std::string& a, const char* b) {
  return a.size() == std::strlen(b) && strncasecmp(a.c_str(), b, a.size()) == 0;
}

}  // namespace

RegistryStandIn::RegistryStandIn() {
  for (const char* program : {"hardinfo", "kinfocenter", "gnome-system-monitor",
                              "mate-system-monitor", "xfce4-taskmanager", "lxtask"}) {
    const QString found = QStandardPaths::findExecutable(QString::fromLatin1(program));
    if (!found.isEmpty()) {
      sysInfoPath_ = found.toStdString();
      break;
    }
  }
}

long RegistryStandIn::Open(Key root, const std::string& path, std::uint32_t, Key& opened) {
  opened = 0;
  if (root != kLocalMachine || !SameIgnoringCase(path, kSysInfoPath) || sysInfoPath_.empty()) {
    return kFileNotFound;
  }
  opened = kSysInfoKey;
  return kSuccess;
}

long RegistryStandIn::Query(Key key, const std::string& name, std::uint32_t& type,
                            std::vector<unsigned char>& data, std::uint32_t& size) {
  if (key != kSysInfoKey || !SameIgnoringCase(name, "PATH")) return kFileNotFound;
  // A string value stored with its terminating zero.
  const std::uint32_t needed = static_cast<std::uint32_t>(sysInfoPath_.size() + 1);
  type = kRegSz;
  if (needed > size || needed > data.size()) {
    size = needed;
    return 234;  // more data than the buffer holds
  }
  std::memcpy(data.data(), sysInfoPath_.c_str(), needed);
  size = needed;
  return kSuccess;
}

long RegistryStandIn::Close(Key) {
  return kSuccess;
}

bool PosixLauncher::Start(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || ::access(path.c_str(), X_OK) != 0) {
    return false;
  }
  return QProcess::startDetached(QString::fromStdString(path), {});
}

bool PosixLauncher::FileExists(const std::string& path) const {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace navelo::platform::x11
