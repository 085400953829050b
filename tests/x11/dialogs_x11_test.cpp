// The tracker and the dialogs on a real desktop: the settings dialog shares the panel's caption,
// so while it is in front the slots stay as they are; the password dialog it asks for has a
// caption of its own and becomes the last-active window. And every window's title-bar buttons.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "app/logic/program.h"
#include "forms/layouts.h"
#include "platform/linux_session.h"
#include "platform/posix/codec_cp932.h"
#include "platform/testing/doubles.h"
#include "ui/form_builder.h"
#include "ui/ui.h"
#include "ui/views.h"
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

// The Qt views, as the program makes them, within reach of the test.
class KeptViews final : public ViewFactory {
 public:
  explicit KeptViews(platform::Desktop& desktop) : qt_(desktop) {}
  std::unique_ptr<FormView> MakeDialog(const forms::Form& form) override {
    auto view = qt_.MakeDialog(form);
    dialogs[std::string(form.name)] = static_cast<ui::QtDialogView*>(view.get());
    return view;
  }
  std::unique_ptr<PanelView> MakePanel() override {
    auto view = qt_.MakePanel();
    panel = static_cast<ui::QtPanelView*>(view.get());
    return view;
  }
  std::map<std::string, ui::QtDialogView*> dialogs;
  ui::QtPanelView* panel = nullptr;

 private:
  ui::QtViewFactory qt_;
};

TEST(DialogsOnX11, SettingsDialogKeepsTheSlotsAndThePasswordDialogBecomesLastActive) {
  Desktop desktop;
  if (!desktop.ok()) GTEST_SKIP() << "no X display (the test command provides one)";

  platform::posix::Cp932Codec codec;
  platform::testing::MemoryFileStore store;
  platform::testing::RecordingMessageBox messages;
  platform::testing::RecordingShell shell;
  platform::testing::FakeProgram program;
  platform::testing::FakeSettingsHome home;
  NoSystemInfo sysInfo;
  const auto x11 = platform::ChooseDesktop(platform::CurrentSession());
  KeptViews views(*x11);
  Program navelo({program, store, codec, messages, shell, sysInfo, home, *x11, views});
  navelo.Start();
  SettingsRecord& record = navelo.store().record();
  TargetSlots& targets = navelo.store().targets();

  std::optional<WindowHandle> passwordWindow;
  std::u16string lastActiveWhilePasswordShown;
  WindowHandle lastActiveHandleWhilePasswordShown = 0;
  bool settingsChecked = false;
  // What the user does once the settings dialog is up.
  auto inSettings = [&] {
    ui::QtDialogView& dialog = *views.dialogs.at("frmSet");
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
    QTimer::singleShot(0, &dialog, [&] {
      ui::QtDialogView& password = *views.dialogs.at("frmPswd");
      passwordWindow = password.winId();
      Until([&] { return targets.lastActiveHandle == *passwordWindow; });
      lastActiveWhilePasswordShown = targets.lastActiveTitle;
      lastActiveHandleWhilePasswordShown = targets.lastActiveHandle;
      password.close();  // cancelled: the settings dialog stays open
    });
    ui::Built<QLineEdit>(&dialog, "txtNavelo_Pswd")->setText("New");
    ui::Built<QPushButton>(&dialog, "cmdOk")->click();
    EXPECT_TRUE(dialog.isVisible());
    settingsChecked = true;
    dialog.close();
  };

  // The inquiry page comes to the front and is captured.
  TypingTarget page(TYPING_TARGET, "IPAT照会ログイン", 1);
  auto pageWindow = page.WaitForWindow(desktop);
  ASSERT_TRUE(pageWindow);
  desktop.Activate(*pageWindow);
  ASSERT_TRUE(Until([&] { return targets.inquiryHandle == *pageWindow; }));
  EXPECT_FALSE(navelo.panel().expanded());

  // Back to the panel, then its settings dialog.
  desktop.Activate(views.panel->winId());
  ASSERT_TRUE(Until([&] { return navelo.panel().expanded(); }));
  QTimer::singleShot(0, views.panel, inSettings);
  ui::Built<QAction>(views.panel, "mnuSet")->trigger();

  EXPECT_TRUE(settingsChecked);
  ASSERT_TRUE(passwordWindow.has_value());
  EXPECT_EQ(lastActiveWhilePasswordShown, u"【Navelo】パスワード入力");
  EXPECT_EQ(lastActiveHandleWhilePasswordShown, *passwordWindow);
  EXPECT_EQ(targets.inquiryHandle, *pageWindow);  // the page stays captured
  EXPECT_EQ(record.startupPassword, u"ZelvOR");   // the cancelled change left nothing behind
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
  const auto x11 = platform::ChooseDesktop(platform::CurrentSession());

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

  ui::QtPanelView panel(forms::kFrmNavelo, *x11);
  panel.Show();
  EXPECT_TRUE(hints(panel, closeAndMenu)) << "panel";
  x11->KeepAbove(panel.Handle(), true);
  EXPECT_TRUE(hints(panel, closeAndMenu)) << "panel, always on top";
  EXPECT_TRUE(Until([&] {
    const auto states = desktop.AtomNames(panel.winId(), "_NET_WM_STATE");
    return std::find(states.begin(), states.end(), "_NET_WM_STATE_ABOVE") != states.end();
  }));

  // Each dialog while it runs.
  for (const auto& [form, expected] :
       {std::pair{&forms::kFrmSet, captionOnly}, std::pair{&forms::kFrmPswd, captionOnly},
        std::pair{&forms::kFrmAbout, closeAndMenu}}) {
    ui::QtDialogView dialog(*form, *x11);
    QTimer::singleShot(0, &dialog, [&, expected = expected, name = form->name] {
      EXPECT_TRUE(hints(dialog, expected)) << name;
      dialog.EndModal(0);
    });
    dialog.RunModal(Owner::kNone);
  }
}

}  // namespace
}  // namespace navelo::testkit
