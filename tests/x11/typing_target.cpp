// A window with line edits that reports what was typed into it:
//   typing_target TITLE FIELDS OUTFILE
// After every change the file holds one line per field (UTF-8), then "active" or "inactive" for
// whether the window has the keyboard focus. The first field has the focus.
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QSaveFile>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 4) return 2;
  QWidget window;
  window.setWindowTitle(QString::fromUtf8(argv[1]));
  auto* layout = new QVBoxLayout(&window);
  QList<QLineEdit*> fields;
  const QString out = QString::fromLocal8Bit(argv[3]);
  auto report = [&] {
    QSaveFile file(out);
    if (!file.open(QIODevice::WriteOnly)) return;
    for (QLineEdit* field : fields) file.write(field->text().toUtf8() + "\n");
    file.write(window.isActiveWindow() ? "active\n" : "inactive\n");
    file.commit();
  };
  for (int i = 0; i < QString(argv[2]).toInt(); ++i) {
    auto* field = new QLineEdit(&window);
    layout->addWidget(field);
    fields.push_back(field);
    QObject::connect(field, &QLineEdit::textChanged, report);
  }
  window.resize(400, 60 * static_cast<int>(fields.size()));
  window.move(300, 300);
  window.show();
  fields.front()->setFocus();
  QObject::connect(&app, &QApplication::focusChanged, report);
  report();
  return QApplication::exec();
}
