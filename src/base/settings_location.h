#pragma once

#include <string>

namespace navelo {

// What decides where the settings file lives, as found on the machine.
struct SettingsPlaces {
  std::string programFile;  // Navelo.INI in the program's folder
  bool programFolderWritable = false;
  bool programFileReadable = false;  // it exists and this user may read it
  std::string userFile;              // Navelo.INI in the user's folder; empty when none is known
  bool userFileExists = false;
};

// The file read at start and the file saved to; they differ only for the first run of an
// installed copy that finds settings beside itself.
struct SettingsLocation {
  std::string readPath;
  std::string savePath;
  bool operator==(const SettingsLocation&) const = default;
};

// Beside the program when its folder is writable (a portable copy); otherwise the user's own
// file. An installed copy whose folder holds a readable settings file, and whose user has none
// yet, reads that file once and saves to the user's file.
SettingsLocation ChooseSettingsLocation(const SettingsPlaces& places);

// The user's settings folder: `$XDG_CONFIG_HOME/navelo` when that variable holds an absolute
// path, otherwise `~/.config/navelo`; empty when neither is known.
std::string UserSettingsFolder(const std::string& xdgConfigHome, const std::string& home);

}  // namespace navelo
