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

  void controlsMatchTheLayout() {
    auto dialog = Make();
    QCOMPARE(dialog->windowTitle(), QString("Navelo"));
    QCOMPARE(dialog->size(), QSize(325, 527));
    QVERIFY(!(dialog->windowFlags() & Qt::WindowCloseButtonHint));
    struct Expect {
      const char* name;
      const char* container;
      QString caption;
      QRect twips;
    } expected[] = {
        {"cmdOk", "frmSet", "OK", {3060, 540, 1575, 495}},
        {"cmdCan", "frmSet", ToQString(u"キャンセル"), {3060, 1170, 1575, 495}},
        {"lblVersion", "frmSet", "Version 1.2.4", {2730, 60, 2145, 225}},
        {"Frame1", "frmSet", ToQString(u"ユーザー情報"), {30, 30, 2595, 2145}},
        {"Label1", "Frame1", "INET-ID", {120, 270, 915, 195}},
        {"txtNetId", "Frame1", "inet", {1230, 180, 1215, 285}},
        {"Label18", "Frame1", ToQString(u"APATﾊﾟｽﾜｰﾄﾞ"), {90, 1470, 915, 195}},
        {"txtApatPswd", "Frame1", "apat", {1230, 1380, 1215, 285}},
        {"Label6", "Frame1", ToQString(u"※各自のID等を登録します"), {90, 1800, 2415, 285}},
        {"Frame2", "frmSet", ToQString(u"IPAT画面情報"), {30, 2220, 4785, 3225}},
        {"optAct",
         "Frame2",
         ToQString(u"常に直前にアクティブだった画面に送る"),
         {360, 210, 3585, 285}},
        {"lblTouTitle", "Frame2", ToQString(u"IPAT合計金額入力"), {60, 1260, 4605, 285}},
        {"cmdTouHen", "Frame2", ToQString(u"↑変更"), {3480, 1590, 945, 315}},
        {"lblAct", "Frame2", "Browser window", {90, 1890, 4545, 285}},
        {"cmdShoHen", "Frame2", ToQString(u"↓変更"), {3480, 2220, 945, 315}},
        {"Label8", "Frame2", ToQString(u"IPAT照会ログイン画面のタイトル"), {90, 2250, 3315, 195}},
        {"lblShoTitle", "Frame2", ToQString(u"IPAT照会ログイン"), {90, 2520, 4605, 285}},
        {"Frame3", "frmSet", ToQString(u"オプション"), {30, 5520, 4785, 1275}},
        {"optZen", "Frame3", ToQString(u"常時前面"), {60, 180, 1455, 285}},
        {"optMin", "Frame3", ToQString(u"自動で隠す"), {60, 690, 1455, 285}},
        {"optChien", "Frame3", ToQString(u"遅延する"), {60, 1380, 1455, 285}},
        {"txtChienTime", "Frame3", "300", {2670, 1380, 855, 270}},
        {"Label13",
         "Frame3",
         ToQString(u"☆加入者番号が入力されない場合にチェックします"),
         {60, 1860, 4665, 225}},
        {"Frame5", "frmSet", ToQString(u"起動パスワード"), {30, 6840, 4815, 1035}},
        {"txtNavelo_Pswd", "Frame5", QString(), {120, 210, 2625, 285}},
        {"Frame4", "frmSet", "URL", {60, 8160, 4755, 1065}},
        {"Label17", "Frame4", ToQString(u"CLUB　A-PAT"), {60, 750, 1215, 225}},
    };
    bool checked = false;
    Run(*dialog, [&] {
      for (const auto& e : expected) {
        QWidget* w = Get<QWidget>(*dialog, e.name);
        QVERIFY2(w, e.name);
        QCOMPARE(w->parentWidget()->objectName(), QString(e.container));
        const QRect px(qRound(e.twips.x() / 15.0), qRound(e.twips.y() / 15.0),
                       qRound(e.twips.width() / 15.0), qRound(e.twips.height() / 15.0));
        QCOMPARE(w->geometry(), px);
        QString text;
        if (auto* b = qobject_cast<QAbstractButton*>(w)) text = b->text();
        if (auto* l = qobject_cast<QLabel*>(w)) text = l->text();
        if (auto* t = qobject_cast<QLineEdit*>(w)) text = t->text();
        if (auto* g = qobject_cast<QGroupBox*>(w)) text = g->title();
        QCOMPARE(text, e.caption);
      }
      QCOMPARE(Get<QLineEdit>(*dialog, "txtPswd")->echoMode(), QLineEdit::Password);
      QCOMPARE(Get<QLineEdit>(*dialog, "txtNavelo_Pswd")->echoMode(), QLineEdit::Password);
      QVERIFY(!Get<QLineEdit>(*dialog, "txtNetId")->testAttribute(Qt::WA_InputMethodEnabled));
      QVERIFY(Get<QLineEdit>(*dialog, "txtIpatURL", 0)->testAttribute(Qt::WA_InputMethodEnabled));
      QVERIFY(Get<QLabel>(*dialog, "Label6")->styleSheet().contains("255, 0, 0"));
      QVERIFY(Get<QLabel>(*dialog, "lblAct")->styleSheet().contains("255, 192, 255"));
      QVERIFY(!Get<QLineEdit>(*dialog, "txtChienTime")->isEnabled());  // Chien is 0
      QCOMPARE(dialog->focusWidget(), Get<QWidget>(*dialog, "cmdOk"));
      checked = true;
    });
    QVERIFY(checked);
  }

  void tabOrderFollowsTheTable() {
    auto dialog = Make();
    Run(*dialog, [&] {
      QWidget* expected[] = {
          Get<QWidget>(*dialog, "cmdOk"),          Get<QWidget>(*dialog, "cmdCan"),
          Get<QWidget>(*dialog, "txtNetId"),       Get<QWidget>(*dialog, "txtId"),
          Get<QWidget>(*dialog, "txtPswd"),        Get<QWidget>(*dialog, "txtPars"),
          Get<QWidget>(*dialog, "cmdShoHen"),      Get<QWidget>(*dialog, "cmdTouHen"),
          Get<QWidget>(*dialog, "optZen"),         Get<QWidget>(*dialog, "optMin"),
          Get<QWidget>(*dialog, "txtIpatURL", 0),  Get<QWidget>(*dialog, "txtIpatURL", 1),
          Get<QWidget>(*dialog, "txtIpatURL", 2),  Get<QWidget>(*dialog, "txtApatPswd"),
          Get<QWidget>(*dialog, "txtNavelo_Pswd"), Get<QWidget>(*dialog, "optAct"),
      };
      for (std::size_t i = 0; i + 1 < std::size(expected); ++i) {
        QWidget* next = expected[i]->nextInFocusChain();
        while (next && !(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
        QCOMPARE(next, expected[i + 1]);
      }
    });
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

  void enterAndEscapeDoNotClose() {
    auto dialog = Make();
    bool open = false;
    Run(*dialog, [&] {
      QTest::keyClick(Get<QLineEdit>(*dialog, "txtNetId"), Qt::Key_Return);
      QTest::keyClick(Get<QLineEdit>(*dialog, "txtNetId"), Qt::Key_Escape);
      open = dialog->isVisible();
    });
    QVERIFY(open);
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
