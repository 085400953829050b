#pragma once

#include <functional>

#include "platform/system.h"

namespace navelo::platform::win32 {

// The program's folder and its lifetime. The end of the Windows session reaches the program as
// window messages: the front end passes them on with SessionEnding.
class Win32Program final : public ProgramService {
 public:
  std::string ProgramDirectory() const override;
  std::string JoinPath(const std::string& dir, const std::string& name) const override;
  [[noreturn]] void EndNow(int code) override;
  void OnTerminationRequest(std::function<void()> handler) override;

  // The session is ending (WM_QUERYENDSESSION / WM_ENDSESSION): runs the handler once.
  void SessionEnding();

 private:
  std::function<void()> handler_;
  bool fired_ = false;
};

}  // namespace navelo::platform::win32
