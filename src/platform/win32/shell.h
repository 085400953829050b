#pragma once

#include "platform/registry.h"
#include "platform/sysinfo.h"
#include "platform/system.h"

namespace navelo::platform::win32 {

// MessageBoxW: the text, an OK button, no icon, owned by the active window of this program.
class Win32MessageBox final : public MessageBoxService {
 public:
  void Show(const std::u16string& text, const std::u16string& title) override;
};

// ShellExecuteW with the verb "open".
class Win32Shell final : public ShellService {
 public:
  bool Open(const std::u16string& target) override;
};

// The registry's wide-character calls.
class Win32Registry final : public Registry {
 public:
  long Open(Key root, const std::u16string& path, std::uint32_t access, Key& opened) override;
  long Query(Key key, const std::u16string& name, std::uint32_t& type,
             std::vector<unsigned char>& data, std::uint32_t& size) override;
  long Close(Key key) override;
};

class Win32Launcher final : public ProgramLauncher {
 public:
  bool Start(const std::string& path) override;
  bool FileExists(const std::string& path) const override;
};

}  // namespace navelo::platform::win32
