#include "platform/registry_sysinfo.h"

#include <algorithm>
#include <vector>

#include "base/text.h"
#include "base/utf8.h"

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
                 std::u16string& value) {
  platform::Registry::Key key = 0;
  struct Closer {
    platform::Registry& registry;
    platform::Registry::Key& key;
    ~Closer() { registry.Close(key); }
  } closer{registry, key};

  if (registry.Open(root, keyName, kAccess, key) != 0) {
    value.clear();
    return false;
  }
  // Room for 1024 characters, as many as a value of the ANSI code page's bytes could hold.
  std::vector<unsigned char> buffer(2048, 0);
  std::uint32_t size = 2048;
  std::uint32_t type = 0;
  if (registry.Query(key, subKeyRef, type, buffer, size) != 0) {
    value.clear();
    return false;
  }
  if (size == 0) throw RegistryReadFailure{};
  std::size_t count = std::min<std::size_t>(size, buffer.size());
  if (type == platform::Registry::kRegSz) {
    // Without its terminating zero character.
    std::u16string text;
    for (std::size_t i = 0; i + 1 < count; i += 2) {
      text.push_back(static_cast<char16_t>(buffer[i] | buffer[i + 1] << 8));
    }
    if (!text.empty() && text.back() == u'\0') text.pop_back();
    value = text;
    return true;
  }
  if (buffer[count - 1] == 0) --count;
  if (type == platform::Registry::kRegDword) {
    std::u16string text = u"&h";
    for (std::size_t i = count; i > 0; --i) {
      text.push_back(kHexDigits[buffer[i - 1] >> 4]);
      text.push_back(kHexDigits[buffer[i - 1] & 0xF]);
    }
    value = text;
  }
  return true;
}

bool StartSysInfo(platform::Registry& registry, platform::ProgramLauncher& launcher) {
  try {
    std::u16string path;
    constexpr auto kRoot = platform::Registry::kLocalMachine;
    if (!GetKeyValue(registry, kRoot, u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", u"PATH",
                     path)) {
      if (!GetKeyValue(registry, kRoot, u"SOFTWARE\\Microsoft\\Shared Tools Location", u"MSINFO",
                       path)) {
        return false;
      }
      const std::u16string candidate = path + u"\\MSINFO32.EXE";
      if (!launcher.FileExists(ToUtf8(candidate))) return false;
      path = candidate;
    }
    return launcher.Start(ToUtf8(path));
  } catch (const RegistryReadFailure&) {
    return false;
  }
}

}  // namespace navelo
