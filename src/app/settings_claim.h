#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/codec.h"
#include "platform/posix/instance_lock.h"
#include "platform/x11/x11_windows.h"
#include "settings/settings_store.h"

class QWidget;

namespace navelo {

// The settings file this run works with, held for this process alone.
struct ClaimedSettingsFile {
  std::string readPath;
  std::string savePath;
  std::unique_ptr<platform::posix::InstanceLock> lock;  // held until the process ends
};

// Chooses where the settings file lives, takes its single-instance lock and, holding it, removes
// the temporaries of a save that was killed. Returns nothing when another Navelo already works
// with that file: its panel has been brought to the front, and this process must end without
// writing anything.
std::optional<ClaimedSettingsFile> ClaimSettingsFile(const std::string& programDirectory,
                                                     platform::x11::X11Connection& x11);

// Saves the record with the panel's current position without showing anything, reporting a
// failure on standard error: for a process that ends because its display went away.
void SaveWithoutWindows(SettingsStore& store, const QWidget& panel);

}  // namespace navelo
