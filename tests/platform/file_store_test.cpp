#include "platform/posix/file_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace navelo::platform::posix {
namespace {

namespace fs = std::filesystem;

class FileStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("navelo-fs-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    path = (dir / "Navelo.INI").string();
  }
  void TearDown() override {
    fs::permissions(dir, fs::perms::owner_all);
    fs::remove_all(dir);
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

}  // namespace
}  // namespace navelo::platform::posix
