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
  State state() const { return state_; }
  // The process id of the Navelo that has it, when known; 0 otherwise.
  long holder() const { return holder_; }
  const std::string& error() const { return error_; }
  // What was locked, for messages.
  const std::string& path() const { return path_; }

 protected:
  State state_ = State::kUnavailable;
  long holder_ = 0;
  std::string error_;
  std::string path_;
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
