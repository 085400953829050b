#include "base/settings_location.h"

namespace navelo {

SettingsLocation ChooseSettingsLocation(const SettingsPlaces& places) {
  const std::string& program = places.programFile;
  const std::string& user = places.userFile;
  if (places.programFolderWritable || user.empty()) return {program, program};
  if (!places.userFileExists && places.programFileReadable) return {program, user};
  return {user, user};
}

std::string UserSettingsFolder(const std::string& xdgConfigHome, const std::string& home) {
  // A relative $XDG_CONFIG_HOME is invalid and is ignored.
  if (!xdgConfigHome.empty() && xdgConfigHome.front() == '/') return xdgConfigHome + "/navelo";
  if (!home.empty()) return (home.back() == '/' ? home : home + "/") + ".config/navelo";
  return {};
}

}  // namespace navelo
