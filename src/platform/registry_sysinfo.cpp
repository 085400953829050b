#include "platform/registry_sysinfo.h"

#include <algorithm>
#include <vector>

#include "base/text.h"

namespace navelo {
namespace {

// Reading only (KEY_READ: READ_CONTROL, query, enumerate, notify). The keys live under
// HKEY_LOCAL_MACHINE, which an ordinary user may read but not change; asking for the rights to
// set values or create keys there is refused for anyone not running elevated (a program with a
// manifest gets no registry virtualisation to fall back on), so the tool would never be found.
constexpr std::uint32_t kAccess = 0x00020019;

}  // namespace

bool GetKeyValue(platform::Registry& registry, platform::Registry::Key root,
                 const std::u16string& keyName, const std::u16string& subKeyRef,
                 std::u16string& value, const platform::AnsiCodec& codec) {
  platform::Registry::Key key = 0;
  struct Closer {
    platform::Registry& registry;
    platform::Registry::Key& key;
    ~Closer() { registry.Close(key); }
  } closer{registry, key};

  if (registry.Open(root, codec.ToAnsi(keyName), kAccess, key) != 0) {
    value.clear();
    return false;
  }
  std::vector<unsigned char> buffer(1024, 0);
  std::uint32_t size = 1024;
  std::uint32_t type = 0;
  if (registry.Query(key, codec.ToAnsi(subKeyRef), type, buffer, size) != 0) {
    value.clear();
    return false;
  }
  if (size == 0) throw RegistryReadFailure{};
  std::size_t count = std::min<std::size_t>(size, buffer.size());
  if (buffer[count - 1] == 0) --count;
  if (type == platform::Registry::kRegSz) {
    value = codec.FromAnsi(std::string(buffer.begin(), buffer.begin() + static_cast<long>(count)));
  } else if (type == platform::Registry::kRegDword) {
    std::u16string text = u"&h";
    for (std::size_t i = count; i > 0; --i) {
      text.push_back(kHexDigits[buffer[i - 1] >> 4]);
      text.push_back(kHexDigits[buffer[i - 1] & 0xF]);
    }
    value = text;
  }
  return true;
}

bool StartSysInfo(platform::Registry& registry, platform::ProgramLauncher& launcher,
                  const platform::AnsiCodec& codec) {
  try {
    std::u16string path;
    constexpr auto kRoot = platform::Registry::kLocalMachine;
    if (!GetKeyValue(registry, kRoot, u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", u"PATH", path,
                     codec)) {
      if (!GetKeyValue(registry, kRoot, u"SOFTWARE\\Microsoft\\Shared Tools Location", u"MSINFO",
                       path, codec)) {
        return false;
      }
      const std::u16string candidate = path + u"\\MSINFO32.EXE";
      if (!launcher.FileExists(codec.ToAnsi(candidate))) return false;
      path = candidate;
    }
    return launcher.Start(codec.ToAnsi(path));
  } catch (const RegistryReadFailure&) {
    return false;
  }
}

}  // namespace navelo
