#include "platform/posix/file_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "platform/posix/instance_lock.h"

namespace navelo::platform::posix {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class FileStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("navelo-fs-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    path = (dir / "Navelo.INI").string();
  }
  void TearDown() override {
    fs::permissions(dir, fs::perms::owner_all);
    fs::remove_all(dir);
  }
  std::set<std::string> Names(const fs::path& folder) const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }
  fs::path dir;
  std::string path;
  PosixFileStore store;
};

TEST_F(FileStoreTest, ReplaceCreatesAnOwnerOnlyFileAndLeavesNoTemporaries) {
  EXPECT_EQ(store.Read(path).status, FileRead::Status::kMissing);
  { std::ofstream(path) << "old"; }
  fs::permissions(path, fs::perms::all);
  ASSERT_FALSE(store.Replace(path, "new\r\n"));
  FileRead read = store.Read(path);
  EXPECT_EQ(read.status, FileRead::Status::kOk);
  EXPECT_EQ(read.bytes, "new\r\n");
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  // Made read-only, it is kept as it is (even by root, who could write through it), although its
  // folder would let a new file take its place.
  fs::permissions(path, fs::perms::owner_read);
  auto kept = store.Replace(path, "newer");
  ASSERT_TRUE(kept);
  EXPECT_NE(kept->find("read-only"), std::string::npos) << *kept;
  EXPECT_EQ(Slurp(path), "new\r\n");
}

TEST_F(FileStoreTest, FailuresAreReportedAndTheOldFileStays) {
  if (::geteuid() == 0) {
    // Root writes through permissions; a missing folder fails for everyone.
    auto error = store.Replace((dir / "no-such-folder" / "Navelo.INI").string(), "x");
    ASSERT_TRUE(error);
    EXPECT_NE(error->find("No such file"), std::string::npos);
    return;
  }
  { std::ofstream(path) << "old"; }
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
  auto error = store.Replace(path, "new");
  ASSERT_TRUE(error);
  EXPECT_NE(error->find("Permission denied"), std::string::npos);
  EXPECT_EQ(store.Read(path).bytes, "old");
}

// One Navelo per settings folder: the folder itself is locked, so a lock file beside the
// settings, deleted or made unopenable, lets no second one in, and a link into the folder meets
// the same lock. Only a missing folder cannot be locked.
TEST_F(FileStoreTest, OneLockPerSettingsFolderWhateverHappensToTheFilesInIt) {
  using State = platform::InstanceLock::State;
  fs::create_directories(dir / "elsewhere");
  fs::create_symlink(path, dir / "elsewhere" / "Navelo.INI");
  fs::create_directory(dir / "Navelo.INI.lock");  // a lock file of old, which cannot be opened
  const InstanceLock held(path);
  ASSERT_EQ(held.state(), State::kHeld) << held.error();
  const std::pair<fs::path, State> cases[] = {
      {path, State::kTaken},
      {dir / "elsewhere" / "Navelo.INI", State::kTaken},
      {dir / "elsewhere" / "Other.INI", State::kHeld},
      {dir / "missing" / "Navelo.INI", State::kUnavailable},
  };
  for (const auto& [other, state] : cases) {
    const InstanceLock lock(other.string());
    EXPECT_EQ(lock.state(), state) << other;
    EXPECT_EQ(lock.holder(), state == State::kTaken ? ::getpid() : 0) << other;
  }
}

// Only regular files of a sane size are read; anything else is reported with its reason at once
// (no wait on a FIFO without a writer, no endless read of a device) and is never replaced.
TEST_F(FileStoreTest, OnlyRegularFilesOfASaneSizeAreReadOrReplaced) {
  struct Case {
    const char* what;
    std::function<void()> make;
    const char* reason;
    // Kinds of file Replace itself refuses; an oversized regular file is guarded one level up,
    // where nothing is written over a file that could not be read.
    bool replaceRefused = true;
  };
  const Case cases[] = {
      {"FIFO", [&] { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }, "FIFO"},
      {"link to /dev/zero", [&] { fs::create_symlink("/dev/zero", path); }, "character device"},
      {"folder", [&] { fs::create_directory(path); }, "folder"},
      {"sparse file over the limit",
       [&] {
         { std::ofstream(path) << "[General]\r\n"; }
         fs::resize_file(path, kMaxSettingsFileBytes + 1);
       },
       "larger than 64 MiB", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(path);
    c.make();
    const auto before = fs::symlink_status(path).type();
    FileRead read = store.Read(path);
    EXPECT_EQ(read.status, FileRead::Status::kError);
    EXPECT_NE(read.error.find(c.reason), std::string::npos) << read.error;
    EXPECT_TRUE(read.bytes.empty());
    if (!c.replaceRefused) continue;
    auto error = store.Replace(path, "[General]\r\n");
    ASSERT_TRUE(error);
    EXPECT_NE(error->find("left untouched"), std::string::npos) << *error;
    EXPECT_EQ(fs::symlink_status(path).type(), before);
    EXPECT_EQ(Names(dir), std::set<std::string>{"Navelo.INI"});
  }
}

// A settings file reached through symbolic links stays reached that way: the final target is
// replaced in its own folder, every link is kept.
TEST_F(FileStoreTest, ALinkedFileIsReplacedAtItsTargetAndStaysALink) {
  struct Case {
    const char* what;
    const char* link;    // what Navelo.INI points to
    const char* target;  // the file that must end up holding the new content, below dir
    bool chained;        // Navelo.INI -> hop -> link
  };
  const Case cases[] = {
      {"absolute link into another folder", "", "real/Navelo.INI", false},
      {"relative link", "real/Navelo.INI", "real/Navelo.INI", false},
      {"link to a link", "hop", "real/Navelo.INI", true},
      {"link to a missing file", "real/new.ini", "real/new.ini", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(dir);
    fs::create_directories(dir / "real");
    const fs::path target = dir / c.target;
    if (std::string(c.target) == "real/Navelo.INI") std::ofstream(target) << "stale";
    const std::string link = *c.link ? c.link : target.string();
    fs::create_symlink(link, path);
    if (c.chained) fs::create_symlink(target, dir / "hop");

    ASSERT_FALSE(store.Replace(path, "fresh"));
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(fs::read_symlink(path), fs::path(link));
    EXPECT_EQ(Slurp(target), "fresh");
    EXPECT_EQ(store.Read(path).bytes, "fresh");
    EXPECT_EQ(Names(dir / "real"), std::set<std::string>{target.filename().string()});
  }
}

// What a killed save leaves behind ("Navelo.INI.navelo-save-XXXXXX") goes; everything else stays,
// the user's own "Navelo.INI.backup" and the like included.
TEST_F(FileStoreTest, StrayTemporariesOfAKilledSaveAreRemovedAndNothingElse) {
  const std::string t = "Navelo.INI.navelo-save-";
  for (const std::string& name :
       {std::string("Navelo.INI"), t + "a1B2c3", t + "ZZZZZZ", std::string("Navelo.INI.lock"),
        std::string("Navelo.INI.bak"), std::string("Navelo.INI.backup"),
        std::string("Navelo.INI.orig12"), std::string("Navelo.INI.a1B2c3"), t + "a1B2c_",
        std::string("Other.INI.navelo-save-a1B2c3"), t + "a1B2c3d"}) {
    std::ofstream(dir / name) << "x";
  }
  fs::create_directory(dir / (t + "folder"));
  fs::create_symlink(dir / "Navelo.INI", dir / (t + "link00"));
  const bool root = ::geteuid() == 0;
  if (root) {
    std::ofstream(dir / (t + "others")) << "x";  // someone else's: not ours to remove
    ASSERT_EQ(::chown((dir / (t + "others")).c_str(), 65534, 65534), 0);
  }
  auto removed = RemoveStrayTemporaries(path);
  EXPECT_EQ(
      std::set<std::string>(removed.begin(), removed.end()),
      (std::set<std::string>{(dir / (t + "a1B2c3")).string(), (dir / (t + "ZZZZZZ")).string()}));
  std::set<std::string> kept = {
      "Navelo.INI",        "Navelo.INI.lock",   "Navelo.INI.bak", "Navelo.INI.backup",
      "Navelo.INI.orig12", "Navelo.INI.a1B2c3", t + "a1B2c_",     "Other.INI.navelo-save-a1B2c3",
      t + "a1B2c3d",       t + "folder",        t + "link00"};
  if (root) kept.insert(t + "others");
  EXPECT_EQ(Names(dir), kept);
  // A save leaves nothing of its own behind.
  ASSERT_FALSE(store.Replace(path, "fresh"));
  EXPECT_EQ(Names(dir), kept);
}

}  // namespace
}  // namespace navelo::platform::posix
