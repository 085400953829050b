#include "app/password_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/testing/doubles.h"
#include "ui/ui.h"

using navelo::ui::ToQString;

class PasswordDialogTest : public QObject {
  Q_OBJECT

  navelo::platform::testing::RecordingMessageBox messages;
  std::optional<std::u16string> outcome;

  // Asks with `accepts`, runs `action` once the modal dialog is up, then returns when it has
  // closed (or after 2 s).
  void WhileShown(navelo::PasswordDialog& dialog, std::function<void()> action,
                  std::function<bool(const std::u16string&)> accepts = nullptr,
                  navelo::PasswordMode mode = navelo::PasswordMode::kStartupCheck) {
    QTimer::singleShot(0, &dialog, [&dialog, action] {
      action();
      if (dialog.isVisible()) QTimer::singleShot(50, &dialog, [&dialog] { dialog.done(5); });
    });
    if (!accepts) accepts = [](const std::u16string& entry) { return entry == u"Secret"; };
    outcome = dialog.Ask(mode, accepts);
  }

  void Type(navelo::PasswordDialog& dialog, const QString& text) {
    auto* box = dialog.findChild<QLineEdit*>("txtPswd");
    QTest::keyClicks(box, text);
  }

 private slots:
  void init() {
    messages.shown.clear();
    outcome.reset();
  }

  void okTakesOnlyAnAcceptedEntryAndReportsWrongOnes() {
    navelo::PasswordDialog dialog(messages);
    WhileShown(dialog, [&] {
      Type(dialog, "secret");
      QTest::keyClick(dialog.findChild<QLineEdit*>("txtPswd"), Qt::Key_Return);  // Enter is OK
      QVERIFY(dialog.isVisible());  // not accepted: reported, stays open
      auto* box = dialog.findChild<QLineEdit*>("txtPswd");
      QCOMPARE(box->text(), QString("secret"));
      box->clear();
      Type(dialog, "Secret");
      QTest::mouseClick(dialog.findChild<QPushButton*>("Command1"), Qt::LeftButton);
    });
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(messages.shown.size(), size_t(1));
    QVERIFY(messages.shown[0].text == u"パスワードが違います");
    QVERIFY(messages.shown[0].title == u"Navelo");
    QVERIFY(outcome == u"Secret");
  }

  void anEmptyBoxIsTheNoPasswordEntry() {
    navelo::PasswordDialog dialog(messages);
    std::u16string seen;
    WhileShown(
        dialog,
        [&] { QTest::mouseClick(dialog.findChild<QPushButton*>("Command1"), Qt::LeftButton); },
        [&](const std::u16string& entry) {
          seen = entry;
          return true;
        },
        navelo::PasswordMode::kConfirm);
    QVERIFY(seen == u"ZelvOR");
    QVERIFY(outcome == u"ZelvOR");
    QCOMPARE(dialog.flgSyori, std::int16_t(1));
  }

  void escapeDoesNothingAndEveryOtherWayOutIsCancel() {
    navelo::PasswordDialog dialog(messages);
    bool stillOpenAfterEsc = false;
    WhileShown(dialog, [&] {
      QTest::keyClick(&dialog, Qt::Key_Escape);
      stillOpenAfterEsc = dialog.isVisible();
      dialog.close();  // the window manager's close command
    });
    QVERIFY(stillOpenAfterEsc);
    QVERIFY(!outcome);
    WhileShown(dialog, [&] {
      Type(dialog, "Secret");  // an acceptable entry, but Enter on the focused Cancel
      auto* cancel = dialog.findChild<QPushButton*>("Command2");
      cancel->setFocus();
      QTest::keyClick(cancel, Qt::Key_Return);
    });
    QVERIFY(!outcome);
    WhileShown(dialog, [&] {
      Type(dialog, "Secret");  // an acceptable entry, but Cancel
      QTest::mouseClick(dialog.findChild<QPushButton*>("Command2"), Qt::LeftButton);
    });
    QVERIFY(!outcome);
  }

  void eachShowingStartsEmpty() {
    navelo::PasswordDialog dialog(messages);
    WhileShown(dialog, [&] { Type(dialog, "typed"); });
    QString seen;
    WhileShown(dialog, [&] { seen = dialog.findChild<QLineEdit*>("txtPswd")->text(); });
    QCOMPARE(seen, QString());
  }
};

QTEST_MAIN(PasswordDialogTest)
#include "password_dialog_test.moc"
