#include "platform/posix/system_info.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace navelo::platform::posix {
namespace {

namespace fs = std::filesystem;

TEST(SystemInfo, FindsTheFirstInstalledToolOnThePathAndStartsIt) {
  const fs::path dir = fs::temp_directory_path() / ("navelo-si-" + std::to_string(::getpid()));
  fs::create_directories(dir / "a");
  fs::create_directories(dir / "b");
  const fs::path started = dir / "started";
  auto tool = [&](const fs::path& path, bool executable) {
    std::ofstream(path) << "#!/bin/sh\n: > '" << started.string() << "'\n";
    fs::permissions(path, executable ? fs::perms::owner_all : fs::perms::owner_read);
  };
  tool(dir / "a" / "hardinfo", false);  // not executable: skipped
  tool(dir / "b" / "lxtask", true);
  tool(dir / "b" / "kinfocenter", true);  // earlier in the list of tools than lxtask
  const char* saved = std::getenv("PATH");
  const std::string oldPath = saved ? saved : "";
  ::setenv("PATH", ("/nonexistent::" + (dir / "a").string() + ":" + (dir / "b").string()).c_str(),
           1);
  EXPECT_EQ(PosixSystemInfo::FindTool(), (dir / "b" / "kinfocenter").string());
  PosixSystemInfo sysInfo;
  EXPECT_TRUE(sysInfo.Start());
  for (int i = 0; i < 200 && !fs::exists(started); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(fs::exists(started));

  ::setenv("PATH", (dir / "a").string().c_str(), 1);
  EXPECT_EQ(PosixSystemInfo::FindTool(), "");
  EXPECT_FALSE(sysInfo.Start());
  EXPECT_FALSE(StartDetached((dir / "a").string()));  // a folder
  // Executable, but it cannot start: its interpreter is missing.
  std::ofstream(dir / "broken") << "#!/nonexistent/sh\n";
  fs::permissions(dir / "broken", fs::perms::owner_all);
  EXPECT_FALSE(StartDetached((dir / "broken").string()));
  ::setenv("PATH", oldPath.c_str(), 1);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace navelo::platform::posix
