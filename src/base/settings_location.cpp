#include "base/settings_location.h"

namespace navelo {

SettingsLocation ChooseSettingsLocation(const SettingsPlaces& places) {
  const std::string& program = places.programFile;
  const std::string& user = places.userFile;
  if (places.programFolderWritable || user.empty()) return {program, program};
  if (!places.userFileExists && places.virtualStoreFileReadable) {
    return {places.virtualStoreFile, user};
  }
  if (!places.userFileExists && places.programFileReadable) return {program, user};
  return {user, user};
}

std::string VirtualStoreFile(const std::string& localAppData, const std::string& file) {
  const bool drive = file.size() > 3 &&
                     ((file[0] >= 'A' && file[0] <= 'Z') || (file[0] >= 'a' && file[0] <= 'z')) &&
                     file[1] == ':' && file[2] == '\\';
  if (localAppData.empty() || !drive) return {};
  return localAppData + "\\VirtualStore" + file.substr(2);
}

std::string UserSettingsFolder(const std::string& xdgConfigHome, const std::string& home) {
  // A relative $XDG_CONFIG_HOME is invalid and is ignored.
  if (!xdgConfigHome.empty() && xdgConfigHome.front() == '/') return xdgConfigHome + "/navelo";
  if (!home.empty()) return (home.back() == '/' ? home : home + "/") + ".config/navelo";
  return {};
}

}  // namespace navelo
