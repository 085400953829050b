#include "app/password_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/posix/codec_cp932.h"
#include "platform/testing/doubles.h"
#include "ui/ui.h"

using navelo::ui::ToQString;

class PasswordDialogTest : public QObject {
  Q_OBJECT

  navelo::platform::posix::Cp932Codec codec;
  navelo::platform::testing::MemoryFileStore store;
  navelo::platform::testing::RecordingMessageBox messages;
  navelo::SettingsFile file{"/opt/navelo/Navelo.INI", store, codec};
  navelo::SettingsRecord record;

  // Runs `action` once the modal dialog is up, then returns when it has closed (or after 2 s).
  void WhileShown(navelo::PasswordDialog& dialog, std::function<void()> action) {
    QTimer::singleShot(0, &dialog, [&dialog, action] {
      action();
      if (dialog.isVisible()) QTimer::singleShot(50, &dialog, [&dialog] { dialog.done(5); });
    });
    dialog.ShowModal();
  }

  void Type(navelo::PasswordDialog& dialog, const QString& text) {
    auto* box = dialog.findChild<QLineEdit*>("txtPswd");
    QTest::keyClicks(box, text);
  }

 private slots:
  void init() {
    store.files.clear();
    messages.shown.clear();
    navelo::SettingsRecord saved;
    saved.startupPassword = u"Secret";
    QVERIFY(!navelo::SaveSettings(saved, {}, file, codec));
    record = navelo::SettingsRecord{};
    record.startupPassword = u"junk";
  }

  void startupCheckAcceptsOnlyTheStoredPassword() {
    navelo::PasswordDialog dialog(record, file, codec, messages);
    dialog.flgSyori = 0;
    WhileShown(dialog, [&] {
      Type(dialog, "secret");
      QTest::keyClick(dialog.findChild<QLineEdit*>("txtPswd"), Qt::Key_Return);  // Enter is OK
      QVERIFY(dialog.isVisible());  // wrong case: rejected, stays open
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
    QVERIFY(record.startupPassword == u"Secret");
  }

  void escapeDoesNothingAndCloseCountsAsCancel() {
    navelo::PasswordDialog dialog(record, file, codec, messages);
    bool stillOpenAfterEsc = false;
    WhileShown(dialog, [&] {
      QTest::keyClick(&dialog, Qt::Key_Escape);
      stillOpenAfterEsc = dialog.isVisible();
      dialog.close();  // the window manager's close command
    });
    QVERIFY(stillOpenAfterEsc);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(record.startupPassword.empty());
  }

  void enterOnTheFocusedCancelCancels() {
    navelo::PasswordDialog dialog(record, file, codec, messages);
    WhileShown(dialog, [&] {
      Type(dialog, "Secret");
      auto* cancel = dialog.findChild<QPushButton*>("Command2");
      cancel->setFocus();
      QTest::keyClick(cancel, Qt::Key_Return);
    });
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(record.startupPassword.empty());
  }

  void cancelEmptiesThePasswordInBothModes() {
    for (std::int16_t mode : {std::int16_t(0), std::int16_t(1)}) {
      record.startupPassword = u"New";
      navelo::PasswordDialog dialog(record, file, codec, messages);
      dialog.flgSyori = mode;
      WhileShown(dialog, [&] {
        QTest::mouseClick(dialog.findChild<QPushButton*>("Command2"), Qt::LeftButton);
      });
      QVERIFY(record.startupPassword.empty());
    }
  }

  void confirmationKeepsThePasswordInMemory() {
    record.startupPassword = u"New";
    navelo::PasswordDialog dialog(record, file, codec, messages);
    dialog.flgSyori = 1;
    WhileShown(dialog, [&] {
      Type(dialog, "New");
      QTest::mouseClick(dialog.findChild<QPushButton*>("Command1"), Qt::LeftButton);
    });
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(record.startupPassword == u"New");
    QVERIFY(messages.shown.empty());
  }

  void eachShowingStartsEmpty() {
    record.startupPassword = u"New";
    navelo::PasswordDialog dialog(record, file, codec, messages);
    dialog.flgSyori = 1;
    WhileShown(dialog, [&] { Type(dialog, "typed"); });
    QString seen;
    WhileShown(dialog, [&] { seen = dialog.findChild<QLineEdit*>("txtPswd")->text(); });
    QCOMPARE(seen, QString());
  }
};

QTEST_MAIN(PasswordDialogTest)
#include "password_dialog_test.moc"
