#include "platform/registry_sysinfo.h"

#include <gtest/gtest.h>

#include <map>

namespace navelo {
namespace {

using platform::Registry;

struct FakeValue {
  std::uint32_t type;
  std::vector<unsigned char> bytes;
};

// Keys by path, values by name; counts open handles.
class FakeRegistry final : public Registry {
 public:
  std::map<std::u16string, std::map<std::u16string, FakeValue>> keys;
  int open = 0;
  std::vector<std::uint32_t> accessSeen;

  long Open(Key, const std::u16string& path, std::uint32_t access, Key& opened) override {
    accessSeen.push_back(access);
    auto it = keys.find(path);
    if (it == keys.end()) {
      opened = 0;
      return 2;
    }
    ++open;
    opened = reinterpret_cast<Key>(&it->second);
    return 0;
  }
  long Query(Key key, const std::u16string& name, std::uint32_t& type,
             std::vector<unsigned char>& data, std::uint32_t& size) override {
    auto& values = *reinterpret_cast<std::map<std::u16string, FakeValue>*>(key);
    auto it = values.find(name);
    if (it == values.end()) return 2;
    type = it->second.type;
    size = static_cast<std::uint32_t>(it->second.bytes.size());
    std::copy(it->second.bytes.begin(), it->second.bytes.end(), data.begin());
    return 0;
  }
  long Close(Key key) override {
    if (key != 0) --open;
    return 0;
  }
};

class FakeLauncher final : public platform::ProgramLauncher {
 public:
  std::vector<std::string> started;
  std::vector<std::string> files;
  bool Start(const std::string& path) override {
    started.push_back(path);
    return FileExists(path);
  }
  bool FileExists(const std::string& path) const override {
    return std::find(files.begin(), files.end(), path) != files.end();
  }
};

// A string value as the registry holds it: UTF-16LE bytes.
std::vector<unsigned char> Bytes(std::u16string_view s) {
  std::vector<unsigned char> bytes;
  for (char16_t c : s) {
    bytes.push_back(static_cast<unsigned char>(c & 0xFF));
    bytes.push_back(static_cast<unsigned char>(c >> 8));
  }
  return bytes;
}

const std::u16string kMsinfo = u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::u16string kLocation = u"SOFTWARE\\Microsoft\\Shared Tools Location";

class SysInfoTest : public ::testing::Test {
 protected:
  FakeRegistry registry;
  FakeLauncher launcher;
  std::u16string Read(const std::u16string& key, const std::u16string& name, bool* ok = nullptr) {
    std::u16string value = u"untouched";
    bool result = GetKeyValue(registry, Registry::kLocalMachine, key, name, value);
    if (ok) *ok = result;
    return value;
  }
};

TEST_F(SysInfoTest, ValuesAsText) {
  registry.keys[kMsinfo][u"z"] = {Registry::kRegSz, Bytes(std::u16string_view(u"C:\\x.exe\0", 9))};
  registry.keys[kMsinfo][u"n"] = {Registry::kRegSz, Bytes(u"C:\\y.exe")};
  registry.keys[kMsinfo][u"d"] = {Registry::kRegDword, {0x02, 0x01, 0x00, 0x00}};
  registry.keys[kMsinfo][u"e"] = {Registry::kRegExpandSz, Bytes(u"%x%")};
  bool ok = false;
  EXPECT_EQ(Read(kMsinfo, u"z", &ok), u"C:\\x.exe");  // without its terminating zero
  EXPECT_TRUE(ok);
  EXPECT_EQ(Read(kMsinfo, u"n"), u"C:\\y.exe");  // all its bytes
  EXPECT_EQ(Read(kMsinfo, u"d"), u"&h000102");
  EXPECT_EQ(Read(kMsinfo, u"e", &ok), u"untouched");  // another type: left as passed
  EXPECT_TRUE(ok);
  EXPECT_EQ(Read(kMsinfo, u"missing", &ok), u"");
  EXPECT_FALSE(ok);
  EXPECT_EQ(Read(u"no such key", u"x", &ok), u"");
  EXPECT_FALSE(ok);
  EXPECT_EQ(registry.open, 0);                          // closed on every path
  EXPECT_EQ(registry.accessSeen.front(), 0x00020019u);  // KEY_READ: what any user may have there
}

TEST_F(SysInfoTest, EmptyValueIsAFailureNotAMissingValue) {
  registry.keys[kMsinfo][u"PATH"] = {Registry::kRegSz, {}};
  EXPECT_THROW(Read(kMsinfo, u"PATH"), RegistryReadFailure);
  EXPECT_EQ(registry.open, 0);
  // StartSysInfo then gives up at once, without the second key.
  registry.keys[kLocation][u"MSINFO"] = {Registry::kRegSz, Bytes(u"C:\\tools")};
  launcher.files = {"C:\\tools\\MSINFO32.EXE"};
  EXPECT_FALSE(StartSysInfo(registry, launcher));
  EXPECT_TRUE(launcher.started.empty());
}

TEST_F(SysInfoTest, StartsThePathOrTheToolInTheLocation) {
  // The launcher takes the path as UTF-8.
  registry.keys[kMsinfo][u"PATH"] = {Registry::kRegSz,
                                     Bytes(std::u16string_view(u"C:\\ツール\\msinfo32.exe\0", 20))};
  launcher.files = {"C:\\ツール\\msinfo32.exe"};
  EXPECT_TRUE(StartSysInfo(registry, launcher));
  EXPECT_EQ(launcher.started, std::vector<std::string>{"C:\\ツール\\msinfo32.exe"});

  // A PATH naming no file: no fall-back to the second key.
  launcher.started.clear();
  launcher.files.clear();
  registry.keys[kLocation][u"MSINFO"] = {Registry::kRegSz, Bytes(u"C:\\tools")};
  EXPECT_FALSE(StartSysInfo(registry, launcher));
  EXPECT_EQ(launcher.started.size(), 1u);

  // No PATH: the location's MSINFO32.EXE when it is there.
  registry.keys[kMsinfo].clear();
  launcher.started.clear();
  EXPECT_FALSE(StartSysInfo(registry, launcher));  // the folder lacks the file
  EXPECT_TRUE(launcher.started.empty());
  launcher.files = {"C:\\tools\\MSINFO32.EXE"};
  EXPECT_TRUE(StartSysInfo(registry, launcher));
  EXPECT_EQ(launcher.started, std::vector<std::string>{"C:\\tools\\MSINFO32.EXE"});

  // A PATH of another type reads as empty text, which starts nothing.
  registry.keys[kMsinfo][u"PATH"] = {Registry::kRegExpandSz, Bytes(u"%SystemRoot%")};
  launcher.started.clear();
  EXPECT_FALSE(StartSysInfo(registry, launcher));
  EXPECT_EQ(launcher.started, std::vector<std::string>{""});

  // Nothing anywhere.
  registry.keys.clear();
  EXPECT_FALSE(StartSysInfo(registry, launcher));
}

}  // namespace
}  // namespace navelo
