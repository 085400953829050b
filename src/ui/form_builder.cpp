#include "ui/form_builder.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTextLayout>
#include <QTimer>
#include <QValidator>
#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "base/text.h"
#include "forms/geometry.h"
#include "ui/ui.h"

namespace navelo::ui {
namespace {

QString Name(std::string_view name) {
  return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

QColor ColourOf(forms::Colour rgb) {
  return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// Text boxes drop control characters from whatever is typed, pasted or set.
class NoControlCharacters final : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override {
    const std::u16string kept = WithoutControlCharacters(FromQString(input));
    if (kept.size() != static_cast<std::size_t>(input.size())) {
      const std::u16string before = WithoutControlCharacters(FromQString(input.left(pos)));
      input = ToQString(kept);
      pos = static_cast<int>(before.size());
    }
    return Acceptable;
  }
};

// A word-wrapped label whose lines come closer together when the font's own line spacing would
// push the text out of the label: never closer than one em, the line height of the gothic faces
// the forms were drawn for. The line height it paints with is its "lineHeight" property.
class WrappedLabel final : public QLabel {
 public:
  WrappedLabel(const QString& text, QWidget* parent) : QLabel(text, parent) { setWordWrap(true); }

 protected:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::Polish || event->type() == QEvent::FontChange) Measure();
    return QLabel::event(event);
  }
  void resizeEvent(QResizeEvent* event) override {
    QLabel::resizeEvent(event);
    Measure();
  }
  void paintEvent(QPaintEvent* event) override {
    if (measured_ != text()) Measure();
    if (layout_.lineCount() == 0) return QLabel::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    layout_.draw(&painter, contentsRect().topLeft());
  }

 private:
  // Lays the text out: left empty when the label's own drawing fits.
  void Measure() {
    const QRect room = contentsRect();
    const QFontMetricsF metrics(font());
    QTextLayout layout(text(), font());
    QTextOption option(alignment());
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    int lines = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(room.width());
      ++lines;
    }
    layout.endLayout();
    qreal height = metrics.lineSpacing();
    layout_.clearLayout();
    if (lines * height > room.height() && lines > 0) {
      height = std::max(static_cast<qreal>(font().pixelSize()), room.height() / qreal(lines));
      // The lines, one em box each, centred as the label centres its text.
      const qreal ascent = metrics.ascent() * height / (metrics.ascent() + metrics.descent());
      const qreal top = (room.height() - lines * height) / 2;
      layout_.setText(text());
      layout_.setFont(font());
      layout_.setTextOption(option);
      layout_.beginLayout();
      int i = 0;
      for (QTextLine line = layout_.createLine(); line.isValid(); line = layout_.createLine()) {
        line.setLineWidth(room.width());
        line.setPosition(QPointF(0, top + i++ * height + ascent - line.ascent()));
      }
      layout_.endLayout();
    }
    setProperty("lineHeight", height);
    measured_ = text();
  }

  QTextLayout layout_;
  QString measured_;
};

// A straight line, drawn on a widget that covers it and lets the mouse through to the form.
class LineWidget final : public QWidget {
 public:
  LineWidget(const forms::Control& line, QWidget* parent)
      : QWidget(parent),
        pen_(ColourOf(line.foreColour), line.lineWidth),
        from_(TwipsToPixels(line.left), TwipsToPixels(line.top)),
        to_(TwipsToPixels(line.left + line.width), TwipsToPixels(line.top + line.height)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    const int margin = line.lineWidth;
    setGeometry(QRect(from_, to_).normalized().adjusted(-margin, -margin, margin, margin));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setPen(pen_);
    painter.drawLine(from_ - pos(), to_ - pos());
  }

 private:
  QPen pen_;
  QPoint from_;
  QPoint to_;
};

void Place(QWidget* widget, const forms::Control& c) {
  PlaceTwips(widget, c.left, c.top, c.width, c.height);
}

QWidget* MakeWidget(const forms::Control& c, QWidget* parent) {
  const QString caption = ToQString(c.caption);
  switch (c.kind) {
    case forms::Kind::kLabel: {
      QLabel* label = c.link       ? new LinkLabel(parent)
                      : c.wordWrap ? new WrappedLabel(caption, parent)
                                   : new QLabel(caption, parent);
      // Window titles and identifiers are shown as they are, never read as markup.
      label->setTextFormat(Qt::PlainText);
      if (c.align == forms::Align::kCenter) label->setAlignment(Qt::AlignCenter);
      if (c.align == forms::Align::kRight) label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (c.border == forms::Border::kSingle) label->setFrameShape(QFrame::Box);
      if (c.link) label->setCursor(Qt::PointingHandCursor);
      return label;
    }
    case forms::Kind::kTextBox: {
      auto* box = new QLineEdit(caption, parent);
      box->setValidator(new NoControlCharacters(box));
      if (c.passwordChar != 0) {
        box->setEchoMode(QLineEdit::Password);
        box->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: %1; }")
                               .arg(int(c.passwordChar)));
      }
      box->setAttribute(Qt::WA_InputMethodEnabled, !c.imeOff);
      if (c.align == forms::Align::kRight) box->setAlignment(Qt::AlignRight);
      if (c.align == forms::Align::kCenter) box->setAlignment(Qt::AlignCenter);
      return box;
    }
    case forms::Kind::kButton: {
      auto* button = new QPushButton(caption, parent);
      // Enter on a focused button presses that button; a default button also answers Enter
      // anywhere else in its dialog.
      button->setAutoDefault(true);
      button->setDefault(c.isDefault);
      if (c.picture == forms::Picture::kBrowserIcon) {
        button->setIcon(QIcon(QStringLiteral(":/navelo/browser.png")));
        button->setIconSize(QSize(32, 32));
      }
      return button;
    }
    case forms::Kind::kCheckBox:
      return new QCheckBox(caption, parent);
    case forms::Kind::kFrame:
      return new QGroupBox(caption, parent);
    case forms::Kind::kPicture: {
      auto* picture = new QLabel(parent);
      if (c.picture == forms::Picture::kProgramIcon) {
        picture->setPixmap(QPixmap(QStringLiteral(":/navelo/navelo.png")));
      }
      if (c.border == forms::Border::kSingle) picture->setFrameShape(QFrame::Box);
      picture->setAlignment(Qt::AlignCenter);
      return picture;
    }
    case forms::Kind::kLine:
      return new LineWidget(c, parent);
    case forms::Kind::kTimer:
      break;
  }
  return nullptr;
}

void Colour(QWidget* widget, const forms::Control& c) {
  if (c.foreColour == forms::kNoColour && c.backColour == forms::kNoColour) return;
  QPalette palette = widget->palette();
  if (c.foreColour != forms::kNoColour) {
    palette.setColor(QPalette::WindowText, ColourOf(c.foreColour));
  }
  if (c.backColour != forms::kNoColour) {
    palette.setColor(QPalette::Window, ColourOf(c.backColour));
    widget->setAutoFillBackground(true);
  }
  widget->setPalette(palette);
}

}  // namespace

QFont FontOf(const forms::Font& font) {
  QFont qt = font.face == forms::Face::kGothic    ? GothicFont()
             : font.face == forms::Face::kPGothic ? GothicFont(true)
                                                  : QApplication::font();
  if (font.face != forms::Face::kSystem) {
    qt.setPixelSize(static_cast<int>(std::lround(font.points * 96 / 72)));
  }
  if (font.bold) qt.setWeight(QFont::Bold);
  qt.setItalic(font.italic);
  qt.setUnderline(font.underline);
  return qt;
}

void LinkLabel::SetWholeText(const QString& text) {
  whole_ = text;
  Fit();
}

void LinkLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  Fit();
}

void LinkLabel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  // Italic under the pointer, the text takes more room.
  if (event->type() == QEvent::FontChange) Fit();
}

void LinkLabel::Fit() {
  setText(fontMetrics().elidedText(whole_, Qt::ElideMiddle, contentsRect().width()));
}

void BuildWindow(const forms::Form& form, QWidget* window, Qt::WindowType type) {
  LoadResources();
  window->setObjectName(Name(form.name));
  window->setWindowTitle(ToQString(form.caption));
  // Only the title-bar buttons the form has; never resizable.
  Qt::WindowFlags flags = type | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (form.windowMenu) flags |= Qt::WindowSystemMenuHint;
  if (form.closeBox) flags |= Qt::WindowCloseButtonHint;
  if (form.minimizeBox) flags |= Qt::WindowMinimizeButtonHint;
  if (form.maximizeBox) flags |= Qt::WindowMaximizeButtonHint;
  window->setWindowFlags(flags);
  if (form.defaultFace != forms::Face::kSystem) window->setFont(FontOf({form.defaultFace}));
  if (type == Qt::Dialog) {
    window->setFixedSize(TwipsToPixels(form.clientWidth), TwipsToPixels(form.clientHeight));
  }
}

void BuildControls(const forms::Form& form, QWidget* client) {
  std::map<std::string_view, QWidget*> containers;
  std::vector<QWidget*> labels;
  for (const forms::Control& c : form.controls) {
    if (c.kind == forms::Kind::kTimer) {
      auto* timer = new QTimer(client);
      timer->setObjectName(Name(c.name));
      timer->setInterval(c.interval);
      continue;
    }
    QWidget* parent = c.container.empty() ? client : containers.at(c.container);
    QWidget* widget = MakeWidget(c, parent);
    widget->setObjectName(Name(c.name));
    if (c.index >= 0) widget->setProperty("index", c.index);
    if (c.kind != forms::Kind::kLine) Place(widget, c);
    widget->setFont(FontOf(forms::EffectiveFont(form, c)));
    Colour(widget, c);
    if (!c.tabStop) widget->setFocusPolicy(Qt::NoFocus);
    if (!c.visible) widget->hide();
    if (c.kind == forms::Kind::kFrame) containers[c.name] = widget;
    if (c.kind == forms::Kind::kLabel || c.kind == forms::Kind::kLine) labels.push_back(widget);
  }
  // Labels and lines are drawn on their container's surface, beneath every other control.
  for (auto it = labels.rbegin(); it != labels.rend(); ++it) (*it)->lower();
  QWidget* previous = nullptr;
  for (const forms::Control* c : forms::TabOrder(form)) {
    QWidget* next = Built<QWidget>(client, c->name, c->index);
    if (previous) QWidget::setTabOrder(previous, next);
    previous = next;
  }
}

void BuildMenus(const forms::Form& form, QMainWindow* window) {
  std::map<std::string_view, QMenu*> menus;
  auto hasItems = [&](const forms::Menu& m) {
    for (const forms::Menu& item : form.menus) {
      if (item.parent == m.name) return true;
    }
    return false;
  };
  for (const forms::Menu& m : form.menus) {
    QObject* built = nullptr;
    if (!m.parent.empty()) {
      built = menus.at(m.parent)->addAction(ToQString(m.caption));
    } else if (!hasItems(m)) {
      built = window->menuBar()->addAction(ToQString(m.caption));
    } else {
      QMenu* menu = m.visible ? window->menuBar()->addMenu(ToQString(m.caption))
                              : new QMenu(ToQString(m.caption), window);
      menus[m.name] = menu;
      built = menu;
    }
    built->setObjectName(Name(m.name));
    if (m.index >= 0) built->setProperty("index", m.index);
  }
}

void PlaceAtOpening(const forms::Form& form, QWidget* window) {
  if (form.left == forms::kNotPlaced) return;
  window->setGeometry(TwipsToPixels(form.left), TwipsToPixels(form.top), window->width(),
                      window->height());
}

QObject* FindBuilt(const QObject* root, std::string_view name, int index) {
  for (QObject* o : root->findChildren<QObject*>(Name(name))) {
    if (index < 0 || o->property("index").toInt() == index) return o;
  }
  return nullptr;
}

}  // namespace navelo::ui
