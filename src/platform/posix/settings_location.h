#pragma once

#include <string>

#include "settings/location.h"

namespace navelo::platform::posix {

// Looks at the program's folder and the user's settings folder (as this user, not as the file
// system's owner would) and chooses where the settings file is read and saved. When that is the
// user's folder, creates it, readable by the user alone (0700). `folderError` gets the reason
// when the folder could not be made; saving will then report it too.
SettingsLocation FindSettingsLocation(const std::string& programDirectory,
                                      std::string* folderError = nullptr);

}  // namespace navelo::platform::posix
