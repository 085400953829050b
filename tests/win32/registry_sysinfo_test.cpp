#include "platform/registry_sysinfo.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/testing/native_codec.h"

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
  std::map<std::string, std::map<std::string, FakeValue>> keys;
  int open = 0;
  std::vector<std::uint32_t> accessSeen;

  long Open(Key, const std::string& path, std::uint32_t access, Key& opened) override {
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
  long Query(Key key, const std::string& name, std::uint32_t& type,
             std::vector<unsigned char>& data, std::uint32_t& size) override {
    auto& values = *reinterpret_cast<std::map<std::string, FakeValue>*>(key);
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

std::vector<unsigned char> Bytes(const std::string& s) {
  return {s.begin(), s.end()};
}

const std::string kMsinfo = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kLocation = "SOFTWARE\\Microsoft\\Shared Tools Location";

class SysInfoTest : public ::testing::Test {
 protected:
  platform::testing::NativeCodec codec;
  FakeRegistry registry;
  FakeLauncher launcher;
  std::u16string Read(const std::string& key, const std::string& name, bool* ok = nullptr) {
    std::u16string value = u"untouched";
    bool result = GetKeyValue(registry, Registry::kLocalMachine, codec.FromAnsi(key),
                              codec.FromAnsi(name), value, codec);
    if (ok) *ok = result;
    return value;
  }
};

TEST_F(SysInfoTest, ValuesAsText) {
  registry.keys[kMsinfo]["z"] = {Registry::kRegSz, Bytes(std::string("C:\\x.exe\0", 9))};
  registry.keys[kMsinfo]["n"] = {Registry::kRegSz, Bytes("C:\\y.exe")};
  registry.keys[kMsinfo]["d"] = {Registry::kRegDword, {0x02, 0x01, 0x00, 0x00}};
  registry.keys[kMsinfo]["e"] = {Registry::kRegExpandSz, Bytes("%x%")};
  bool ok = false;
  EXPECT_EQ(Read(kMsinfo, "z", &ok), u"C:\\x.exe");  // without its terminating zero
  EXPECT_TRUE(ok);
  EXPECT_EQ(Read(kMsinfo, "n"), u"C:\\y.exe");  // all its bytes
  EXPECT_EQ(Read(kMsinfo, "d"), u"&h000102");
  EXPECT_EQ(Read(kMsinfo, "e", &ok), u"untouched");  // another type: left as passed
  EXPECT_TRUE(ok);
  EXPECT_EQ(Read(kMsinfo, "missing", &ok), u"");
  EXPECT_FALSE(ok);
  EXPECT_EQ(Read("no such key", "x", &ok), u"");
  EXPECT_FALSE(ok);
  EXPECT_EQ(registry.open, 0);                          // closed on every path
  EXPECT_EQ(registry.accessSeen.front(), 0x00020019u);  // KEY_READ: what any user may have there
}

TEST_F(SysInfoTest, EmptyValueIsAFailureNotAMissingValue) {
  registry.keys[kMsinfo]["PATH"] = {Registry::kRegSz, {}};
  EXPECT_THROW(Read(kMsinfo, "PATH"), RegistryReadFailure);
  EXPECT_EQ(registry.open, 0);
  // StartSysInfo then gives up at once, without the second key.
  registry.keys[kLocation]["MSINFO"] = {Registry::kRegSz, Bytes("C:\\tools")};
  launcher.files = {"C:\\tools\\MSINFO32.EXE"};
  EXPECT_FALSE(StartSysInfo(registry, launcher, codec));
  EXPECT_TRUE(launcher.started.empty());
}

TEST_F(SysInfoTest, StartsThePathOrTheToolInTheLocation) {
  registry.keys[kMsinfo]["PATH"] = {Registry::kRegSz,
                                    Bytes(std::string("/usr/bin/hardinfo\0", 18))};
  launcher.files = {"/usr/bin/hardinfo"};
  EXPECT_TRUE(StartSysInfo(registry, launcher, codec));
  EXPECT_EQ(launcher.started, std::vector<std::string>{"/usr/bin/hardinfo"});

  // A PATH naming no file: no fall-back to the second key.
  launcher.started.clear();
  launcher.files.clear();
  registry.keys[kLocation]["MSINFO"] = {Registry::kRegSz, Bytes("C:\\tools")};
  EXPECT_FALSE(StartSysInfo(registry, launcher, codec));
  EXPECT_EQ(launcher.started.size(), 1u);

  // No PATH: the location's MSINFO32.EXE when it is there.
  registry.keys[kMsinfo].clear();
  launcher.started.clear();
  EXPECT_FALSE(StartSysInfo(registry, launcher, codec));  // the folder lacks the file
  EXPECT_TRUE(launcher.started.empty());
  launcher.files = {"C:\\tools\\MSINFO32.EXE"};
  EXPECT_TRUE(StartSysInfo(registry, launcher, codec));
  EXPECT_EQ(launcher.started, std::vector<std::string>{"C:\\tools\\MSINFO32.EXE"});

  // A PATH of another type reads as empty text, which starts nothing.
  registry.keys[kMsinfo]["PATH"] = {Registry::kRegExpandSz, Bytes("%SystemRoot%")};
  launcher.started.clear();
  EXPECT_FALSE(StartSysInfo(registry, launcher, codec));
  EXPECT_EQ(launcher.started, std::vector<std::string>{""});

  // Nothing anywhere.
  registry.keys.clear();
  EXPECT_FALSE(StartSysInfo(registry, launcher, codec));
}

}  // namespace
}  // namespace navelo
