// The tracker and the dialogs on a real desktop: the settings dialog shares the panel's caption,
// so while it is in front the slots stay as they are; the password dialog it asks for has a
// caption of its own and becomes the last-active window. And every window's title-bar buttons.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <optional>
#include <string>

#include "app/password_dialog.h"
#include "dialogs/about_dialog.h"
#include "dialogs/settings_dialog.h"
#include "panel/panel_window.h"
#include "platform/posix/codec_cp932.h"
#include "platform/testing/doubles.h"
#include "platform/x11/x11_windows.h"
#include "ui/desktop.h"
#include "ui/ui.h"
// clang-format off
#include "x11_testkit.h"
// clang-format on

namespace navelo::testkit {
namespace {

class NoSystemInfo final : public platform::SystemInfoService {
 public:
  bool Start() override { return false; }
};

// Runs the event loop until `ready` holds or five seconds pass.
bool Until(const std::function<bool()>& ready) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!ready()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return true;
}

TEST(DialogsOnX11, SettingsDialogKeepsTheSlotsAndThePasswordDialogBecomesLastActive) {
  Desktop desktop;
  if (!desktop.ok()) GTEST_SKIP() << "no X display (the test command provides one)";

  platform::posix::Cp932Codec codec;
  platform::testing::MemoryFileStore store;
  platform::testing::RecordingMessageBox messages;
  platform::testing::RecordingShell shell;
  platform::testing::RecordingTopmost topmost;
  platform::testing::FakeProgram program;
  platform::x11::X11Connection connection;
  platform::x11::X11Foreground foreground(connection);
  platform::x11::X11WindowSystem windowSystem(connection);
  Delivery delivery(windowSystem);
  SettingsFile file("/opt/navelo/Navelo.INI", store, codec);
  SettingsStore settings(file, codec);
  SettingsRecord& record = settings.record();
  TargetSlots& targets = settings.targets();

  PasswordDialog password(messages);
  std::optional<WindowHandle> passwordWindow;
  std::u16string lastActiveWhilePasswordShown;
  WindowHandle lastActiveHandleWhilePasswordShown = 0;
  auto openSettings = [&](QWidget* owner) {
    SettingsDialog dialog(
        {record, targets, settings.addresses(), messages,
         [&](const std::u16string&) {
           QTimer::singleShot(0, &password, [&] {
             passwordWindow = password.winId();
             Until([&] { return targets.lastActiveHandle == *passwordWindow; });
             lastActiveWhilePasswordShown = targets.lastActiveTitle;
             lastActiveHandleWhilePasswordShown = targets.lastActiveHandle;
             password.reject();  // cancelled: the settings dialog stays open
           });
           return password.Ask(PasswordMode::kConfirm, [](const std::u16string&) { return true; })
               .has_value();
         }},
        owner);
    QTimer::singleShot(0, &dialog, [&] {
      // The settings dialog in front: the tracker takes it for the panel.
      ASSERT_TRUE(Until([&] { return desktop.ActiveWindow() == dialog.winId(); }));
      const TargetSlots before = targets;
      QEventLoop wait;
      QTimer::singleShot(400, &wait, &QEventLoop::quit);  // four ticks
      wait.exec();
      EXPECT_EQ(targets.lastActiveHandle, before.lastActiveHandle);
      EXPECT_EQ(targets.lastActiveTitle, before.lastActiveTitle);
      EXPECT_EQ(targets.inquiryHandle, before.inquiryHandle);

      // A changed start-up password asks for confirmation in a window of its own.
      dialog.findChild<QLineEdit*>(QStringLiteral("txtNavelo_Pswd"))->setText("New");
      dialog.findChild<QPushButton*>(QStringLiteral("cmdOk"))->click();
      EXPECT_TRUE(dialog.isVisible());
      dialog.reject();
    });
    dialog.ShowModal();
  };

  PanelWindow panel(PanelContext{
      settings, messages, shell, topmost, program, foreground, delivery, openSettings, {}});
  panel.Load();

  // The inquiry page comes to the front and is captured.
  TypingTarget page(TYPING_TARGET, "IPAT照会ログイン", 1);
  auto pageWindow = page.WaitForWindow(desktop);
  ASSERT_TRUE(pageWindow);
  desktop.Activate(*pageWindow);
  ASSERT_TRUE(Until([&] { return targets.inquiryHandle == *pageWindow; }));
  EXPECT_FALSE(panel.expanded());

  // Back to the panel, then its settings dialog.
  desktop.Activate(panel.winId());
  ASSERT_TRUE(Until([&] { return panel.expanded(); }));
  panel.findChild<QAction*>(QStringLiteral("mnuSet"))->trigger();

  ASSERT_TRUE(passwordWindow.has_value());
  EXPECT_EQ(lastActiveWhilePasswordShown, u"【Navelo】パスワード入力");
  EXPECT_EQ(lastActiveHandleWhilePasswordShown, *passwordWindow);
  EXPECT_EQ(targets.inquiryHandle, *pageWindow);  // the page stays captured
  EXPECT_EQ(record.startupPassword, u"ZelvOR");   // the cancelled change left nothing behind
  // After the dialog closed the panel applied always-on-top again.
  EXPECT_GE(topmost.calls.size(), 2u);
}

// Each window asks the window manager for its own title-bar buttons only, in both halves of the
// Motif hints (what it may do, what it shows), and keeps them when always-on-top changes. Under
// xfwm4, which draws what the hints allow (the test command runs this test there too, with the
// buttons laid out as on Windows), the title bars show exactly those buttons: the window menu on
// the left, close on the right, nothing else. openbox keeps iconify and close whatever the hints.
TEST(DialogsOnX11, WindowsAskForOnlyTheirTitleBarButtons) {
  Desktop desktop;
  if (!desktop.ok()) GTEST_SKIP() << "no X display (the test command provides one)";
  const char* wantedWm = std::getenv("NAVELO_WM");
  const bool xfwm4 = wantedWm != nullptr && std::string(wantedWm) == "xfwm4";
  if (xfwm4) {
    ASSERT_EQ(desktop.WindowManagerName(), "Xfwm4");
  }
  platform::posix::Cp932Codec codec;
  platform::testing::MemoryFileStore store;
  platform::testing::RecordingMessageBox messages;
  platform::testing::RecordingShell shell;
  platform::testing::FakeProgram program;
  platform::testing::FakeForeground foreground;
  platform::testing::FakeWindowSystem windows;
  Delivery delivery(windows);
  NoSystemInfo sysInfo;
  ui::EwmhTopmost topmost;
  SettingsFile file("/opt/navelo/Navelo.INI", store, codec);
  SettingsStore settingsStore(file, codec);

  // Flags (functions and decorations given), functions, decorations.
  const std::vector<unsigned long> closeAndMenu = {0x3, 0x4 | 0x20, 0x2 | 0x8 | 0x10};
  const std::vector<unsigned long> captionOnly = {0x3, 0x4, 0x2 | 0x8};
  auto hints = [&](QWidget& w, const std::vector<unsigned long>& expected) {
    const bool asked = Until([&] {
      std::vector<unsigned long> h = desktop.MotifHints(w.winId());
      return h.size() >= 3 && std::vector<unsigned long>(h.begin(), h.begin() + 3) == expected;
    });
    if (!asked || !xfwm4) return asked;
    // Window menu on the left and close on the right, or no button at all.
    const Desktop::TitleBarButtons shown =
        expected == closeAndMenu ? Desktop::TitleBarButtons{1, 1} : Desktop::TitleBarButtons{0, 0};
    std::optional<Desktop::TitleBarButtons> drawn;
    if (Until([&] { return (drawn = desktop.Xfwm4TitleBarButtons(w.winId())) == shown; }))
      return true;
    ADD_FAILURE() << "buttons drawn: "
                  << (drawn ? std::to_string(drawn->left) + " left, " +
                                  std::to_string(drawn->right) + " right"
                            : std::string("no xfwm4 frame"));
    return false;
  };

  PanelWindow panel(
      PanelContext{settingsStore, messages, shell, topmost, program, foreground, delivery, {}, {}});
  panel.Load();
  EXPECT_TRUE(hints(panel, closeAndMenu)) << "panel";
  topmost.SetTopmost(panel.winId(), true);
  EXPECT_TRUE(hints(panel, closeAndMenu)) << "panel, always on top";

  SettingsDialog settings({settingsStore.record(), settingsStore.targets(),
                           settingsStore.addresses(), messages,
                           [](const std::u16string&) { return false; }});
  QTimer::singleShot(0, &settings, [&] {
    EXPECT_TRUE(hints(settings, captionOnly)) << "settings";
    settings.reject();
  });
  settings.ShowModal();

  PasswordDialog password(messages);
  QTimer::singleShot(0, &password, [&] {
    EXPECT_TRUE(hints(password, captionOnly)) << "password";
    password.reject();
  });
  password.Ask(PasswordMode::kStartupCheck, [](const std::u16string&) { return false; });

  AboutDialog about({shell, messages, sysInfo, "/opt/navelo", file.path()});
  QTimer::singleShot(0, &about, [&] {
    EXPECT_TRUE(hints(about, closeAndMenu)) << "about";
    about.reject();
  });
  about.exec();
}

}  // namespace
}  // namespace navelo::testkit
