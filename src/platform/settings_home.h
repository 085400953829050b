#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/settings_location.h"

namespace navelo::platform {

// One Navelo per settings file: held for the life of the process, let go by the system however
// the process ends.
class InstanceLock {
 public:
  enum class State {
    kHeld,         // this process has it
    kTaken,        // another Navelo has it
    kUnavailable,  // no lock can be had here (the reason is in error())
  };
  virtual ~InstanceLock() = default;
  virtual State state() const = 0;
  // The process id of the Navelo that has it, when known; 0 otherwise.
  virtual long holder() const = 0;
  virtual std::string error() const = 0;
  // What was locked, for messages.
  virtual std::string path() const = 0;
};

// Where the settings file lives and who works with it.
class SettingsHome {
 public:
  virtual ~SettingsHome() = default;
  // Chooses where the settings file is read and saved, making the user's settings folder when it
  // is the one. `folderError` gets the reason when that folder could not be made.
  virtual SettingsLocation Locate(const std::string& programDirectory,
                                  std::string* folderError) = 0;
  virtual std::unique_ptr<InstanceLock> Lock(const std::string& settingsPath) = 0;
  // Removes what a killed save left beside the file; returns their paths. Only while holding its
  // lock.
  virtual std::vector<std::string> RemoveStrayTemporaries(const std::string& settingsPath) = 0;
};

}  // namespace navelo::platform
