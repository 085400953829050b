#include <gtest/gtest.h>

#include "base/settings_location.h"
#include "platform/testing/doubles.h"
#include "platform/testing/native_codec.h"
#include "settings/settings.h"

namespace navelo {
namespace {

const std::string kProgram = "/usr/lib/navelo/Navelo.INI";
const std::string kUser = "/home/u/.config/navelo/Navelo.INI";

TEST(SettingsLocation, WhereTheFileIsReadAndSaved) {
  const std::string kStore = "C:\\Users\\u\\AppData\\Local\\VirtualStore\\Navelo\\Navelo.INI";
  struct Case {
    const char* what;
    bool programFolderWritable;
    bool programFileReadable;
    std::string userFile;
    bool userFileExists;
    bool virtualStoreFileReadable;
    SettingsLocation expected;
  };
  const Case cases[] = {
      {"portable copy", true, true, kUser, false, true, {kProgram, kProgram}},
      {"portable copy, user file ignored", true, false, kUser, true, false, {kProgram, kProgram}},
      {"installed, first run, file beside it", false, true, kUser, false, false, {kProgram, kUser}},
      {"installed, user file already there", false, true, kUser, true, true, {kUser, kUser}},
      {"installed, nothing anywhere", false, false, kUser, false, false, {kUser, kUser}},
      {"installed, no user folder known", false, true, "", false, true, {kProgram, kProgram}},
      // What an older copy without a manifest saved went to the VirtualStore, not beside it.
      {"installed over an older copy", false, true, kUser, false, true, {kStore, kUser}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(
        ChooseSettingsLocation({kProgram, c.programFolderWritable, c.programFileReadable,
                                c.userFile, c.userFileExists, kStore, c.virtualStoreFileReadable}),
        c.expected);
  }
}

TEST(SettingsLocation, UserFolderFollowsTheXdgRules) {
  struct Case {
    std::string xdg, home, expected;
  };
  const Case cases[] = {
      {"/x/conf", "/home/u", "/x/conf/navelo"},
      {"", "/home/u", "/home/u/.config/navelo"},
      {"relative/conf", "/home/u/", "/home/u/.config/navelo"},  // relative: ignored
      {"", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UserSettingsFolder(c.xdg, c.home), c.expected) << c.xdg << " " << c.home;
  }
}

// The first run of an installed copy takes the settings beside the program, saves them to the
// user's file and leaves the program's copy alone; from then on the user's file is the one read.
// A file beside the program that cannot be read back faithfully is never written, and does not
// stop the save to the user's file: it starts afresh.
TEST(SettingsLocation, AnInstalledCopyReadsBesideItselfOnceAndAlwaysSavesToTheUsersFile) {
  for (const std::string& program : {std::string("[General]\r\nZenmen=1\r\nMine=kept\r\n"),
                                     std::string("[General]\r\nZenmen=1\r\nMine=kept\0\r\n", 33)}) {
    const bool faithful = program.find('\0') == std::string::npos;
    SCOPED_TRACE(faithful);
    platform::testing::NativeCodec codec;
    platform::testing::MemoryFileStore store;
    store.files[kProgram] = program;
    SettingsFile file(kProgram, kUser, store, codec);
    SettingsRecord record;
    record.startupPassword = u"ZelvOR";
    LoadSettings(record, file, codec);
    EXPECT_EQ(record.Zenmen, faithful ? 1 : 0);
    record.Zenmen = 2;
    ASSERT_FALSE(SaveSettings(record, {}, file, codec));
    EXPECT_EQ(store.files[kProgram], program);
    EXPECT_NE(store.files[kUser].find("Zenmen=2\r\n"), std::string::npos);
    EXPECT_EQ(store.files[kUser].find("Mine=kept") != std::string::npos, faithful);
    EXPECT_EQ(file.path(), kUser);
    EXPECT_EQ(file.ReadProfileText(u"General", u"Zenmen", u""), u"2");
  }
}

}  // namespace
}  // namespace navelo
