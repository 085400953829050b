#include "platform/system.h"

#include "base/utf8.h"

namespace navelo::platform {

std::u16string ShellService::AddressOf(const std::string& path) const {
  return FromUtf8(path);
}

}  // namespace navelo::platform
