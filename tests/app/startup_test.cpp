#include "app/logic/startup.h"

#include <gtest/gtest.h>

#include "platform/testing/doubles.h"
#include "platform/testing/native_codec.h"
#include "settings/cipher.h"

namespace navelo {
namespace {

class StartupTest : public ::testing::Test {
 protected:
  const std::string kPath = "/opt/navelo/Navelo.INI";
  platform::testing::NativeCodec codec;
  platform::testing::MemoryFileStore store;
  SettingsFile file{kPath, store, codec};
  int dialogShown = 0;
  int panelShown = 0;
  std::vector<std::u16string> typed;  // what the user types at each OK; when it runs out: Cancel

  void StorePassword(const std::u16string& password) {
    SettingsRecord r;
    r.startupPassword = password;
    r.NetID = u"inet";
    ASSERT_FALSE(SaveSettings(r, {}, file, codec));
  }

  // Runs start-up with a fresh store; the dialog takes the typed entries in turn.
  StartupOutcome Run(std::u16string* password = nullptr) {
    SettingsStore settings(file, codec);
    StartupWindows windows;
    windows.askPassword =
        [&](PasswordMode mode,
            std::function<bool(const std::u16string&)> accepts) -> std::optional<std::u16string> {
      EXPECT_EQ(mode, PasswordMode::kStartupCheck);
      ++dialogShown;
      for (const std::u16string& t : typed) {
        if (accepts(PasswordEntry(t))) return PasswordEntry(t);
      }
      return std::nullopt;
    };
    windows.showPanel = [&] { ++panelShown; };
    const StartupOutcome outcome = RunStartup(settings, windows);
    if (password) *password = settings.record().startupPassword;
    return outcome;
  }
};

TEST_F(StartupTest, WhetherThePanelOpensDirectlyOrAsksFirst) {
  struct Case {
    const char* name;
    std::optional<std::u16string> stored;  // nothing: no file
    std::string rawFile;                   // used when not empty
    bool asks;
  } cases[] = {
      {"no file", std::nullopt, "", false},
      {"saved without a password", u"ZelvOR", "", false},
      {"saved with a password", u"Secret", "", true},
      {"present but empty entry", std::nullopt, "[General]\r\nPassword=\r\n", true},
      // Differs from the no-password value only in its first character, so its stored entry is
      // the no-password entry byte for byte: the check entry beside it still asks.
      {"stored entry identical to no password", u"XelvOR", "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    store.files.clear();
    dialogShown = panelShown = 0;
    if (c.stored) StorePassword(*c.stored);
    if (!c.rawFile.empty()) store.files[kPath] = c.rawFile;
    typed.clear();  // the dialog, if shown, is cancelled
    std::u16string password;
    EXPECT_EQ(Run(&password), c.asks ? StartupOutcome::kCancelled : StartupOutcome::kPanelShown);
    EXPECT_EQ(dialogShown, c.asks ? 1 : 0);
    EXPECT_EQ(panelShown, c.asks ? 0 : 1);
    if (!c.asks) {
      EXPECT_EQ(password, u"ZelvOR");
    }
  }
}

TEST_F(StartupTest, OnlyTheExactStoredPasswordOpensThePanelAndBecomesTheKey) {
  struct Case {
    std::u16string stored;
    std::vector<std::u16string> typed;
    bool opens;
  } cases[] = {
      {u"Secret", {u"secret", u"", u"Secret"}, true},  // wrong case and empty rejected first
      {u"Secret", {u"xecret"}, false},                 // the first character is checked too
      {u"XelvOR", {u"", u"ZelvOR"}, false},            // the no-password value does not open it
      {u"XelvOR", {u"XelvOR"}, true},
      {std::u16string(100, u'長'), {std::u16string(100, u'長')}, true},  // 200 bytes
  };
  for (const Case& c : cases) {
    store.files.clear();
    StorePassword(c.stored);
    typed = c.typed;
    std::u16string password;
    EXPECT_EQ(Run(&password), c.opens ? StartupOutcome::kPanelShown : StartupOutcome::kCancelled);
    if (c.opens) {
      EXPECT_EQ(password, c.stored);
    }
  }
}

TEST_F(StartupTest, ACheckEntryWrittenForAnotherStoredPasswordIsIgnored) {
  // The file was rewritten elsewhere without the check entry being updated.
  StorePassword(u"Secret");
  ASSERT_FALSE(
      file.WriteProfileText(u"General", u"Password", EncipherText(u"Other", u"Other", codec)));
  typed = {u"Other"};
  EXPECT_EQ(Run(), StartupOutcome::kPanelShown);
}

TEST_F(StartupTest, CancelEndsWithoutWritingAndTheFileIsReadOnce) {
  StorePassword(u"Secret");
  const std::string before = store.files[kPath];
  const int writes = store.replaceCount;
  store.readCount = 0;
  typed = {u"wrong", u"again"};
  EXPECT_EQ(Run(), StartupOutcome::kCancelled);
  EXPECT_EQ(store.files[kPath], before);
  EXPECT_EQ(store.replaceCount, writes);
  EXPECT_EQ(store.readCount, 1);
}

TEST(PasswordEntry, ConfirmationComparesWithTheNewPassword) {
  platform::testing::NativeCodec codec;
  platform::testing::MemoryFileStore store;
  SettingsFile file{"/x/Navelo.INI", store, codec};
  SettingsStore settings(file, codec);
  auto confirms = [&](std::u16string_view typed, std::u16string_view newPassword) {
    return AcceptPasswordEntry(PasswordMode::kConfirm, PasswordEntry(typed), settings, newPassword);
  };
  EXPECT_TRUE(confirms(u"New", u"New"));
  EXPECT_FALSE(confirms(u"new", u"New"));
  EXPECT_TRUE(confirms(u"", u"ZelvOR"));  // the password was removed: an empty box confirms it
  EXPECT_TRUE(confirms(u"ZelvOR", u"ZelvOR"));
  EXPECT_FALSE(confirms(u"", u"New"));
}

TEST(SettingsStore, SavesOnceAndOnlyWhatWasConfirmed) {
  platform::testing::NativeCodec codec;
  platform::testing::MemoryFileStore store;
  SettingsFile file{"/x/Navelo.INI", store, codec};
  SettingsStore settings(file, codec);
  settings.Load();
  settings.record().NetID = u"inet";
  EXPECT_FALSE(settings.Save({15, 30}));
  settings.record().NetID = u"later";
  EXPECT_FALSE(settings.Save({15, 30}));
  EXPECT_EQ(store.replaceCount, 1);
  SettingsStore reread(file, codec);
  reread.Load();
  EXPECT_EQ(reread.record().NetID, u"inet");
}

}  // namespace
}  // namespace navelo
