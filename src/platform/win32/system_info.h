#pragma once

#include "platform/sysinfo.h"
#include "platform/win32/shell.h"

namespace navelo::platform::win32 {

// The System Information tool, found through the registry as Windows records it.
class Win32SystemInfo final : public SystemInfoService {
 public:
  bool Start() override;

 private:
  Win32Registry registry_;
  Win32Launcher launcher_;
};

}  // namespace navelo::platform::win32
