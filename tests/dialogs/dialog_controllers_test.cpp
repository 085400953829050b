// The dialogs' behaviour, whichever toolkit draws them: fake views and services.
#include <gtest/gtest.h>

#include "app/logic/password_controller.h"
#include "dialogs/logic/about_controller.h"
#include "dialogs/logic/settings_controller.h"
#include "fake_views.h"
#include "platform/testing/doubles.h"

namespace navelo {
namespace {

using testing::FakeView;

TEST(PasswordController, TakesOnlyAnAcceptedEntryAndEveryOtherWayOutIsCancel) {
  platform::testing::RecordingMessageBox messages;
  testing::FakeDialogView view;
  PasswordController dialog(view, messages);
  const auto secret = [](const std::u16string& entry) { return entry == u"Secret"; };
  struct Case {
    const char* name;
    std::function<void(FakeView&)> user;
    std::optional<std::u16string> outcome;
    std::size_t wrong;  // "wrong password" messages
  } cases[] = {
      {"wrong, then right",
       [](FakeView& v) {
         v.Type("txtPswd", u"secret");
         v.Click("Command1");
         EXPECT_EQ(v.Text("txtPswd"), u"secret");  // kept as typed
         v.Type("txtPswd", u"Secret");
         v.Click("Command1");
       },
       u"Secret", 1},
      {"cancel with a right entry",
       [](FakeView& v) {
         v.Type("txtPswd", u"Secret");
         v.Click("Command2");
       },
       std::nullopt, 0},
      {"the window manager's close", [](FakeView& v) { v.events->OnClose(); }, std::nullopt, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    messages.shown.clear();
    view.whileModal = [&](FakeView& v) {
      EXPECT_EQ(v.Text("txtPswd"), u"");  // each showing starts empty, focused
      EXPECT_EQ(v.focus, "txtPswd");
      c.user(v);
    };
    EXPECT_EQ(dialog.Ask(PasswordMode::kStartupCheck, secret), c.outcome);
    ASSERT_EQ(messages.shown.size(), c.wrong);
    if (c.wrong) {
      EXPECT_EQ(messages.shown[0].text, u"パスワードが違います");
      EXPECT_EQ(messages.shown[0].title, u"Navelo");
    }
  }
  // An empty box is the no-password entry; the mode is the caller's.
  std::u16string seen;
  view.whileModal = [](FakeView& v) { v.Click("Command1"); };
  EXPECT_EQ(dialog.Ask(PasswordMode::kConfirm,
                       [&](const std::u16string& entry) {
                         seen = entry;
                         return true;
                       }),
            u"ZelvOR");
  EXPECT_EQ(seen, u"ZelvOR");
  EXPECT_EQ(dialog.flgSyori(), 1);
  EXPECT_EQ(view.modalRuns.back(), Owner::kAsker);
}

class SettingsControllerTest : public ::testing::Test {
 protected:
  SettingsRecord record;
  TargetSlots targets;
  BrowserAddresses addresses{u"u0", u"u1", u"u2", u""};
  platform::testing::RecordingMessageBox messages;
  int confirmations = 0;
  bool confirmed = true;  // what the password dialog answers
  testing::FakeDialogView view;
  std::optional<SettingsController> dialog;

  void SetUp() override {
    record.startupPassword = u"ZelvOR";
    record.NetID = u"inet";
    record.PatID = u"12345678";
    record.ApatPassword = u"apat";
    record.TouhyouTitle = u"IPAT合計金額入力";
    record.ShoukaiTitle = u"IPAT照会ログイン";
    record.ChienTime = 300;
    targets.lastActiveTitle = u"Browser window";
    dialog.emplace(view, SettingsDialogContext{record, targets, addresses, messages,
                                               [this](const std::u16string&) {
                                                 ++confirmations;
                                                 return confirmed;
                                               }});
  }
  // Shows the dialog with the user's part; true when OK closed it.
  bool Run(std::function<void(FakeView&)> user) {
    view.whileModal = std::move(user);
    return dialog->ShowModal();
  }
};

TEST_F(SettingsControllerTest, OpensLoadedAndOkCopiesEverythingCancelNothing) {
  EXPECT_FALSE(Run([](FakeView& v) {
    EXPECT_EQ(v.Text("txtNetId"), u"inet");
    EXPECT_EQ(v.Text("txtApatPswd"), u"apat");
    EXPECT_EQ(v.Text("lblAct"), u"Browser window");
    EXPECT_EQ(v.Text("lblShoTitle"), u"IPAT照会ログイン");
    EXPECT_EQ(v.Text("lblVersion"), u"Version 1.2.4");
    EXPECT_EQ(v.Text("txtChienTime"), u"300");
    EXPECT_FALSE(v.enabled.at("txtChienTime"));  // Chien is 0
    EXPECT_EQ(v.Text("txtNavelo_Pswd"), u"");
    EXPECT_EQ(v.Text("txtIpatURL", 1), u"u1");
    EXPECT_EQ(v.focus, "cmdOk");
    v.Type("txtNetId", u"cancelled");
    v.Click("cmdTouHen");
    v.Click("cmdCan");
  }));
  EXPECT_EQ(record.NetID, u"inet");
  EXPECT_EQ(record.TouhyouTitle, u"IPAT合計金額入力");

  EXPECT_TRUE(Run([](FakeView& v) {
    EXPECT_EQ(v.Text("txtNetId"), u"inet");  // reloaded
    v.Type("txtNetId", u"new id");
    v.Click("optZen");
    v.Click("optAct");
    v.Click("optKin");
    v.Type("txtIpatURL", u"https://example.invalid/", 1);
    v.Click("cmdOk");
  }));
  EXPECT_EQ(record.NetID, u"new id");
  EXPECT_EQ(record.Zenmen, 1);
  EXPECT_EQ(record.Chokuzen, 1);
  EXPECT_EQ(record.KingakuNomi, 1);
  EXPECT_EQ(addresses[1], u"https://example.invalid/");
  EXPECT_EQ(messages.shown.size(), 1u);  // the capture's, in the cancelled showing
  EXPECT_EQ(view.modalRuns.back(), Owner::kAsker);
  // The window manager's close is a cancel.
  EXPECT_FALSE(Run([](FakeView& v) {
    v.Type("txtNetId", u"closed");
    v.events->OnClose();
  }));
  EXPECT_EQ(record.NetID, u"new id");
}

TEST_F(SettingsControllerTest, ACheckBoxClickGivesOneValueWhateverWasStored) {
  EXPECT_EQ(NextCheckState(0), 1);
  EXPECT_EQ(NextCheckState(1), 0);
  EXPECT_EQ(NextCheckState(2), 1);
  struct Case {
    std::int16_t stored;
    int clicks;
    int shown;             // the box after the clicks
    std::int16_t afterOk;  // the field after OK
  } cases[] = {
      {0, 0, 0, 0},
      {0, 1, 1, 1},
      {1, 1, 0, 0},
      {1, 2, 1, 1},
      // A value only a hand-edited file holds shows undecided and is kept unless changed.
      {5, 0, 2, 5},
      {5, 1, 1, 1},
      {5, 2, 0, 0},
      {-1, 3, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.stored) + " clicked " + std::to_string(c.clicks));
    record.Kakusu = c.stored;
    EXPECT_TRUE(Run([&](FakeView& v) {
      EXPECT_EQ(v.checks.at("optMin"), c.stored == 0 ? 0 : c.stored == 1 ? 1 : 2);
      for (int i = 0; i < c.clicks; ++i) v.Click("optMin");
      EXPECT_EQ(v.checks.at("optMin"), c.shown);
      v.Click("cmdOk");
    }));
    EXPECT_EQ(record.Kakusu, c.afterOk);
  }
}

TEST_F(SettingsControllerTest, TheDelayBoxFollowsTheDelayOption) {
  Run([](FakeView& v) {
    v.Click("optChien");
    EXPECT_TRUE(v.enabled.at("txtChienTime"));
    v.Click("optChien");
    EXPECT_FALSE(v.enabled.at("txtChienTime"));
  });
}

TEST_F(SettingsControllerTest, AChangedStartupPasswordIsConfirmedFirst) {
  EXPECT_TRUE(Run([](FakeView& v) {
    v.Type("txtNavelo_Pswd", u"Secret");
    v.Click("cmdOk");
  }));
  EXPECT_EQ(confirmations, 1);
  EXPECT_EQ(messages.shown.at(0).text, kPasswordChangedMessage);
  EXPECT_EQ(record.startupPassword, u"Secret");

  // Not confirmed: the dialog stays open with what it shows, nothing copied; then OK again.
  confirmed = false;
  EXPECT_TRUE(Run([this](FakeView& v) {
    EXPECT_EQ(v.Text("txtNavelo_Pswd"), u"Secret");
    v.Type("txtNavelo_Pswd", u"Other");
    v.Type("txtNetId", u"kept in the box");
    v.Click("cmdOk");
    EXPECT_FALSE(v.ended);
    EXPECT_EQ(record.startupPassword, u"Secret");
    EXPECT_EQ(record.NetID, u"inet");
    confirmed = true;
    v.Click("cmdOk");
  }));
  EXPECT_EQ(record.startupPassword, u"Other");
  EXPECT_EQ(record.NetID, u"kept in the box");

  // Emptied: no password from now on; "ZelvOR" typed is the same, with nothing to confirm.
  EXPECT_TRUE(Run([](FakeView& v) {
    v.Type("txtNavelo_Pswd", u"");
    v.Click("cmdOk");
  }));
  EXPECT_EQ(record.startupPassword, u"ZelvOR");
  const int before = confirmations;
  EXPECT_TRUE(Run([](FakeView& v) {
    v.Type("txtNavelo_Pswd", u"ZelvOR");
    v.Click("cmdOk");
  }));
  EXPECT_EQ(confirmations, before);
}

TEST_F(SettingsControllerTest, CaptureButtonsCopyTheLastActiveTitleIntoTheLabels) {
  EXPECT_TRUE(Run([](FakeView& v) {
    v.Click("cmdTouHen");
    v.Click("cmdShoHen");
    EXPECT_EQ(v.Text("lblTouTitle"), u"Browser window");
    EXPECT_EQ(v.Text("lblShoTitle"), u"Browser window");
    v.Click("cmdOk");
  }));
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0].text,
            u"投票時は画面のタイトルが「Browser window」の画面に情報を送信するようになります");
  EXPECT_EQ(
      messages.shown[1].text,
      u"紹介ログイン時は画面のタイトルが「Browser window」の画面に情報を送信するようになります");
  EXPECT_EQ(record.TouhyouTitle, u"Browser window");
  EXPECT_EQ(record.ShoukaiTitle, u"Browser window");
}

// A desktop without any system-information tool.
class NoSystemInfo final : public platform::SystemInfoService {
 public:
  bool Start() override { return false; }
};

TEST(AboutController, ShowsTitleVersionAndLinksThatOpenWhatTheyShow) {
  platform::testing::RecordingShell shell;
  platform::testing::RecordingMessageBox messages;
  platform::testing::FakeProgram program;
  NoSystemInfo sysInfo;
  testing::FakeDialogView view;
  for (bool exists : {false, true}) {
    AboutController dialog(
        view, {shell, messages, sysInfo, program, "/home/u/.config/Navelo.INI", exists});
    shell.opened.clear();
    view.whileModal = [](FakeView& v) {
      for (int i = 0; i < 3; ++i) v.Click("lblUrl", i);
      v.Click("cmdOK");
    };
    dialog.ShowModal();
    EXPECT_EQ(view.caption, u"Naveloのﾊﾞｰｼﾞｮﾝ情報");
    EXPECT_EQ(view.Text("lblTitle"), u"Navelo");
    EXPECT_EQ(view.Text("lblVersion"), u"ﾊﾞｰｼﾞｮﾝ 1.2.4");
    EXPECT_EQ(view.Text("lblUrl", 0), u"/opt/navelo/Readme.txt");
    EXPECT_EQ(view.Text("lblUrl", 1), u"/opt/navelo");
    // Until the settings file is saved for the first time, its link leads to its folder.
    EXPECT_EQ(view.Text("lblUrl", 2), exists ? u"/home/u/.config/Navelo.INI" : u"/home/u/.config");
    ASSERT_EQ(shell.opened.size(), 3u);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(shell.opened[i], view.Text("lblUrl", i));
      EXPECT_EQ((view.toolTips[{"lblUrl", i}]), view.Text("lblUrl", i));  // whole, however shown
    }
    EXPECT_EQ(view.ended, 1);
    EXPECT_EQ(view.modalRuns.back(), Owner::kNone);  // owned by no window
  }
}

TEST(AboutController, ALinkTurnsItalicUnderThePointerAndUprightOverTheSurface) {
  platform::testing::RecordingShell shell;
  platform::testing::RecordingMessageBox messages;
  platform::testing::FakeProgram program;
  NoSystemInfo sysInfo;
  testing::FakeDialogView view;
  AboutController dialog(view, {shell, messages, sysInfo, program, "/x/Navelo.INI", true});
  auto italic = [&](int i) { return view.italic[{"lblUrl", i}]; };
  view.whileModal = [&](FakeView& v) {
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(italic(i));
    v.events->OnPointer("lblUrl", 1);
    EXPECT_TRUE(italic(1));
    EXPECT_FALSE(italic(0));
    // Onto another label or a button: still italic.
    v.events->OnPointer("lblDescription", -1);
    v.events->OnPointer("cmdOK", -1);
    EXPECT_TRUE(italic(1));
    v.events->OnPointer("lblUrl", 0);
    EXPECT_TRUE(italic(0) && italic(1));
    // Over the dialog's own surface: all upright.
    v.events->OnPointer({}, -1);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(italic(i));
    v.Click("cmdSysInfo");
    v.events->OnClose();
  };
  dialog.ShowModal();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, u"現時点ではｼｽﾃﾑ情報を使用できません");
  EXPECT_EQ(view.ended, 0);
}

}  // namespace
}  // namespace navelo
