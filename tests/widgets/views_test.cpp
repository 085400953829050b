// The Qt views pass the user's actions on to their controller and carry out its requests; what
// the actions mean is the controllers' (tested in the core).
#include "ui/views.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "forms/layouts.h"
#include "platform/testing/doubles.h"
#include "ui/form_builder.h"
#include "ui/ui.h"

namespace forms = navelo::forms;
using navelo::ui::Built;
using navelo::ui::ToQString;

namespace {

// Records what a view passes on; ends a modal run on the control named in `endOn`.
class Recorder final : public navelo::FormEvents {
 public:
  explicit Recorder(navelo::FormView& view) : view_(view) { view.SetEvents(this); }
  void OnClick(std::string_view control, int index) override {
    seen.push_back("click " + std::string(control) + Index(index));
    if (control == endOn) view_.EndModal(7);
  }
  void OnMenu(std::string_view item, int index) override {
    seen.push_back("menu " + std::string(item) + Index(index));
  }
  void OnClose() override {
    seen.push_back("close");
    view_.EndModal(3);
  }
  void OnPointer(std::string_view control, int index) override {
    if (pointer) seen.push_back("pointer " + std::string(control) + Index(index));
  }
  void OnTimer(int timer) override { seen.push_back("timer " + std::to_string(timer)); }

  std::vector<std::string> seen;
  std::string endOn;
  bool pointer = false;  // pointer moves are recorded too

 private:
  static std::string Index(int index) { return index < 0 ? "" : "(" + std::to_string(index) + ")"; }
  navelo::FormView& view_;
};

void MoveOver(QWidget* w) {
  QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(w, &move);
}

}  // namespace

class ViewsTest : public QObject {
  Q_OBJECT

  navelo::platform::testing::FakeDesktop desktop;

  // Runs `dialog` modally with `action` inside; a run nothing ended is ended with -1 after it.
  int WhileModal(navelo::ui::QtDialogView& dialog, std::function<void()> action) {
    QTimer::singleShot(0, &dialog, [&dialog, action] {
      action();
      if (dialog.isVisible()) dialog.EndModal(-1);
    });
    return dialog.RunModal(navelo::Owner::kNone);
  }

 private Q_SLOTS:
  void clicksAndKeysReachTheController() {
    navelo::ui::QtDialogView password(forms::kFrmPswd, desktop);
    Recorder events(password);
    auto* box = Built<QLineEdit>(&password, "txtPswd");
    // Enter in the text box presses the default button; Escape, with no cancel button, nothing.
    QCOMPARE(WhileModal(password,
                        [&] {
                          QTest::keyClick(box, Qt::Key_Escape);
                          QTest::keyClick(box, Qt::Key_Return);
                          QTest::mouseClick(Built<QPushButton>(&password, "Command2"),
                                            Qt::LeftButton);
                          password.close();  // the window manager's close
                        }),
             3);
    QCOMPARE(events.seen, (std::vector<std::string>{"click Command1", "click Command2", "close"}));
    // The view's placement: the client area opens where the form says.
    QCOMPARE(password.geometry().topLeft(), QPoint(navelo::TwipsToPixels(forms::kFrmPswd.left),
                                                   navelo::TwipsToPixels(forms::kFrmPswd.top)));

    // Escape presses the form's cancel button (the about box's OK); a link is clicked as a label.
    navelo::ui::QtDialogView about(forms::kFrmAbout, desktop);
    Recorder aboutEvents(about);
    aboutEvents.endOn = "cmdOK";
    QCOMPARE(WhileModal(about,
                        [&] {
                          QTest::mouseClick(Built<QLabel>(&about, "lblUrl", 2), Qt::LeftButton);
                          QTest::keyClick(Built<QPushButton>(&about, "cmdSysInfo"), Qt::Key_Escape);
                        }),
             7);
    QCOMPARE(aboutEvents.seen, (std::vector<std::string>{"click lblUrl(2)", "click cmdOK"}));

    // In the settings dialog Enter in a text box does nothing, and Escape nothing.
    navelo::ui::QtDialogView settings(forms::kFrmSet, desktop);
    Recorder settingsEvents(settings);
    WhileModal(settings, [&] {
      QTest::keyClick(Built<QLineEdit>(&settings, "txtNetId"), Qt::Key_Return);
      QTest::keyClick(Built<QLineEdit>(&settings, "txtNetId"), Qt::Key_Escape);
      QTest::mouseClick(Built<QCheckBox>(&settings, "optZen"), Qt::LeftButton);
    });
    QCOMPARE(settingsEvents.seen, (std::vector<std::string>{"click optZen"}));
  }

  void pointerMovesOverControlsAndTheSurface() {
    navelo::ui::QtDialogView about(forms::kFrmAbout, desktop);
    Recorder events(about);
    events.pointer = true;
    MoveOver(Built<QLabel>(&about, "lblUrl", 1));
    MoveOver(Built<QPushButton>(&about, "cmdOK"));
    MoveOver(&about);
    QCOMPARE(events.seen,
             (std::vector<std::string>{"pointer lblUrl(1)", "pointer cmdOK", "pointer "}));
    QCOMPARE(Built<QLabel>(&about, "lblUrl", 0)->cursor().shape(), Qt::PointingHandCursor);
  }

  void controlsShowWhatTheControllerSets() {
    navelo::ui::QtDialogView settings(forms::kFrmSet, desktop);
    auto* box = Built<QCheckBox>(&settings, "optMin");
    settings.SetCheck("optMin", 2);
    QVERIFY(box->isTristate());
    QCOMPARE(box->checkState(), Qt::PartiallyChecked);
    settings.SetCheck("optMin", 1);
    QVERIFY(!box->isTristate());
    QCOMPARE(box->checkState(), Qt::Checked);
    settings.SetText("txtNetId", u"12\t34\r\n");  // text boxes never hold a control character
    QCOMPARE(settings.Text("txtNetId", -1), u"1234");
    settings.SetText("lblAct", u"A <b>title</b>");
    QCOMPARE(Built<QLabel>(&settings, "lblAct")->text(), QString("A <b>title</b>"));
    settings.SetEnabled("txtChienTime", false);
    QVERIFY(!Built<QLineEdit>(&settings, "txtChienTime")->isEnabled());
    settings.SetCaption(u"題");
    QCOMPARE(settings.windowTitle(), ToQString(u"題"));
    navelo::ui::QtDialogView about(forms::kFrmAbout, desktop);
    about.SetItalic("lblUrl", 1, true);
    QVERIFY(Built<QLabel>(&about, "lblUrl", 1)->font().italic());
    QVERIFY(Built<QLabel>(&about, "lblUrl", 1)->font().underline());
    QVERIFY(!Built<QLabel>(&about, "lblUrl", 0)->font().italic());
  }

  void thePanelShrinksRestoresAndPassesItsMenusTimersAndReportsOn() {
    navelo::ui::QtPanelView panel(forms::kFrmNavelo, desktop);
    Recorder events(panel);
    const int full = panel.Height();
    panel.Show();
    panel.SetHeight(0);  // asked before the window is on the screen: done once it is there
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QTRY_COMPARE(panel.height(), 1);  // the smallest height an X window may have
    QTRY_COMPARE(panel.ShownHeight(), 1);
    panel.SetHeight(full);
    QCOMPARE(panel.height(), full);
    QTRY_COMPARE(panel.ShownHeight(), full);
    QCOMPARE(panel.width(), panel.sizeHint().width());
    panel.MoveFrame(30, 40);
    QCOMPARE(panel.Frame().x, 30);
    QCOMPARE(desktop.titleButtons.back().first, panel.Handle());
    QVERIFY(desktop.titleButtons.back().second.closeBox);

    Built<QAction>(&panel, "mnu_url", 1)->trigger();
    Built<QAction>(&panel, "mnuSet")->trigger();
    QTest::mouseClick(Built<QPushButton>(panel.centralWidget(), "NumKey", 4), Qt::LeftButton);
    panel.StartTimer(4, 0);
    panel.StartTimer(5, 0);
    panel.StopTimer(5);
    int fds[2];
    QVERIFY(::pipe2(fds, O_NONBLOCK) == 0);
    panel.Watch(fds[0], 2);
    QVERIFY(::write(fds[1], "x", 1) == 1);
    // The report comes again for as long as the descriptor stays readable.
    const auto seen = [&](const std::string& event) {
      return std::count(events.seen.begin(), events.seen.end(), event);
    };
    QTRY_VERIFY(seen("timer 2") > 0 && seen("timer 4") > 0);
    QCOMPARE(std::vector<std::string>(events.seen.begin(), events.seen.begin() + 3),
             (std::vector<std::string>{"menu mnu_url(1)", "menu mnuSet", "click NumKey(4)"}));
    QCOMPARE(seen("timer 4"), 1);
    QCOMPARE(seen("timer 2") + 4, static_cast<long>(events.seen.size()));  // no timer 5
    ::close(fds[0]);
    ::close(fds[1]);
    panel.close();
    QCOMPARE(events.seen.back(), std::string("close"));
  }
};

QTEST_MAIN(ViewsTest)
#include "views_test.moc"
