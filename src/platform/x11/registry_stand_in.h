#pragma once

#include <map>

#include "platform/registry.h"

namespace navelo::platform::x11 {

// Linux has no registry. This stand-in answers the one value Navelo asks for, the System
// Information tool's "PATH", with the first desktop system-information program installed
// (hardinfo, kinfocenter, gnome-system-monitor, ...); every other key is missing.
class RegistryStandIn final : public Registry {
 public:
  RegistryStandIn();
  long Open(Key root, const std::string& path, std::uint32_t access, Key& opened) override;
  long Query(Key key, const std::string& name, std::uint32_t& type,
             std::vector<unsigned char>& data, std::uint32_t& size) override;
  long Close(Key key) override;

 private:
  std::string sysInfoPath_;
};

class PosixLauncher final : public ProgramLauncher {
 public:
  bool Start(const std::string& path) override;
  bool FileExists(const std::string& path) const override;
};

}  // namespace navelo::platform::x11
