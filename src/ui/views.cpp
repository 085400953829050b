#include "ui/views.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>

#include "base/text.h"
#include "forms/geometry.h"
#include "forms/layouts.h"
#include "ui/form_builder.h"
#include "ui/ui.h"

namespace navelo::ui {
namespace {

std::string NameOf(const QObject* object) {
  return object->objectName().toStdString();
}

int IndexOf(const QObject* object) {
  const QVariant index = object->property("index");
  return index.isValid() ? index.toInt() : -1;
}

platform::TitleButtons ButtonsOf(const forms::Form& form) {
  return {form.windowMenu, form.closeBox, form.minimizeBox, form.maximizeBox};
}

// Gives a window its title-bar buttons before it is first mapped (the show event comes first) and
// whenever it is shown again.
class TitleButtonsKeeper final : public QObject {
 public:
  TitleButtonsKeeper(const forms::Form& form, platform::Desktop& desktop, QWidget* window)
      : QObject(window), buttons_(ButtonsOf(form)), desktop_(desktop) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) {
      desktop_.SetTitleButtons(static_cast<QWidget*>(watched)->winId(), buttons_);
    }
    return false;
  }

 private:
  platform::TitleButtons buttons_;
  platform::Desktop& desktop_;
};

// Passes clicks on labels, and pointer moves over controls, on to the window's controller.
class PointerWatch final : public QObject {
 public:
  PointerWatch(QtControls& controls, QObject* parent) : QObject(parent), controls_(controls) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (controls_.events == nullptr) return false;
    if (event->type() == QEvent::MouseMove) {
      controls_.events->OnPointer(NameOf(watched), IndexOf(watched));
    } else if (event->type() == QEvent::MouseButtonRelease && qobject_cast<QLabel*>(watched)) {
      auto* release = static_cast<QMouseEvent*>(event);
      if (release->button() == Qt::LeftButton &&
          static_cast<QWidget*>(watched)->rect().contains(release->position().toPoint())) {
        controls_.events->OnClick(NameOf(watched), IndexOf(watched));
      }
    }
    return false;
  }

 private:
  QtControls& controls_;
};

QWidget* BuildDialog(const forms::Form& form, QDialog* dialog, platform::Desktop& desktop) {
  BuildWindow(form, dialog, Qt::Dialog);
  new TitleButtonsKeeper(form, desktop, dialog);
  BuildControls(form, dialog);
  return dialog;
}

QWidget* BuildPanel(const forms::Form& form, QMainWindow* window, platform::Desktop& desktop) {
  BuildWindow(form, window, Qt::Window);
  new TitleButtonsKeeper(form, desktop, window);
  auto* client = new QWidget(window);
  client->setObjectName(QStringLiteral("client"));
  client->setFixedSize(TwipsToPixels(form.clientWidth), TwipsToPixels(form.clientHeight));
  window->setCentralWidget(client);
  BuildControls(form, client);
  BuildMenus(form, window);
  return client;
}

}  // namespace

QtControls::QtControls(const forms::Form& form, QWidget* root, bool pointer) : root_(root) {
  auto* watch = pointer ? new PointerWatch(*this, root) : nullptr;
  for (const forms::Control& c : form.controls) {
    QObject* built = Find(c.name, c.index);
    if (auto* button = qobject_cast<QAbstractButton*>(built)) {
      // A check box has toggled itself by now; its controller sets the state it decides.
      QObject::connect(button, &QAbstractButton::clicked, root, [this, button] {
        if (events) events->OnClick(NameOf(button), IndexOf(button));
      });
    }
    if (auto* widget = qobject_cast<QWidget*>(built); widget && watch) {
      widget->setMouseTracking(true);
      widget->installEventFilter(watch);
    } else if (auto* label = qobject_cast<QLabel*>(built)) {
      // Labels still answer clicks.
      if (!watch) watch = new PointerWatch(*this, root);
      label->installEventFilter(watch);
    }
  }
}

QObject* QtControls::Find(std::string_view control, int index) const {
  return FindBuilt(root_, control, index);
}

std::u16string QtControls::Text(std::string_view control, int index) const {
  QObject* built = Find(control, index);
  if (auto* link = dynamic_cast<LinkLabel*>(built)) return FromQString(link->wholeText());
  if (auto* box = qobject_cast<QLineEdit*>(built)) return FromQString(box->text());
  if (auto* label = qobject_cast<QLabel*>(built)) return FromQString(label->text());
  if (auto* button = qobject_cast<QAbstractButton*>(built)) return FromQString(button->text());
  return {};
}

void QtControls::SetText(std::string_view control, std::u16string_view text, int index) {
  QObject* built = Find(control, index);
  // Text boxes take no control characters, set or typed.
  if (auto* box = qobject_cast<QLineEdit*>(built))
    box->setText(ToQString(WithoutControlCharacters(text)));
  if (auto* link = dynamic_cast<LinkLabel*>(built)) {
    link->SetWholeText(ToQString(text));
  } else if (auto* label = qobject_cast<QLabel*>(built)) {
    label->setText(ToQString(text));
  }
  if (auto* button = qobject_cast<QAbstractButton*>(built)) button->setText(ToQString(text));
}

void QtControls::SetCheck(std::string_view control, int state) {
  if (auto* box = qobject_cast<QCheckBox*>(Find(control, -1))) {
    // The undecided state is shown only for a stored value that is neither 0 nor 1.
    box->setTristate(state == 2);
    box->setCheckState(state == 0   ? Qt::Unchecked
                       : state == 1 ? Qt::Checked
                                    : Qt::PartiallyChecked);
  }
}

void QtControls::SetEnabled(std::string_view control, bool enabled) {
  if (auto* widget = qobject_cast<QWidget*>(Find(control, -1))) widget->setEnabled(enabled);
}

void QtControls::SetItalic(std::string_view control, int index, bool italic) {
  if (auto* widget = qobject_cast<QWidget*>(Find(control, index))) {
    QFont font = widget->font();
    font.setItalic(italic);
    widget->setFont(font);
  }
}

void QtControls::SetToolTip(std::string_view control, int index, std::u16string_view text) {
  if (auto* widget = qobject_cast<QWidget*>(Find(control, index))) {
    widget->setToolTip(ToQString(text));
  }
}

void QtControls::SetCaption(std::u16string_view caption) {
  root_->window()->setWindowTitle(ToQString(caption));
}

void QtControls::Focus(std::string_view control) {
  if (auto* widget = qobject_cast<QWidget*>(Find(control, -1))) widget->setFocus();
}

void QtControls::StartTimer(int timer, int milliseconds) {
  QTimer*& t = timers_[timer];
  if (t == nullptr) {
    t = new QTimer(root_);
    t->setSingleShot(true);
    t->setTimerType(Qt::PreciseTimer);
    QObject::connect(t, &QTimer::timeout, root_, [this, timer] {
      if (events) events->OnTimer(timer);
    });
  }
  t->start(milliseconds);
}

void QtControls::StopTimer(int timer) {
  if (auto it = timers_.find(timer); it != timers_.end()) it->second->stop();
}

QtDialogView::QtDialogView(const forms::Form& form, platform::Desktop& desktop)
    : WithQtControls<FormView>(form, BuildDialog(form, this, desktop), true), form_(form) {
  setMouseTracking(true);
}

int QtDialogView::RunModal(Owner owner) {
  // Above the window that asked, or on its own; modal to the whole program either way.
  QWidget* asker = owner == Owner::kAsker ? QApplication::activeWindow() : nullptr;
  winId();
  windowHandle()->setTransientParent(asker && asker != this ? asker->windowHandle() : nullptr);
  PlaceAtOpening(form_, this);
  return exec();
}

void QtDialogView::keyPressEvent(QKeyEvent* event) {
  // Enter on a focused button has pressed it already. Elsewhere Enter presses the form's default
  // button and Escape its cancel button, where it has them; otherwise neither does anything.
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (!enter && event->key() != Qt::Key_Escape) return QDialog::keyPressEvent(event);
  event->accept();
  for (const forms::Control& c : form_.controls) {
    if ((enter ? c.isDefault : c.isCancel) && controls_.events) {
      controls_.events->OnClick(c.name, c.index);
    }
  }
}

void QtDialogView::closeEvent(QCloseEvent* event) {
  // The window manager's close: the controller decides what it means.
  event->ignore();
  if (controls_.events) controls_.events->OnClose();
}

void QtDialogView::mouseMoveEvent(QMouseEvent* event) {
  // Over the dialog's own surface; a move over a control has been passed on by that control.
  if (childAt(event->position().toPoint()) == nullptr && controls_.events) {
    controls_.events->OnPointer({}, -1);
  }
  QDialog::mouseMoveEvent(event);
}

QtPanelView::QtPanelView(const forms::Form& form, platform::Desktop& desktop)
    : WithQtControls<PanelView>(form, BuildPanel(form, this, desktop), false) {
  for (const forms::Menu& m : form.menus) {
    if (auto* action = Built<QAction>(this, m.name, m.index)) {
      connect(action, &QAction::triggered, this, [this, action] {
        if (controls_.events) controls_.events->OnMenu(NameOf(action), IndexOf(action));
      });
    }
  }
  // The panel's size is set here once and changed only by shrinking and restoring, each a single
  // resize: the layout never resizes the window by itself.
  layout()->setSizeConstraint(QLayout::SetNoConstraint);
  setFixedSize(sizeHint());
}

std::uintptr_t QtPanelView::Handle() const {
  return static_cast<std::uintptr_t>(winId());
}

Rect QtPanelView::Frame() const {
  const QRect frame = frameGeometry();
  return {frame.x(), frame.y(), frame.width(), frame.height()};
}

void QtPanelView::MoveFrame(int x, int y) {
  move(x, y);
}

void QtPanelView::SetHeight(int height) {
  // 1 pixel for the caption bar alone: the smallest height an X window may have.
  const int wanted = height == 0 ? 1 : height;
  // Until the window manager has put the window on the screen, a size asked for is taken as the
  // window's natural size, and some keep to it (sway would not let the panel grow again): the
  // height waits until the window is shown.
  if (windowHandle() == nullptr || !windowHandle()->isExposed()) {
    heldHeight_ = wanted;
    return;
  }
  heldHeight_ = 0;
  setFixedSize(width(), wanted);
}

std::vector<Rect> QtPanelView::Screens() const {
  std::vector<Rect> screens;
  for (QScreen* screen : QGuiApplication::screens()) {
    const QRect g = screen->availableGeometry();
    screens.push_back({g.x(), g.y(), g.width(), g.height()});
  }
  return screens;
}

void QtPanelView::Show() {
  const QPoint framePosition = pos();
  show();
  KeepFramePosition(framePosition);
  // The window's height signal follows what the window system reports, never what is asked.
  shownHeight_ = height();
  connect(windowHandle(), &QWindow::heightChanged, this,
          [this](int height) { shownHeight_ = height; });
  windowHandle()->installEventFilter(this);
}

bool QtPanelView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == windowHandle() && event->type() == QEvent::Expose && heldHeight_ != 0) {
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (heldHeight_ != 0) SetHeight(heldHeight_);
        },
        Qt::QueuedConnection);
  }
  return QMainWindow::eventFilter(watched, event);
}

void QtPanelView::KeepFramePosition(QPoint framePosition) {
  // Before the window manager has framed the window, the toolkit places the client area where
  // the frame was asked to be. Once the frame's size is known, place the frame itself, so a
  // position saved and loaded again does not creep by the caption's height.
  auto* poll = new QTimer(this);
  poll->setInterval(10);
  auto attempts = std::make_shared<int>(0);
  connect(poll, &QTimer::timeout, this, [this, poll, attempts, framePosition] {
    const bool framed = frameGeometry() != geometry();
    if (framed && frameGeometry().topLeft() != framePosition) move(framePosition);
    if (framed || ++*attempts >= 100) poll->deleteLater();
  });
  poll->start();
}

void QtPanelView::PopupMenu(std::string_view menu) {
  if (auto* popup = Built<QMenu>(this, menu)) popup->popup(QCursor::pos());
}

void QtPanelView::Watch(int descriptor, int timer) {
  auto* notifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, [this, timer] {
    if (controls_.events) controls_.events->OnTimer(timer);
  });
}

void QtPanelView::closeEvent(QCloseEvent* event) {
  event->accept();
  if (controls_.events) controls_.events->OnClose();
}

std::unique_ptr<FormView> QtViewFactory::MakeDialog(const forms::Form& form) {
  return std::make_unique<QtDialogView>(form, desktop_);
}

std::unique_ptr<PanelView> QtViewFactory::MakePanel() {
  return std::make_unique<QtPanelView>(forms::kFrmNavelo, desktop_);
}

}  // namespace navelo::ui
