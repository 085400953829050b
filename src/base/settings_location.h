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
  // Windows: where an older copy run without a manifest had its writes to the program's file
  // redirected (the VirtualStore); empty elsewhere.
  std::string virtualStoreFile;
  bool virtualStoreFileReadable = false;
};

// The file read at start and the file saved to; they differ only for the first run of an
// installed copy that finds settings beside itself.
struct SettingsLocation {
  std::string readPath;
  std::string savePath;
  bool operator==(const SettingsLocation&) const = default;
};

// Beside the program when its folder is writable (a portable copy); otherwise the user's own
// file. An installed copy whose user has none yet reads the settings it finds once, and saves to
// the user's file: the VirtualStore copy of the program's file, which is what an older copy saw
// and saved last, or else the file beside the program.
SettingsLocation ChooseSettingsLocation(const SettingsPlaces& places);

// Windows: the VirtualStore copy of a file, under the user's local application data, for a path
// on a drive ("C:\Program Files\Navelo\Navelo.INI" gives
// "<localAppData>\VirtualStore\Program Files\Navelo\Navelo.INI"); empty when either is unknown
// or the path has no drive letter.
std::string VirtualStoreFile(const std::string& localAppData, const std::string& file);

// The user's settings folder: `$XDG_CONFIG_HOME/navelo` when that variable holds an absolute
// path, otherwise `~/.config/navelo`; empty when neither is known.
std::string UserSettingsFolder(const std::string& xdgConfigHome, const std::string& home);

}  // namespace navelo
