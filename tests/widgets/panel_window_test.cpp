#include "panel/panel_window.h"

#include <fcntl.h>
#include <unistd.h>

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/posix/codec_cp932.h"
#include "platform/testing/doubles.h"
#include "ui/ui.h"

using navelo::ui::ToQString;

// A foreground that reports its changes through a pipe, as a window system that tells of them.
class ReportingForeground final : public navelo::platform::ForegroundService {
 public:
  ReportingForeground() { [[maybe_unused]] int rc = ::pipe2(fds_, O_NONBLOCK); }
  ~ReportingForeground() override {
    ::close(fds_[0]);
    ::close(fds_[1]);
  }
  navelo::platform::WindowInfo Foreground() override {
    char buffer[16];
    while (::read(fds_[0], buffer, sizeof buffer) > 0) {
    }
    ++reads;
    return current;
  }
  int ChangeDescriptor() const override { return fds_[0]; }
  void Change(navelo::platform::WindowInfo now) {
    current = std::move(now);
    [[maybe_unused]] ssize_t n = ::write(fds_[1], "x", 1);
  }
  navelo::platform::WindowInfo current;
  int reads = 0;

 private:
  int fds_[2] = {-1, -1};
};

class PanelWindowTest : public QObject {
  Q_OBJECT

  navelo::platform::posix::Cp932Codec codec;
  navelo::platform::testing::MemoryFileStore store;
  navelo::platform::testing::RecordingMessageBox messages;
  navelo::platform::testing::RecordingShell shell;
  navelo::platform::testing::RecordingTopmost topmost;
  navelo::platform::testing::FakeProgram program;
  navelo::platform::testing::FakeForeground foreground;
  navelo::platform::testing::FakeWindowSystem windows;
  navelo::Delivery delivery{windows};
  navelo::SettingsFile file{"/opt/navelo/Navelo.INI", store, codec};
  // One store per panel made, kept until the test ends (each panel holds on to its own).
  std::vector<std::unique_ptr<navelo::SettingsStore>> stores;
  navelo::SettingsStore* settings = nullptr;

  std::unique_ptr<navelo::PanelWindow> MakePanel() {
    stores.push_back(std::make_unique<navelo::SettingsStore>(file, codec));
    settings = stores.back().get();
    return std::make_unique<navelo::PanelWindow>(navelo::PanelContext{
        *settings, messages, shell, topmost, program, foreground, delivery, {}, {}});
  }

  QWidget* Control(QWidget* panel, const char* name, int index = -1) {
    for (auto* w : panel->findChildren<QWidget*>(name)) {
      if (index < 0 || w->property("index").toInt() == index) return w;
    }
    return nullptr;
  }

 private slots:
  void init() {
    store.files.clear();
    messages.shown.clear();
    shell.opened.clear();
    topmost.calls.clear();
    windows = {};
  }

  void loadPlacesShowsAndAppliesTopmost() {
    store.files["/opt/navelo/Navelo.INI"] =
        "[General]\r\nFormLeft=1500\r\nFormTop=3000\r\nZenmen=1\r\n";
    auto panel = MakePanel();
    panel->Load();
    QVERIFY(panel->isVisible());
    QVERIFY(panel->expanded());
    QCOMPARE(panel->pos(), QPoint(100, 200));
    QCOMPARE(topmost.calls.size(), size_t(1));
    QVERIFY(topmost.calls[0].on);
    QCOMPARE(topmost.calls[0].window, navelo::platform::WindowHandle(panel->winId()));

    for (short zenmen : {0, 2, -1}) {
      topmost.calls.clear();
      store.files["/opt/navelo/Navelo.INI"] = "[General]\r\nZenmen=" + std::to_string(zenmen);
      auto other = MakePanel();
      other->Load();
      QVERIFY(!topmost.calls.at(0).on);
    }
  }

  void readmeAndBrowserMenuGoToTheShell() {
    auto panel = MakePanel();
    panel->findChild<QAction*>("mnu_Readme")->trigger();
    QCOMPARE(shell.opened.size(), size_t(1));
    QVERIFY(shell.opened[0] == u"/opt/navelo/Readme.txt");
    settings->addresses()[1] = u"https://example.invalid/info";
    for (QAction* a : panel->findChild<QMenu*>("mnu_brow")->actions()) a->trigger();
    QCOMPARE(shell.opened.size(), size_t(4));
    QVERIFY(shell.opened[1].empty());  // nothing entered yet: handed over empty, nothing shown
    QVERIFY(shell.opened[2] == u"https://example.invalid/info");
    QVERIFY(messages.shown.empty());
  }

  void closingSavesGivesTheKeyboardBackThenEnds() {
    auto panel = MakePanel();
    panel->Load();
    panel->move(30, 40);
    settings->record().NetID = u"inet";
    try {
      panel->SaveAndEnd();
      QFAIL("the program did not end");
    } catch (const navelo::platform::testing::FakeProgram::Ended& ended) {
      QCOMPARE(ended.code, 0);
    }
    QCOMPARE(windows.restores, 1);
    navelo::SettingsRecord back;
    back.startupPassword = u"ZelvOR";
    auto loaded = navelo::LoadSettings(back, file, codec);
    QVERIFY(back.NetID == u"inet");
    QCOMPARE(loaded.position.left, panel->frameGeometry().left() * 15);
    QCOMPARE(loaded.position.top, panel->frameGeometry().top() * 15);
  }

  void keypadBuildsTheAmount() {
    auto panel = MakePanel();
    auto* kin = static_cast<QLineEdit*>(Control(panel.get(), "txtKin"));
    auto press = [&](int i) {
      QTest::mouseClick(static_cast<QPushButton*>(Control(panel.get(), "NumKey", i)),
                        Qt::LeftButton);
    };
    press(3);
    press(0);
    QCOMPARE(kin->text(), QString("3000"));
    QTest::mouseClick(static_cast<QPushButton*>(Control(panel.get(), "Enter")), Qt::LeftButton);
    QCOMPARE(kin->text(), QString());
    kin->setText("1234");  // typed by hand: sent as typed, replaced by the next digit
    press(7);
    QCOMPARE(kin->text(), QString("700"));
  }

  void sendButtonsTypeIntoTheirSlots() {
    auto panel = MakePanel();
    settings->record().PatID = u"12345678";
    settings->record().Password = u"pin";
    settings->record().Pars = u"4321";
    settings->record().NetID = u"inet";
    settings->record().ApatPassword = u"ap";
    settings->record().TouhyouTitle = u"IPAT合計金額入力";
    settings->record().ShoukaiTitle = u"IPAT照会ログイン";
    auto click = [&](const char* name) {
      QTest::mouseClick(static_cast<QPushButton*>(Control(panel.get(), name)), Qt::LeftButton);
    };
    click("cmdSho");  // nothing seen yet: nothing happens
    QVERIFY(windows.typed.empty());

    settings->targets().voteHandle = 7;
    settings->targets().lastActiveHandle = 9;
    settings->targets().lastActiveTitle = u"Browser";
    windows.titles = {{7, u"IPAT合計金額入力"}, {9, u"Browser"}};
    auto press = [&](int i) {
      QTest::mouseClick(static_cast<QPushButton*>(Control(panel.get(), "NumKey", i)),
                        Qt::LeftButton);
    };
    press(3);
    press(0);
    click("cmdTou");
    QVERIFY(windows.typed[7] == u"12345678\tpin\t4321\t3000");
    // The amount stays on display; the next digit starts a new amount.
    auto* kin = static_cast<QLineEdit*>(Control(panel.get(), "txtKin"));
    QCOMPARE(kin->text(), QString("3000"));
    press(5);
    QCOMPARE(kin->text(), QString("500"));

    click("cmdLogIn");
    click("Command2");
    QVERIFY(windows.typed[9] == u"inet12345678\tap");
    QCOMPARE(windows.beeps, 0);

    // A window that cannot take synthetic keys: the user is told once, and hears a beep each time.
    windows.typing.result = navelo::platform::WindowSystem::Typing::Result::kUnavailable;
    click("cmdLogIn");
    click("cmdLogIn");
    QTRY_COMPARE(messages.shown.size(), size_t(1));
    QCOMPARE(windows.beeps, 2);
  }

  void reportedChangesTickAtOnceAndTheTimerOnlyOnceASecond() {
    ReportingForeground reporting;
    stores.push_back(std::make_unique<navelo::SettingsStore>(file, codec));
    navelo::PanelWindow panel(navelo::PanelContext{
        *stores.back(), messages, shell, topmost, program, reporting, delivery, {}, {}});
    panel.Load();
    QCOMPARE(panel.findChild<QTimer*>("Timer1")->interval(), 1000);
    QTRY_VERIFY_WITH_TIMEOUT(reporting.reads > 0,
                             500);  // one tick at once, for the window in front
    reporting.Change({42, u"IPAT照会ログイン - Browser"});
    QTRY_VERIFY_WITH_TIMEOUT(!panel.expanded(), 500);  // well before the next timer tick
    QCOMPARE(stores.back()->targets().inquiryHandle, navelo::platform::WindowHandle(42));
    reporting.Change({1, u"Navelo"});
    QTRY_VERIFY_WITH_TIMEOUT(panel.expanded(), 500);
    // Without reports the panel polls every 100 ms.
    auto polling = MakePanel();
    polling->Load();
    QCOMPARE(polling->findChild<QTimer*>("Timer1")->interval(), 100);
  }

  void tickShrinksToTheCaptionAndRestoresTheExactHeight() {
    auto panel = MakePanel();
    panel->Load();
    const int full = panel->height();
    QCOMPARE(panel->fullHeight(), full);
    foreground.current = {42, u"IPAT照会ログイン - Browser"};
    panel->Tick();
    QVERIFY(!panel->expanded());
    QCOMPARE(panel->height(), 1);
    QVERIFY(settings->record().ShoukaiTitle == u"IPAT照会ログイン - Browser");
    QCOMPARE(settings->targets().inquiryHandle, navelo::platform::WindowHandle(42));
    foreground.current = {0, u""};
    panel->Tick();
    QCOMPARE(panel->height(), 1);
    foreground.current = {1, u"Navelo"};
    panel->Tick();
    QVERIFY(panel->expanded());
    QCOMPARE(panel->height(), full);
    // And once more, to show nothing drifts.
    foreground.current = {42, u"x"};
    panel->Tick();
    foreground.current = {1, u"Navelo"};
    panel->Tick();
    QCOMPARE(panel->height(), full);
    QCOMPARE(panel->width(), panel->sizeHint().width());
  }

  void longTitlesAreReadCut() {
    auto panel = MakePanel();
    panel->Load();
    foreground.current = {5, std::u16string(100, u'x')};
    panel->Tick();
    QCOMPARE(settings->targets().lastActiveTitle.size(), size_t(69));
  }

  void failedSaveIsReportedAndStillEnds() {
    auto panel = MakePanel();
    store.failWrites = "Read-only file system";
    bool ended = false;
    try {
      panel->SaveAndEnd();
    } catch (const navelo::platform::testing::FakeProgram::Ended&) {
      ended = true;
    }
    store.failWrites.reset();
    QVERIFY(ended);
    QCOMPARE(messages.shown.size(), size_t(1));
    const QString text = ToQString(messages.shown[0].text);
    QVERIFY(text.contains("/opt/navelo/Navelo.INI"));
    QVERIFY(text.contains("Read-only file system"));
  }
};

QTEST_MAIN(PanelWindowTest)
#include "panel_window_test.moc"
