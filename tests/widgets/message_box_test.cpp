#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "ui/desktop.h"

class MessageBoxTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // A page title quoted in a message reads exactly as the page has it, markup and all.
  void textIsShownLiterally() {
    const QString title = QStringLiteral("<b>x</b> &lt;");
    QString shown;
    QTimer::singleShot(0, this, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box);
      for (QLabel* label : box->findChildren<QLabel*>()) {
        if (label->text() == title && label->textFormat() == Qt::PlainText) shown = label->text();
      }
      box->accept();
    });
    navelo::ui::QtMessageBox messages;
    messages.Show(u"<b>x</b> &lt;", u"Navelo");
    QCOMPARE(shown, title);
  }
};

QTEST_MAIN(MessageBoxTest)
#include "message_box_test.moc"
