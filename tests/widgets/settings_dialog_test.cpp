#include "dialogs/settings_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/testing/doubles.h"
#include "ui/ui.h"

using navelo::ui::ToQString;

class SettingsDialogTest : public QObject {
  Q_OBJECT

  navelo::SettingsRecord record;
  navelo::TargetSlots targets;
  navelo::BrowserAddresses addresses{};
  navelo::platform::testing::RecordingMessageBox messages;
  int confirmations = 0;
  bool confirmed = true;  // what the password dialog answers

  std::unique_ptr<navelo::SettingsDialog> Make() {
    return std::make_unique<navelo::SettingsDialog>(navelo::SettingsDialog::Context{
        record, targets, addresses, messages, [this](const std::u16string&) {
          ++confirmations;
          return confirmed;
        }});
  }

  // Shows the dialog modally, runs `action` in it, and closes it (as Cancel) if still open.
  bool Run(navelo::SettingsDialog& dialog, const std::function<void()>& action) {
    bool accepted = false;
    QTimer::singleShot(0, &dialog, [&] {
      action();
      if (dialog.isVisible()) dialog.reject();
    });
    connect(&dialog, &QDialog::accepted, this, [&] { accepted = true; });
    dialog.ShowModal();
    return accepted;
  }

  template <typename W>
  W* Get(QWidget& dialog, const char* name, int index = -1) {
    for (W* w : dialog.findChildren<W*>(QString::fromLatin1(name))) {
      if (index < 0 || w->property("index").toInt() == index) return w;
    }
    return nullptr;
  }

  void Click(QWidget& dialog, const char* name) {
    QTest::mouseClick(Get<QPushButton>(dialog, name), Qt::LeftButton);
  }

 private Q_SLOTS:
  void init() {
    record = {};
    record.startupPassword = u"ZelvOR";
    record.NetID = u"inet";
    record.PatID = u"12345678";
    record.Password = u"pin";
    record.Pars = u"4321";
    record.ApatPassword = u"apat";
    record.TouhyouTitle = u"IPAT合計金額入力";
    record.ShoukaiTitle = u"IPAT照会ログイン";
    record.ChienTime = 300;
    targets = {};
    targets.lastActiveTitle = u"Browser window";
    addresses = {u"u0", u"u1", u"u2", u""};
    messages.shown.clear();
    confirmations = 0;
    confirmed = true;
  }

  void opensWithTheRecordLoadedAndOkFocused() {
    auto dialog = Make();
    bool checked = false;
    Run(*dialog, [&] {
      QCOMPARE(Get<QLineEdit>(*dialog, "txtNetId")->text(), QString("inet"));
      QCOMPARE(Get<QLineEdit>(*dialog, "txtApatPswd")->text(), QString("apat"));
      QCOMPARE(Get<QLabel>(*dialog, "lblAct")->text(), QString("Browser window"));
      QCOMPARE(Get<QLabel>(*dialog, "lblShoTitle")->text(), ToQString(u"IPAT照会ログイン"));
      QCOMPARE(Get<QLabel>(*dialog, "lblVersion")->text(), QString("Version 1.2.4"));
      QCOMPARE(Get<QLineEdit>(*dialog, "txtChienTime")->text(), QString("300"));
      QVERIFY(!Get<QLineEdit>(*dialog, "txtChienTime")->isEnabled());  // Chien is 0
      QCOMPARE(Get<QLineEdit>(*dialog, "txtNavelo_Pswd")->text(), QString());
      QCOMPARE(dialog->focusWidget(), Get<QWidget>(*dialog, "cmdOk"));
      checked = true;
    });
    QVERIFY(checked);
  }

  void okCopiesEverythingAndCancelNothing() {
    auto dialog = Make();
    QVERIFY(!Run(*dialog, [&] {
      Get<QLineEdit>(*dialog, "txtNetId")->setText("cancelled");
      Click(*dialog, "cmdTouHen");
      Click(*dialog, "cmdCan");
    }));
    QVERIFY(record.NetID == u"inet");
    QVERIFY(record.TouhyouTitle == u"IPAT合計金額入力");

    auto again = Make();
    QVERIFY(Run(*again, [&] {
      QCOMPARE(Get<QLineEdit>(*again, "txtNetId")->text(), QString("inet"));  // reloaded
      Get<QLineEdit>(*again, "txtNetId")->setText("new id");
      Get<QCheckBox>(*again, "optZen")->setChecked(true);
      Get<QCheckBox>(*again, "optAct")->setChecked(true);
      Get<QLineEdit>(*again, "txtIpatURL", 1)->setText("https://example.invalid/");
      Click(*again, "cmdOk");
    }));
    QVERIFY(record.NetID == u"new id");
    QCOMPARE(record.Zenmen, short(1));
    QCOMPARE(record.Chokuzen, short(1));
    QVERIFY(addresses[1] == u"https://example.invalid/");
    QCOMPARE(messages.shown.size(), size_t(1));  // the capture's, in the cancelled showing
  }

  void enterPressesOnlyAFocusedButton() {
    // Enter and Escape in a text box, and Escape on a button, leave the dialog open.
    auto dialog = Make();
    bool open = false;
    Run(*dialog, [&] {
      QTest::keyClick(Get<QLineEdit>(*dialog, "txtNetId"), Qt::Key_Return);
      QTest::keyClick(Get<QLineEdit>(*dialog, "txtNetId"), Qt::Key_Escape);
      QTest::keyClick(Get<QPushButton>(*dialog, "cmdOk"), Qt::Key_Escape);
      open = dialog->isVisible();
    });
    QVERIFY(open);
    // Enter on the focused Cancel cancels; on OK, focused at opening, it accepts.
    auto second = Make();
    QVERIFY(!Run(*second, [&] {
      Get<QLineEdit>(*second, "txtNetId")->setText("typed");
      Get<QPushButton>(*second, "cmdCan")->setFocus();
      QTest::keyClick(Get<QPushButton>(*second, "cmdCan"), Qt::Key_Return);
    }));
    QVERIFY(record.NetID == u"inet");
    auto third = Make();
    QVERIFY(Run(*third, [&] {
      Get<QLineEdit>(*third, "txtNetId")->setText("typed");
      QTest::keyClick(third->focusWidget(), Qt::Key_Return);
    }));
    QVERIFY(record.NetID == u"typed");
  }

  void delayBoxFollowsTheDelayOption() {
    auto dialog = Make();
    Run(*dialog, [&] {
      auto* time = Get<QLineEdit>(*dialog, "txtChienTime");
      Get<QCheckBox>(*dialog, "optChien")->setChecked(true);
      QVERIFY(time->isEnabled());
      Get<QCheckBox>(*dialog, "optChien")->setChecked(false);
      QVERIFY(!time->isEnabled());
    });
  }

  void passwordChangeFlows() {
    // Changed and confirmed.
    auto dialog = Make();
    QVERIFY(Run(*dialog, [&] {
      Get<QLineEdit>(*dialog, "txtNavelo_Pswd")->setText("Secret");
      Click(*dialog, "cmdOk");
    }));
    QCOMPARE(confirmations, 1);
    QCOMPARE(messages.shown.size(), size_t(1));
    QVERIFY(messages.shown[0].text == navelo::kPasswordChangedMessage);
    QVERIFY(record.startupPassword == u"Secret");

    // Changed, cancelled (the dialog stays open, the old password is back), then OK again.
    confirmed = false;
    auto second = Make();
    bool stayedOpen = false;
    QVERIFY(Run(*second, [&] {
      QCOMPARE(Get<QLineEdit>(*second, "txtNavelo_Pswd")->text(), QString("Secret"));
      Get<QLineEdit>(*second, "txtNavelo_Pswd")->setText("Other");
      Get<QLineEdit>(*second, "txtNetId")->setText("kept in the box");
      Click(*second, "cmdOk");
      stayedOpen = second->isVisible();
      QVERIFY(record.startupPassword == u"Secret");
      QVERIFY(record.NetID == u"inet");
      confirmed = true;
      Click(*second, "cmdOk");
    }));
    QVERIFY(stayedOpen);
    QVERIFY(record.startupPassword == u"Other");
    QVERIFY(record.NetID == u"kept in the box");

    // Emptied: no password from now on.
    auto third = Make();
    QVERIFY(Run(*third, [&] {
      Get<QLineEdit>(*third, "txtNavelo_Pswd")->clear();
      Click(*third, "cmdOk");
    }));
    QVERIFY(record.startupPassword == u"ZelvOR");
    const int before = confirmations;
    // ZelvOR typed is the same as empty: nothing to confirm.
    auto fourth = Make();
    QVERIFY(Run(*fourth, [&] {
      Get<QLineEdit>(*fourth, "txtNavelo_Pswd")->setText("ZelvOR");
      Click(*fourth, "cmdOk");
    }));
    QCOMPARE(confirmations, before);
  }

  void captureButtonsCopyTheLastActiveTitleIntoTheLabels() {
    auto dialog = Make();
    QVERIFY(Run(*dialog, [&] {
      Click(*dialog, "cmdTouHen");
      Click(*dialog, "cmdShoHen");
      QCOMPARE(Get<QLabel>(*dialog, "lblTouTitle")->text(), QString("Browser window"));
      QCOMPARE(Get<QLabel>(*dialog, "lblShoTitle")->text(), QString("Browser window"));
      Click(*dialog, "cmdOk");
    }));
    QCOMPARE(messages.shown.size(), size_t(2));
    QVERIFY(messages.shown[0].text ==
            u"投票時は画面のタイトルが「Browser window」の画面に情報を送信するようになります");
    QVERIFY(
        messages.shown[1].text ==
        u"紹介ログイン時は画面のタイトルが「Browser window」の画面に情報を送信するようになります");
    QVERIFY(record.TouhyouTitle == u"Browser window");
    QVERIFY(record.ShoukaiTitle == u"Browser window");
  }
};

QTEST_MAIN(SettingsDialogTest)
#include "settings_dialog_test.moc"
