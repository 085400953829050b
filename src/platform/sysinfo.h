#pragma once

namespace navelo::platform {

// The platform's system-information tool (the about box's button).
class SystemInfoService {
 public:
  virtual ~SystemInfoService() = default;
  // Starts the tool without waiting for it; false when there is none or it cannot be started.
  virtual bool Start() = 0;
};

}  // namespace navelo::platform
