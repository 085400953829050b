#pragma once

#include <string>

#include "platform/sysinfo.h"

namespace navelo::platform::posix {

// The first desktop system-information program found on the PATH (hardinfo, kinfocenter,
// gnome-system-monitor, ...), started detached.
class PosixSystemInfo final : public SystemInfoService {
 public:
  bool Start() override;

  // The tool Start would run, or "" when none is installed.
  static std::string FindTool();
};

// Starts `path` with no arguments in its own session, without waiting for it and without leaving
// a zombie behind. False when it is not an executable file or could not be started.
bool StartDetached(const std::string& path);

}  // namespace navelo::platform::posix
