// Navelo from start to end over fake services and views.
#include "app/logic/program.h"

#include <gtest/gtest.h>

#include "fake_views.h"
#include "platform/testing/doubles.h"
#include "platform/testing/native_codec.h"
#include "settings/cipher.h"

namespace navelo {
namespace {

using platform::InstanceLock;
using platform::testing::FakeProgram;
using testing::FakeView;

class ProgramTest : public ::testing::Test {
 protected:
  const std::string kPath = "/opt/navelo/Navelo.INI";
  FakeProgram program;
  platform::testing::MemoryFileStore files;
  platform::testing::NativeCodec codec;
  platform::testing::RecordingMessageBox messages;
  platform::testing::RecordingShell shell;
  platform::testing::FakeSettingsHome home;
  platform::testing::FakeDesktop desktop;
  testing::FakeViewFactory views;
  struct NoTool final : platform::SystemInfoService {
    bool Start() override { return false; }
  } sysInfo;
  std::optional<Program> navelo;

  // Starts Navelo; true when it went on running (the panel shown), false when it ended.
  bool Start() {
    navelo.emplace(
        ProgramServices{program, files, codec, messages, shell, sysInfo, home, desktop, views});
    try {
      navelo->Start();
      return true;
    } catch (const FakeProgram::Ended&) {
      return false;
    }
  }
  void StorePassword(const std::u16string& password) {
    SettingsFile file(kPath, files, codec);
    SettingsRecord r;
    r.startupPassword = password;
    r.NetID = u"inet";
    ASSERT_FALSE(SaveSettings(r, {}, file, codec));
  }
};

// One writer per settings file: another Navelo holding it is brought forward and this one ends
// having read nothing; where no lock can be had, Navelo says so at start and never writes the
// file; a settings folder that cannot be made is said at start too.
TEST_F(ProgramTest, OneWriterPerSettingsFileAndWhatCannotBeSavedIsSaidAtStart) {
  struct Case {
    InstanceLock::State lock;
    std::string folderError;
    bool runs;
    bool cleared;          // what a killed save left is cleared away
    const char16_t* told;  // in the message at start; nullptr for none
    bool saves;
  } cases[] = {
      {InstanceLock::State::kHeld, "", true, true, nullptr, true},
      {InstanceLock::State::kTaken, "", false, false, nullptr, false},
      {InstanceLock::State::kUnavailable, "", true, false, u"ロックできません", false},
      {InstanceLock::State::kHeld, "/home/u/.config/navelo: Permission denied", true, true,
       u"フォルダーを作成できません", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.lock));
    home.lockState = c.lock;
    home.folderError = c.folderError;
    home.holder = 4321;
    home.cleared.clear();
    desktop.broughtForward.clear();
    messages.shown.clear();
    files.readCount = 0;
    files.replaceCount = 0;
    views.panel = nullptr;
    EXPECT_EQ(Start(), c.runs);
    EXPECT_EQ(files.readCount, c.runs ? 1 : 0);
    EXPECT_EQ(views.panel != nullptr && views.panel->shown, c.runs);
    EXPECT_EQ(!home.cleared.empty(), c.cleared);
    EXPECT_EQ(desktop.broughtForward,
              c.runs ? std::vector<long>{} : std::vector<long>{home.holder});
    ASSERT_EQ(messages.shown.size(), c.told ? 1u : 0u);
    if (c.told) {
      EXPECT_NE(messages.shown[0].text.find(c.told), std::u16string::npos);
    }
    if (!c.runs) continue;
    EXPECT_THROW(views.panel->events->OnClose(), FakeProgram::Ended);
    EXPECT_EQ(files.replaceCount, c.saves ? 1 : 0);
  }
}

TEST_F(ProgramTest, TheStartupPasswordGatesThePanelAndACancelWritesNothing) {
  StorePassword(u"Secret");
  const std::string before = files.files[kPath];
  views.whileModal["frmPswd"] = [](FakeView& v) { v.Click("Command2"); };
  EXPECT_FALSE(Start());
  EXPECT_EQ(views.panel, nullptr);
  EXPECT_EQ(files.files[kPath], before);

  views.whileModal["frmPswd"] = [](FakeView& v) {
    v.Type("txtPswd", u"Secret");
    v.Click("Command1");
  };
  EXPECT_TRUE(Start());
  EXPECT_EQ(navelo->store().record().startupPassword, u"Secret");
  EXPECT_EQ(navelo->store().record().NetID, u"inet");  // deciphered under the typed password
}

TEST_F(ProgramTest, ALimitedDesktopIsToldOnceAtStart) {
  desktop.startNotice = platform::DesktopNotice::kX11WindowsOnly;
  EXPECT_TRUE(Start());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find(u"X11"), std::u16string::npos);
}

TEST_F(ProgramTest, EveryWayOfEndingSavesOnce) {
  // A stop request, the display gone, and the panel closed: one save.
  for (int way = 0; way < 3; ++way) {
    files.files.clear();
    files.replaceCount = 0;
    ASSERT_TRUE(Start());
    navelo->store().record().NetID = u"saved";
    if (way == 0) {
      EXPECT_THROW(program.terminationHandler(), FakeProgram::Ended);
    } else if (way == 1) {
      program.exitHandler();
    } else {
      EXPECT_THROW(views.panel->events->OnClose(), FakeProgram::Ended);
    }
    EXPECT_EQ(files.replaceCount, 1);
    EXPECT_NE(files.files[kPath].find("NetID="), std::string::npos);
  }
  // A stop request while the panel is ending (its failure message up) waits for it.
  EXPECT_NO_THROW(program.terminationHandler());
}

TEST_F(ProgramTest, TheSettingsDialogConfirmsANewPasswordWithThePasswordDialog) {
  ASSERT_TRUE(Start());
  int asked = 0;
  views.whileModal["frmSet"] = [](FakeView& v) {
    v.Type("txtNavelo_Pswd", u"New");
    v.Click("cmdOk");
  };
  views.whileModal["frmPswd"] = [&](FakeView& v) {
    ++asked;
    v.Type("txtPswd", u"New");
    v.Click("Command1");
  };
  views.panel->events->OnMenu("mnuSet", -1);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(navelo->store().record().startupPassword, u"New");
  // The about box leads to the file saves go to.
  views.whileModal["frmAbout"] = [](FakeView& v) {
    EXPECT_EQ(v.Text("lblUrl", 2), u"/opt/navelo");  // not saved yet: its folder
    v.Click("cmdOK");
  };
  views.panel->events->OnMenu("mnu_About", -1);
  EXPECT_EQ(views.made, (std::vector<std::string>{"frmSet", "frmPswd", "frmAbout"}));
}

}  // namespace
}  // namespace navelo
