// Every form the Qt front end builds matches its description, control by control: geometry,
// container, caption, tab order, font, colours, mask and input method.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include "forms/geometry.h"
#include "forms/layouts.h"
#include "platform/testing/doubles.h"
#include "ui/form_builder.h"
#include "ui/ui.h"
#include "ui/views.h"

namespace forms = navelo::forms;
using navelo::TwipsToPixels;
using navelo::ui::ToQString;

namespace {

QString Name(std::string_view name) {
  return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

QString Label(const forms::Control& c) {
  return Name(c.name) + (c.index >= 0 ? QStringLiteral("(%1)").arg(c.index) : QString());
}

QRect Pixels(const forms::Control& c) {
  return QRect(TwipsToPixels(c.left), TwipsToPixels(c.top), TwipsToPixels(c.width),
               TwipsToPixels(c.height));
}

QColor Colour(forms::Colour rgb) {
  return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

QString TextOf(QObject* o) {
  if (auto* b = qobject_cast<QAbstractButton*>(o)) return b->text();
  if (auto* l = qobject_cast<QLabel*>(o)) return l->text();
  if (auto* t = qobject_cast<QLineEdit*>(o)) return t->text();
  if (auto* g = qobject_cast<QGroupBox*>(o)) return g->title();
  return {};
}

}  // namespace

class BuiltFormsTest : public QObject {
  Q_OBJECT

  navelo::platform::testing::FakeDesktop desktop;

  // Each form as the program builds it, with the widget its top-level controls sit in.
  struct Built {
    const forms::Form* form;
    std::unique_ptr<QWidget> window;
    QWidget* client;
  };

  std::vector<Built> BuildAll() {
    std::vector<Built> all;
    auto add = [&](const forms::Form& form, QWidget* window, QWidget* client) {
      all.push_back({&form, std::unique_ptr<QWidget>(window), client});
    };
    for (const forms::Form* form : {&forms::kFrmPswd, &forms::kFrmSet, &forms::kFrmAbout}) {
      add(*form, new navelo::ui::QtDialogView(*form, desktop), nullptr);
    }
    auto* panel = new navelo::ui::QtPanelView(forms::kFrmNavelo, desktop);
    add(forms::kFrmNavelo, panel, panel->centralWidget());
    for (Built& b : all) {
      if (!b.client) b.client = b.window.get();
    }
    return all;
  }

  static void CheckFont(const QFont& font, const forms::Font& expected, const QString& what) {
    const QStringList families =
        font.families().isEmpty() ? QStringList{font.family()} : font.families();
    switch (expected.face) {
      case forms::Face::kGothic:
        QVERIFY2(families.first() == ToQString(u"ＭＳ ゴシック"), qPrintable(what));
        break;
      case forms::Face::kPGothic:
        QVERIFY2(families.first() == ToQString(u"ＭＳ Ｐゴシック"), qPrintable(what));
        break;
      default:
        QVERIFY2(font.family() == QApplication::font().family(), qPrintable(what));
    }
    if (expected.face != forms::Face::kSystem) {
      QCOMPARE(font.pixelSize(), qRound(expected.points * 96 / 72));
    }
    QVERIFY2(font.bold() == expected.bold, qPrintable(what));
    QVERIFY2(font.italic() == expected.italic, qPrintable(what));
    QVERIFY2(font.underline() == expected.underline, qPrintable(what));
  }

  static void CheckControl(const forms::Form& form, const forms::Control& c, QWidget* client) {
    const QString what = Name(form.name) + "." + Label(c);
    QObject* built = navelo::ui::FindBuilt(client, c.name, c.index);
    QVERIFY2(built, qPrintable(what));
    if (c.kind == forms::Kind::kTimer) {
      QCOMPARE(qobject_cast<QTimer*>(built)->interval(), c.interval);
      return;
    }
    auto* w = qobject_cast<QWidget*>(built);
    QVERIFY2(w, qPrintable(what));
    const QString container = c.container.empty() ? client->objectName() : Name(c.container);
    QVERIFY2(w->parentWidget()->objectName() == container, qPrintable(what));
    if (c.kind == forms::Kind::kLine) {
      // The line's widget covers the line, and lets the mouse through.
      const QRect line = QRect(Pixels(c).topLeft(), Pixels(c).bottomRight()).normalized();
      QVERIFY2(w->geometry().contains(line), qPrintable(what));
      QVERIFY(w->testAttribute(Qt::WA_TransparentForMouseEvents));
      return;
    }
    QVERIFY2(w->geometry() == Pixels(c), qPrintable(what));
    if (!c.caption.empty()) QVERIFY2(TextOf(w) == ToQString(c.caption), qPrintable(what));
    CheckFont(w->font(), forms::EffectiveFont(form, c), what);
    w->ensurePolished();
    if (c.foreColour != forms::kNoColour) {
      QVERIFY2(w->palette().color(QPalette::WindowText) == Colour(c.foreColour), qPrintable(what));
    }
    if (c.backColour != forms::kNoColour) {
      QVERIFY2(w->autoFillBackground(), qPrintable(what));
      QVERIFY2(w->palette().color(QPalette::Window) == Colour(c.backColour), qPrintable(what));
    }
    if (auto* label = qobject_cast<QLabel*>(w)) {
      QVERIFY2(label->textFormat() == Qt::PlainText || c.kind == forms::Kind::kPicture,
               qPrintable(what));
      QVERIFY2((label->frameShape() == QFrame::Box) == (c.border == forms::Border::kSingle),
               qPrintable(what));
      QVERIFY2(label->wordWrap() == c.wordWrap, qPrintable(what));
    }
    if (auto* box = qobject_cast<QLineEdit*>(w)) {
      QVERIFY2((box->echoMode() == QLineEdit::Password) == (c.passwordChar != 0), qPrintable(what));
      if (c.passwordChar != 0) {
        QVERIFY2(box->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, box) ==
                     int(c.passwordChar),
                 qPrintable(what));
      }
      QVERIFY2(box->testAttribute(Qt::WA_InputMethodEnabled) == !c.imeOff, qPrintable(what));
      QVERIFY2(bool(box->alignment() & Qt::AlignRight) == (c.align == forms::Align::kRight),
               qPrintable(what));
    }
    if (auto* button = qobject_cast<QPushButton*>(w)) {
      QVERIFY2(button->isDefault() == c.isDefault, qPrintable(what));
    }
    QVERIFY2(bool(w->focusPolicy() & Qt::TabFocus) == c.Focusable(), qPrintable(what));
  }

 private Q_SLOTS:
  void everyControlMatchesItsDescription() {
    for (Built& b : BuildAll()) {
      for (const forms::Control& c : b.form->controls) {
        CheckControl(*b.form, c, b.client);
        if (QTest::currentTestFailed()) return;
      }
    }
  }

  void windowsHaveTheirCaptionSizeAndButtons() {
    for (Built& b : BuildAll()) {
      const forms::Form& form = *b.form;
      const QString what = Name(form.name);
      QCOMPARE(b.window->objectName(), what);
      // The about box replaces its layout caption when it loads.
      if (&form != &forms::kFrmAbout) QCOMPARE(b.window->windowTitle(), ToQString(form.caption));
      QCOMPARE(b.client->size(),
               QSize(TwipsToPixels(form.clientWidth), TwipsToPixels(form.clientHeight)));
      const Qt::WindowFlags flags = b.window->windowFlags();
      QCOMPARE(bool(flags & Qt::WindowSystemMenuHint), form.windowMenu);
      QCOMPARE(bool(flags & Qt::WindowCloseButtonHint), form.closeBox);
      QCOMPARE(bool(flags & Qt::WindowMinimizeButtonHint), form.minimizeBox);
      QCOMPARE(bool(flags & Qt::WindowMaximizeButtonHint), form.maximizeBox);
    }
  }

  void tabVisitsTheFocusableControlsInOrder() {
    for (Built& b : BuildAll()) {
      const auto order = forms::TabOrder(*b.form);
      for (std::size_t i = 0; i + 1 < order.size(); ++i) {
        QWidget* next = navelo::ui::Built<QWidget>(b.client, order[i]->name, order[i]->index)
                            ->nextInFocusChain();
        while (next && !(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
        QVERIFY2(
            next == navelo::ui::Built<QWidget>(b.client, order[i + 1]->name, order[i + 1]->index),
            qPrintable(Name(b.form->name) + "." + Label(*order[i])));
      }
    }
  }

  void menusMatchTheirDescription() {
    for (Built& b : BuildAll()) {
      for (const forms::Menu& m : b.form->menus) {
        const QString what = Name(m.name);
        QObject* built = navelo::ui::FindBuilt(b.window.get(), m.name, m.index);
        QVERIFY2(built, qPrintable(what));
        auto* menu = qobject_cast<QMenu*>(built);
        QAction* action = menu ? menu->menuAction() : qobject_cast<QAction*>(built);
        QVERIFY2(action && action->text() == ToQString(m.caption), qPrintable(what));
        const auto bar = static_cast<QMainWindow*>(b.window.get())->menuBar()->actions();
        if (m.parent.empty()) {
          QVERIFY2(bar.contains(action) == m.visible, qPrintable(what));
        } else {
          auto* parent = navelo::ui::Built<QMenu>(b.window.get(), m.parent);
          QVERIFY2(parent && parent->actions().contains(action), qPrintable(what));
        }
      }
    }
  }

  // Word-wrapped labels show their whole text: wrapped at the label's width in its own font, its
  // lines, at the spacing the label draws them with, fit its height; lines are never closer
  // than one em.
  void wrappedLabelsShowTheirWholeText() {
    QStringList clipped;
    for (Built& b : BuildAll()) {
      for (const forms::Control& c : b.form->controls) {
        if (!c.wordWrap || c.caption.empty()) continue;
        auto* label = navelo::ui::Built<QLabel>(b.client, c.name, c.index);
        label->ensurePolished();
        const QRect room = label->contentsRect();
        const QFontMetrics metrics(label->font());
        const QRect wrapped = metrics.boundingRect(room, Qt::TextWordWrap, label->text());
        const int lines = qRound(double(wrapped.height()) / metrics.lineSpacing());
        const double lineHeight = label->property("lineHeight").toDouble();
        if (wrapped.width() > room.width() || lines * lineHeight > room.height() ||
            lineHeight < label->font().pixelSize()) {
          clipped << QStringLiteral("%1.%2: %3 lines of %4 px in %5x%6 px")
                         .arg(Name(b.form->name), Label(c))
                         .arg(lines)
                         .arg(lineHeight)
                         .arg(room.width())
                         .arg(room.height());
        }
      }
    }
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join("; ")));
  }

  // A link too long for its label is cut in the middle, so the file name at its end shows, and its
  // text stays whole for what a click opens; upright or italic it fits.
  void linkCaptionsAreCutInTheMiddleToFit() {
    navelo::ui::QtDialogView about(forms::kFrmAbout, desktop);
    const std::u16string addresses[] = {u"file:///home/someone/.local/lib/navelo-1.2.4/Readme.txt",
                                        u"file:///usr/lib/navelo",
                                        u"file:///home/someone/.config/navelo/Navelo.INI"};
    for (int i = 0; i < 3; ++i) {
      about.SetText("lblUrl", addresses[i], i);
      auto* link = dynamic_cast<navelo::ui::LinkLabel*>(navelo::ui::FindBuilt(&about, "lblUrl", i));
      for (bool italic : {false, true}) {
        about.SetItalic("lblUrl", i, italic);
        const QString shown = link->text();
        QVERIFY2(link->fontMetrics().horizontalAdvance(shown) <= link->contentsRect().width(),
                 qPrintable(shown));
        const QString whole = ToQString(addresses[i]);
        const QString file = whole.mid(whole.lastIndexOf('/') + 1);
        QVERIFY2(shown == whole || (shown.contains(QChar(0x2026)) && shown.endsWith(file)),
                 qPrintable(shown));
      }
      QVERIFY(about.Text("lblUrl", i) == addresses[i]);
    }
    QVERIFY(dynamic_cast<navelo::ui::LinkLabel*>(navelo::ui::FindBuilt(&about, "lblUrl", 0))
                ->text()
                .contains(QChar(0x2026)));  // too long: cut
  }

  // No text box takes a control character, whether pasted or typed: a PIN pasted with its line
  // end must not carry a key that submits the page it is typed into.
  void textBoxesDropControlCharacters() {
    for (Built& b : BuildAll()) {
      for (const forms::Control& c : b.form->controls) {
        if (c.kind != forms::Kind::kTextBox) continue;
        auto* box = navelo::ui::Built<QLineEdit>(b.client, c.name, c.index);
        box->clear();
        QApplication::clipboard()->setText(QStringLiteral("12\t34\r\n"));
        box->paste();
        QTest::keyClick(box, Qt::Key_Tab, Qt::NoModifier);
        box->insert(QStringLiteral("5\x1b"));
        QVERIFY2(box->text() == "12345", qPrintable(Name(b.form->name) + "." + Label(c)));
      }
    }
  }
};

QTEST_MAIN(BuiltFormsTest)
#include "built_forms_test.moc"
