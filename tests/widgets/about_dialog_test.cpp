#include "dialogs/about_dialog.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "platform/testing/doubles.h"
#include "ui/ui.h"

using navelo::ui::ToQString;

namespace {

// A desktop without any system-information tool.
class NoSystemInfo final : public navelo::platform::SystemInfoService {
 public:
  bool Start() override { return false; }
};

}  // namespace

class AboutDialogTest : public QObject {
  Q_OBJECT

  navelo::platform::testing::RecordingShell shell;
  navelo::platform::testing::RecordingMessageBox messages;
  NoSystemInfo sysInfo;

  std::unique_ptr<navelo::AboutDialog> Make(std::string settingsFile = "/opt/navelo/Navelo.INI") {
    return std::make_unique<navelo::AboutDialog>(
        navelo::AboutDialog::Context{shell, messages, sysInfo, "/opt/navelo", settingsFile});
  }

  void MoveOver(QWidget* w) {
    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
  }

 private Q_SLOTS:
  void captionsSetAtLoad() {
    auto dialog = Make();
    QCOMPARE(dialog->windowTitle(), ToQString(u"Naveloのﾊﾞｰｼﾞｮﾝ情報"));
    QCOMPARE(dialog->findChild<QLabel*>("lblTitle")->text(), QString("Navelo"));
    QCOMPARE(dialog->findChild<QLabel*>("lblVersion")->text(), ToQString(u"ﾊﾞｰｼﾞｮﾝ 1.2.4"));
  }

  void linksOpenWhatTheyShowAndTurnItalicOnHover() {
    auto dialog = Make();
    auto links = dialog->links();
    QCOMPARE(links[0]->text(), QString("file:///opt/navelo/Readme.txt"));
    QCOMPARE(links[1]->text(), QString("file:///opt/navelo"));
    QCOMPARE(links[2]->text(), QString("file:///opt/navelo"));  // no settings file yet
    for (auto* link : links) QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(shell.opened.size(), size_t(3));
    for (int i = 0; i < 3; ++i) QVERIFY(ToQString(shell.opened[i]) == links[i]->text());

    for (auto* link : links) QVERIFY(!link->font().italic());
    MoveOver(links[1]);
    QVERIFY(links[1]->font().italic());
    QVERIFY(!links[0]->font().italic());
    // Onto another label or button: still italic.
    MoveOver(dialog->findChild<QLabel*>("lblDescription"));
    MoveOver(dialog->findChild<QPushButton*>("cmdOK"));
    QVERIFY(links[1]->font().italic());
    MoveOver(links[0]);
    QVERIFY(links[0]->font().italic());
    // Over the dialog's own surface: all upright.
    MoveOver(dialog.get());
    for (auto* link : links) QVERIFY(!link->font().italic());
    QVERIFY(links[0]->font().underline() && links[0]->font().bold());
  }

  void settingsLinkLeadsToTheFileOnceItExists() {
    QTemporaryDir dir;
    const QString path = dir.filePath("Navelo.INI");
    QCOMPARE(Make(path.toStdString())->links()[2]->text(),
             navelo::FileAddress(dir.path().toStdString()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QCOMPARE(Make(path.toStdString())->links()[2]->text(), navelo::FileAddress(path.toStdString()));
  }

  void escapeAndEnterClose() {
    for (int key : {int(Qt::Key_Escape), int(Qt::Key_Return)}) {
      auto dialog = Make();
      bool closedByKey = false;
      QTimer::singleShot(0, dialog.get(), [&] {
        QTest::keyClick(dialog->findChild<QPushButton*>("cmdOK"), Qt::Key(key));
        closedByKey = !dialog->isVisible();
        if (dialog->isVisible()) dialog->done(7);
      });
      dialog->exec();
      QVERIFY2(closedByKey, key == Qt::Key_Escape ? "Esc" : "Enter");
    }
  }

  void missingSystemInformationToolIsReported() {
    auto dialog = Make();
    QTest::mouseClick(dialog->findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
    QCOMPARE(messages.shown.size(), size_t(1));
    QVERIFY(messages.shown[0].text == u"現時点ではｼｽﾃﾑ情報を使用できません");
    QVERIFY(messages.shown[0].title == u"Navelo");
  }
};

QTEST_MAIN(AboutDialogTest)
#include "about_dialog_test.moc"
