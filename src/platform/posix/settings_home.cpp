#include "platform/posix/settings_home.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/posix/file_store.h"
#include "platform/posix/instance_lock.h"

namespace navelo::platform::posix {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string HomeFolder() {
  std::string home = Env("HOME");
  if (!home.empty()) return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_dir) {
    return found->pw_dir;
  }
  return {};
}

// Creates `folder` and any missing parent with mode 0700; the last one is set to 0700 even when
// it was there already, as long as it is this user's.
bool MakePrivateFolder(const std::string& folder, std::string* error) {
  for (std::size_t slash = 1; slash != std::string::npos;) {
    slash = folder.find('/', slash + 1);
    const std::string part = folder.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      if (error) *error = part + ": " + std::strerror(errno);
      return false;
    }
  }
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    if (error) *error = folder + ": not a folder";
    return false;
  }
  if (st.st_uid == ::geteuid() && (st.st_mode & 07777) != 0700) ::chmod(folder.c_str(), 0700);
  return true;
}

}  // namespace

SettingsLocation PosixSettingsHome::Locate(const std::string& programDirectory,
                                           std::string* folderError) {
  const std::string userFolder = UserSettingsFolder(Env("XDG_CONFIG_HOME"), HomeFolder());
  SettingsPlaces places;
  places.programFile =
      (programDirectory.empty() || programDirectory.back() != '/' ? programDirectory + "/"
                                                                  : programDirectory) +
      "Navelo.INI";
  // access() answers for the real user, which is the user running Navelo.
  places.programFolderWritable = ::access(programDirectory.c_str(), W_OK | X_OK) == 0;
  places.programFileReadable = ::access(places.programFile.c_str(), R_OK) == 0;
  if (!userFolder.empty()) {
    places.userFile = userFolder + "/Navelo.INI";
    struct stat st {};
    places.userFileExists = ::lstat(places.userFile.c_str(), &st) == 0;
  }
  SettingsLocation location = ChooseSettingsLocation(places);
  if (location.savePath == places.userFile) MakePrivateFolder(userFolder, folderError);
  return location;
}

std::unique_ptr<platform::InstanceLock> PosixSettingsHome::Lock(const std::string& settingsPath) {
  return std::make_unique<InstanceLock>(settingsPath);
}

std::vector<std::string> PosixSettingsHome::RemoveStrayTemporaries(
    const std::string& settingsPath) {
  return posix::RemoveStrayTemporaries(settingsPath);
}

}  // namespace navelo::platform::posix
