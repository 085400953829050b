#include "platform/win32/system_info.h"

#include "platform/registry_sysinfo.h"

namespace navelo::platform::win32 {

bool Win32SystemInfo::Start() {
  return StartSysInfo(registry_, launcher_);
}

}  // namespace navelo::platform::win32
