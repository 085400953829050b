#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "platform/posix/codec_cp932.h"
#include "platform/posix/file_store.h"
#include "settings/settings.h"

namespace navelo {
namespace {

// Kills a process that saves the settings file over and over at random moments; every time the
// file must be complete: the old record or the new one, never a mixture or a torn file.
TEST(SaveReliability, KilledSavesAlwaysLeaveACompleteFile) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("navelo-kill-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string path = (dir / "Navelo.INI").string();

  platform::posix::Cp932Codec codec;
  platform::posix::PosixFileStore store;
  SettingsFile file(path, store, codec);
  SettingsRecord first;
  first.startupPassword = u"stress";
  first.NetID = std::u16string(300, u'a');
  first.TouhyouTitle = std::u16string(2000, u'票');
  ASSERT_FALSE(SaveSettings(first, {15, 30}, file, codec));

  std::mt19937 rng(7);
  std::uniform_int_distribution<int> delayUs(0, 30000);
  for (int round = 0; round < 200; ++round) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::execl(SAVE_STRESS, SAVE_STRESS, path.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(delayUs(rng)));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saver stopped by itself in round " << round;

    SettingsRecord loaded;
    loaded.startupPassword = u"stress";
    LoadResult result = LoadSettings(loaded, file, codec);
    ASSERT_FALSE(result.readError);
    const bool isA = loaded.NetID == std::u16string(300, u'a') &&
                     loaded.TouhyouTitle == std::u16string(2000, u'票');
    const bool isB = loaded.NetID == std::u16string(300, u'b') &&
                     loaded.TouhyouTitle == std::u16string(2000, u'券');
    ASSERT_TRUE(isA || isB) << "torn file after round " << round;
    ASSERT_EQ(loaded.ShoukaiTitle, u"");  // written empty, read back empty
    ASSERT_EQ(result.position.top, 30);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace navelo
