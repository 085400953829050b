#include "app/logic/startup.h"

#include <gtest/gtest.h>

#include "platform/posix/codec_cp932.h"
#include "platform/testing/doubles.h"
#include "settings/cipher.h"

namespace navelo {
namespace {

class StartupTest : public ::testing::Test {
 protected:
  const std::string kPath = "/opt/navelo/Navelo.INI";
  platform::posix::Cp932Codec codec;
  platform::testing::MemoryFileStore store;
  SettingsFile file{kPath, store, codec};
  SettingsRecord record;
  int dialogShown = 0;
  int panelShown = 0;
  std::u16string typed;  // what the user types in the password dialog; "" then Cancel

  void StorePassword(const std::u16string& password) {
    SettingsRecord r;
    r.startupPassword = password;
    r.NetID = u"inet";
    ASSERT_FALSE(SaveSettings(r, {}, file, codec));
  }

  StartupOutcome Run(bool cancel) {
    StartupWindows windows;
    windows.askStartupPassword = [&] {
      ++dialogShown;
      if (cancel || !AcceptPasswordEntry(0, typed, record, file, codec)) {
        record.startupPassword.clear();  // what the dialog's Cancel does
      }
    };
    windows.showPanel = [&] { ++panelShown; };
    return RunStartup(record, file, codec, windows);
  }
};

TEST_F(StartupTest, NoFileOpensThePanelDirectly) {
  EXPECT_EQ(Run(false), StartupOutcome::kPanelShown);
  EXPECT_EQ(dialogShown, 0);
  EXPECT_EQ(panelShown, 1);
  EXPECT_EQ(record.startupPassword, u"ZelvOR");
}

TEST_F(StartupTest, FileSavedWithoutPasswordOpensThePanelDirectly) {
  StorePassword(u"ZelvOR");
  EXPECT_EQ(Run(false), StartupOutcome::kPanelShown);
  EXPECT_EQ(dialogShown, 0);
}

TEST_F(StartupTest, StoredPasswordAsksFirstAndKeepsTheTypedOne) {
  StorePassword(u"Secret");
  typed = u"Secret";
  EXPECT_EQ(Run(false), StartupOutcome::kPanelShown);
  EXPECT_EQ(dialogShown, 1);
  EXPECT_EQ(panelShown, 1);
  EXPECT_EQ(record.startupPassword, u"Secret");
}

TEST_F(StartupTest, CancelEndsWithoutPanelAndLeavesTheFileByteIdentical) {
  StorePassword(u"Secret");
  const std::string before = store.files[kPath];
  const int writes = store.replaceCount;
  EXPECT_EQ(Run(true), StartupOutcome::kCancelled);
  EXPECT_EQ(panelShown, 0);
  EXPECT_EQ(store.files[kPath], before);
  EXPECT_EQ(store.replaceCount, writes);
}

TEST_F(StartupTest, EmptyStoredEntryCanOnlyBeCancelled) {
  store.files[kPath] = "[General]\r\nPassword=\r\n";
  typed = u"";
  EXPECT_EQ(Run(false), StartupOutcome::kCancelled);
  EXPECT_EQ(dialogShown, 1);
}

TEST_F(StartupTest, StartupCheckIsExactAndCaseSensitive) {
  StorePassword(u"Secret");
  record.startupPassword = u"whatever";
  EXPECT_FALSE(AcceptPasswordEntry(0, u"secret", record, file, codec));
  EXPECT_FALSE(AcceptPasswordEntry(0, u"", record, file, codec));
  EXPECT_EQ(record.startupPassword, u"whatever");  // untouched by a failed check
  EXPECT_TRUE(AcceptPasswordEntry(0, u"Secret", record, file, codec));
  EXPECT_EQ(record.startupPassword, u"Secret");
}

TEST_F(StartupTest, FirstCharacterIsCheckedToo) {
  // The entry enciphered under itself does not depend on the first character; the check entry
  // written beside it does.
  StorePassword(u"Secret");
  EXPECT_FALSE(AcceptPasswordEntry(0, u"xecret", record, file, codec));
  // A file whose check entry belongs to another stored password (rewritten elsewhere) still
  // opens with its password.
  ASSERT_FALSE(
      file.WriteProfileText(u"General", u"Password", EncipherText(u"Other", u"Other", codec)));
  EXPECT_TRUE(AcceptPasswordEntry(0, u"Other", record, file, codec));
}

TEST_F(StartupTest, LongPasswordsStillPassAfterASave) {
  const std::u16string longPassword(100, u'長');  // 200 bytes in the code page
  StorePassword(longPassword);
  typed = longPassword;
  EXPECT_EQ(Run(false), StartupOutcome::kPanelShown);
  EXPECT_EQ(record.startupPassword, longPassword);
}

TEST_F(StartupTest, ConfirmationComparesWithThePasswordInMemory) {
  record.startupPassword = u"New";
  EXPECT_TRUE(AcceptPasswordEntry(1, u"New", record, file, codec));
  EXPECT_FALSE(AcceptPasswordEntry(1, u"new", record, file, codec));
  record.startupPassword = u"ZelvOR";  // the password was removed: an empty entry confirms it
  EXPECT_TRUE(AcceptPasswordEntry(1, u"", record, file, codec));
  EXPECT_TRUE(AcceptPasswordEntry(1, u"ZelvOR", record, file, codec));
}

}  // namespace
}  // namespace navelo
