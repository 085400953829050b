// The panel's behaviour, whichever toolkit draws it: a fake view, desktop and file store.
#include "panel/logic/panel_controller.h"

#include <gtest/gtest.h>

#include "fake_views.h"
#include "platform/testing/doubles.h"
#include "platform/testing/native_codec.h"

namespace navelo {
namespace {

using platform::testing::FakeProgram;
using Result = platform::WindowSystem::Typing::Result;

// A foreground that says its changes are reported through a descriptor.
class ReportingForeground final : public platform::ForegroundService {
 public:
  platform::WindowInfo Foreground() override { return current; }
  int ChangeDescriptor() const override { return 9; }
  bool ChangesWaiting() const override { return waiting; }
  platform::WindowInfo current;
  bool waiting = false;
};

class PanelControllerTest : public ::testing::Test {
 protected:
  const std::string kPath = "/opt/navelo/Navelo.INI";
  platform::testing::NativeCodec codec;
  platform::testing::MemoryFileStore store;
  platform::testing::RecordingMessageBox messages;
  platform::testing::RecordingShell shell;
  FakeProgram program;
  platform::testing::FakeDesktop desktop;
  Delivery delivery{desktop.system};
  SettingsFile file{kPath, store, codec};
  std::optional<SettingsStore> settings;
  testing::FakePanelView view;
  std::optional<PanelController> panel;
  int settingsOpened = 0;
  int aboutOpened = 0;

  PanelController& Make(const std::string& fileText = {}) {
    if (!fileText.empty()) store.files[kPath] = fileText;
    settings.emplace(file, codec);
    panel.emplace(view, PanelContext{*settings, messages, shell, program, desktop, delivery,
                                     [this] { ++settingsOpened; }, [this] { ++aboutOpened; }});
    return *panel;
  }
  PanelController& Loaded(const std::string& fileText = {}) {
    Make(fileText).Load();
    return *panel;
  }
  // A loaded panel whose last active window, 9, is an ordinary browser page.
  void LoadedWithBrowserInFront() {
    Loaded();
    settings->targets().lastActiveHandle = 9;
    settings->targets().lastActiveTitle = u"Browser";
    desktop.system.titles = {{9, u"Browser"}};
  }
  // Runs the delivery's steps as the view's timer would, until it has none left.
  void RunDelivery() {
    for (int i = 0; i < 1000 && view.timers.count(PanelController::kDelivery); ++i) {
      view.Fire(PanelController::kDelivery);
    }
  }
  void Foreground(platform::WindowHandle handle, std::u16string title) {
    desktop.foregroundWindow.current = {handle, std::move(title)};
    panel->Tick();
  }
};

TEST_F(PanelControllerTest, LoadPlacesShowsAndAppliesTheStoredOptions) {
  struct Case {
    std::string file;
    Rect placed;  // x and y
    bool above;
  } cases[] = {
      {"", {0, 0}, false},
      {"[General]\r\nFormLeft=1500\r\nFormTop=3000\r\nZenmen=1\r\n", {100, 200}, true},
      {"[General]\r\nZenmen=2\r\n", {0, 0}, false},
      {"[General]\r\nZenmen=-1\r\n", {0, 0}, false},
      // Off every screen: the caption bar is brought back onto the nearest one.
      {"[General]\r\nFormLeft=-150000\r\nFormTop=900000\r\n", {0, 1024 - 24}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    desktop.above.clear();
    view = {};
    store.files.clear();
    Loaded(c.file);
    EXPECT_TRUE(view.shown);
    EXPECT_TRUE(panel->expanded());
    EXPECT_EQ(view.frame.x, c.placed.x);
    EXPECT_EQ(view.frame.y, c.placed.y);
    ASSERT_EQ(desktop.above.size(), 1u);
    EXPECT_EQ(desktop.above[0].on, c.above);
    EXPECT_EQ(desktop.above[0].window, view.handle);
    EXPECT_TRUE(messages.shown.empty());
  }
  // At another DPI, stored twips are that DPI's pixels.
  view = {};
  view.dpi = 144;
  Loaded("[General]\r\nFormLeft=1500\r\nFormTop=3000\r\n");
  EXPECT_EQ(view.frame.x, 150);
  EXPECT_EQ(view.frame.y, 300);
}

TEST_F(PanelControllerTest, AnUnreadableFileIsToldAndTheDefaultsUsed) {
  store.unreadable[kPath] = "Permission denied";
  Loaded();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find(u"/opt/navelo/Navelo.INI"), std::u16string::npos);
  EXPECT_NE(messages.shown[0].text.find(u"Permission denied"), std::u16string::npos);
  EXPECT_TRUE(view.shown);
}

TEST_F(PanelControllerTest, TicksPollWithoutReportsAndFollowThemWhereTheyCome) {
  Loaded();
  EXPECT_EQ(view.timers.at(PanelController::kTick), 100);
  EXPECT_TRUE(view.watched.empty());
  view.Fire(PanelController::kTick);
  EXPECT_EQ(view.timers.at(PanelController::kTick), 100);  // ticks on

  ReportingForeground reporting;
  desktop.front = &reporting;
  view = {};
  Loaded();
  EXPECT_EQ(view.watched.at(9), PanelController::kReports);
  EXPECT_EQ(view.timers.at(PanelController::kTick), PanelController::kSafetyTickInterval);
  EXPECT_TRUE(view.timers.count(PanelController::kTickSoon));  // one tick at once
  reporting.current = {42, u"IPAT照会ログイン - Browser"};
  view.Fire(PanelController::kReports);
  EXPECT_FALSE(panel->expanded());
  EXPECT_EQ(settings->targets().inquiryHandle, 42u);
  // Reports already taken in during a tick are looked at at once.
  view.timers.clear();
  reporting.waiting = true;
  view.Fire(PanelController::kReports);
  EXPECT_TRUE(view.timers.count(PanelController::kTickSoon));
}

TEST_F(PanelControllerTest, TickShrinksToTheCaptionAndRestoresTheExactHeight) {
  Loaded();
  const int full = view.frame.height;
  EXPECT_EQ(panel->fullHeight(), full);
  Foreground(42, u"IPAT照会ログイン - Browser");
  EXPECT_FALSE(panel->expanded());
  EXPECT_EQ(view.frame.height, view.captionHeight);
  EXPECT_EQ(settings->record().ShoukaiTitle, u"IPAT照会ログイン - Browser");
  Foreground(0, u"");  // nothing in front: nothing changes
  EXPECT_FALSE(panel->expanded());
  Foreground(1, u"Navelo");
  EXPECT_TRUE(panel->expanded());
  EXPECT_EQ(view.frame.height, full);
  Foreground(5, std::u16string(100, u'x'));  // titles are read cut
  EXPECT_EQ(settings->targets().lastActiveTitle.size(), 69u);
  // Laid out again at another DPI while shrunk: that full height is what restoring gives.
  view.frame.height = 400;
  panel->OnLayoutChanged();
  EXPECT_EQ(view.frame.height, view.captionHeight);
  Foreground(1, u"Navelo");
  EXPECT_EQ(view.frame.height, 400);
  // A resize the window manager dropped is asked for again at the next tick, either way.
  view.frame.height = view.captionHeight;
  Foreground(1, u"Navelo");
  EXPECT_EQ(view.frame.height, 400);
  Foreground(42, u"IPAT照会ログイン - Browser");
  view.frame.height = 400;
  Foreground(42, u"IPAT照会ログイン - Browser");
  EXPECT_EQ(view.frame.height, view.captionHeight);
}

TEST_F(PanelControllerTest, KeypadBuildsTheAmountAndTheSendButtonsTypeIntoTheirSlots) {
  Loaded();
  auto& record = settings->record();
  record.PatID = u"12345678";
  record.Password = u"pin";
  record.Pars = u"4321";
  record.NetID = u"inet";
  record.ApatPassword = u"ap";
  auto& system = desktop.system;
  view.Click("cmdSho");  // nothing seen yet: nothing happens
  EXPECT_TRUE(system.typed.empty());
  EXPECT_FALSE(view.timers.count(PanelController::kDelivery));

  view.Click("NumKey", 3);
  view.Click("NumKey", 0);
  EXPECT_EQ(view.Text("txtKin"), u"3000");
  view.Click("Enter");
  EXPECT_EQ(view.Text("txtKin"), u"");
  view.Type("txtKin", u"1234");  // typed by hand: sent as typed, replaced by the next digit
  view.Click("NumKey", 7);
  EXPECT_EQ(view.Text("txtKin"), u"700");
  view.Click("NumKey", 0);

  settings->targets().voteHandle = 7;
  settings->targets().lastActiveHandle = 9;
  settings->targets().lastActiveTitle = u"Browser";
  system.titles = {{7, u"IPAT合計金額入力"}, {9, u"Browser"}};
  view.Click("cmdTou");
  RunDelivery();
  EXPECT_EQ(system.typed[7], u"12345678\tpin\t4321\t7000");
  // The amount stays on display; the next digit starts a new amount.
  EXPECT_EQ(view.Text("txtKin"), u"7000");
  view.Click("NumKey", 5);
  EXPECT_EQ(view.Text("txtKin"), u"500");

  view.Click("cmdLogIn");
  RunDelivery();
  view.Click("Command2");
  RunDelivery();
  EXPECT_EQ(system.typed[9], u"inet12345678\tap");
  EXPECT_EQ(system.beeps, 0);
  view.Click("Command1");
  EXPECT_EQ(view.popups, std::vector<std::string>{"mnu_brow"});
}

TEST_F(PanelControllerTest, ABrowserRunningAsAdministratorGetsNothingAndTheUserIsToldWhy) {
  LoadedWithBrowserInFront();
  desktop.system.aboveUs.insert(9);
  view.Click("cmdLogIn");
  RunDelivery();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find(u"管理者"), std::u16string::npos);
  EXPECT_TRUE(desktop.system.typed.empty());
}

TEST_F(PanelControllerTest, ATextTheLayoutCannotTypeIsRefusedNamingTheCharacter) {
  LoadedWithBrowserInFront();
  desktop.system.typing.result = Result::kLayoutCannotType;
  desktop.system.typing.missing = U'競';
  view.Click("cmdLogIn");
  RunDelivery();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find(u"「競」"), std::u16string::npos);
  EXPECT_TRUE(desktop.system.typed.empty());
}

TEST_F(PanelControllerTest, ADesktopThatCannotTypeIsToldOnce) {
  LoadedWithBrowserInFront();
  desktop.system.typing.result = Result::kUnavailable;
  for (int i = 0; i < 2; ++i) {
    view.Click("cmdLogIn");
    RunDelivery();
  }
  EXPECT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(desktop.system.beeps, 2);
}

TEST_F(PanelControllerTest, MenusOpenTheDialogsTheReadmeAndTheAddresses) {
  Loaded("[General]\r\nZenmen=1\r\n");
  view.events->OnMenu("mnuSet", -1);
  EXPECT_EQ(settingsOpened, 1);
  // Always-on-top applied again after the settings dialog, from what it holds now.
  ASSERT_EQ(desktop.above.size(), 2u);
  EXPECT_TRUE(desktop.above[1].on);
  view.events->OnMenu("mnu_About", -1);
  EXPECT_EQ(aboutOpened, 1);
  view.events->OnMenu("mnu_Readme", -1);
  settings->addresses()[1] = u"https://example.invalid/info";
  for (int i = 0; i < 3; ++i) view.events->OnMenu("mnu_url", i);
  ASSERT_EQ(shell.opened.size(), 4u);
  EXPECT_EQ(shell.opened[0], u"/opt/navelo/Readme.txt");
  EXPECT_TRUE(shell.opened[1].empty());  // nothing entered yet: handed over empty, nothing shown
  EXPECT_EQ(shell.opened[2], u"https://example.invalid/info");
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PanelControllerTest, ClosingGivesTheKeyboardBackSavesOnceAndEnds) {
  struct Case {
    int dpi;
    bool placesWindows;
    Rect frame;
    PanelPosition saved;
  } cases[] = {
      {96, true, {30, 40}, {450, 600}},
      {144, true, {30, 40}, {300, 400}},
      // A desktop that tells no position: the stored one is kept, never 0,0.
      {96, false, {0, 0}, {1500, 3000}},
  };
  for (const Case& c : cases) {
    store.files.clear();
    view = {};
    view.dpi = c.dpi;
    desktop.caps.placesWindows = c.placesWindows;
    Loaded("[General]\r\nFormLeft=1500\r\nFormTop=3000\r\n");
    view.frame.x = c.frame.x;
    view.frame.y = c.frame.y;
    settings->record().NetID = u"inet";
    EXPECT_THROW(view.events->OnClose(), FakeProgram::Ended);
    EXPECT_TRUE(panel->ending());
    SettingsRecord back;
    back.startupPassword = u"ZelvOR";
    const auto loaded = LoadSettings(back, file, codec);
    EXPECT_EQ(back.NetID, u"inet");
    EXPECT_EQ(loaded.position.left, c.saved.left);
    EXPECT_EQ(loaded.position.top, c.saved.top);
  }
  const int restores = desktop.system.restores;
  EXPECT_GE(restores, 2);
  // A second end (a stop request while the first shows a message) saves nothing more.
  const int writes = store.replaceCount;
  EXPECT_THROW(panel->SaveAndEnd(), FakeProgram::Ended);
  panel->SaveQuietly();
  EXPECT_EQ(store.replaceCount, writes);
}

TEST_F(PanelControllerTest, AFailedSaveIsToldAndStillEnds) {
  Loaded();
  store.failWrites = "Read-only file system";
  EXPECT_THROW(panel->SaveAndEnd(), FakeProgram::Ended);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find(u"/opt/navelo/Navelo.INI"), std::u16string::npos);
  EXPECT_NE(messages.shown[0].text.find(u"Read-only file system"), std::u16string::npos);
  // Without windows (the display gone) a failure goes to standard error only.
  store.failWrites = "Read-only file system";
  Make().Load();
  messages.shown.clear();
  panel->SaveQuietly();
  EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace navelo
