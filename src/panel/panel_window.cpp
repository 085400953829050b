#include "panel/panel_window.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "forms/geometry.h"
#include "forms/layouts.h"
#include "ui/form_builder.h"
#include "ui/ui.h"

namespace navelo {
namespace {

// How often the tick runs while the foreground window's changes are reported as they happen.
constexpr int kSafetyTickInterval = 1000;

}  // namespace

using ui::Built;
using ui::ToQString;

PanelWindow::PanelWindow(PanelContext context) : ctx_(std::move(context)) {
  ui::BuildWindow(forms::kFrmNavelo, this, Qt::Window);
  setWindowIcon(QIcon(QStringLiteral(":/navelo/navelo.png")));
  BuildControls();
  BuildMenus();
  // The panel's size is set here once and changed only by shrinking and restoring, each a single
  // resize: the layout never resizes the window by itself.
  layout()->setSizeConstraint(QLayout::SetNoConstraint);
  setFixedSize(sizeHint());

  timer1_ = Built<QTimer>(client_, "Timer1");
  connect(timer1_, &QTimer::timeout, this, &PanelWindow::Tick);

  deliveryTimer_ = new QTimer(this);
  deliveryTimer_->setSingleShot(true);
  deliveryTimer_->setTimerType(Qt::PreciseTimer);
  connect(deliveryTimer_, &QTimer::timeout, this, [this] {
    ctx_.delivery.Tick(Delivery::Clock::now());
    ScheduleDelivery();
    TickIfChangesWaiting();
  });
}

void PanelWindow::BuildControls() {
  client_ = new QWidget(this);
  client_->setObjectName(QStringLiteral("client"));
  client_->setFixedSize(TwipsToPixels(forms::kFrmNavelo.clientWidth),
                        TwipsToPixels(forms::kFrmNavelo.clientHeight));
  setCentralWidget(client_);
  ui::BuildControls(forms::kFrmNavelo, client_);
  txtKin_ = Built<QLineEdit>(client_, "txtKin");

  auto onClick = [this](const char* name, int index, auto handler) {
    connect(Built<QPushButton>(client_, name, index), &QPushButton::clicked, this, handler);
  };
  onClick("Enter", -1, [this] {
    txtKin_->clear();
    keypad_.Clear();
  });
  for (int digit = 0; digit <= 9; ++digit) {
    onClick("NumKey", digit, [this, digit] { txtKin_->setText(ToQString(keypad_.Press(digit))); });
  }
  onClick("cmdTou", -1, [this] { Send(SendButton::kVote); });
  onClick("cmdSho", -1, [this] { Send(SendButton::kInquiry); });
  onClick("cmdLogIn", -1, [this] { Send(SendButton::kLogIn); });
  onClick("Command2", -1, [this] { Send(SendButton::kClubApat); });
  onClick("Command1", -1, [this] { mnuBrow_->popup(QCursor::pos()); });
}

void PanelWindow::BuildMenus() {
  ui::BuildMenus(forms::kFrmNavelo, this);
  mnuBrow_ = Built<QMenu>(this, "mnu_brow");
  auto onTrigger = [this](const char* name, int index, auto handler) {
    connect(Built<QAction>(this, name, index), &QAction::triggered, this, handler);
  };
  onTrigger("mnuSet", -1, [this] { OpenSettings(); });
  onTrigger("mnu_About", -1, [this] {
    if (ctx_.openAbout) ctx_.openAbout(this);
  });
  onTrigger("mnu_Readme", -1, [this] {
    const std::string path = ctx_.program.JoinPath(ctx_.program.ProgramDirectory(), "Readme.txt");
    ctx_.shell.Open(ui::FromQString(QString::fromStdString(path)));
  });
  for (int i = 0; i < 3; ++i) {
    onTrigger("mnu_url", i,
              [this, i] { ctx_.shell.Open(ctx_.store.addresses()[static_cast<std::size_t>(i)]); });
  }
}

void PanelWindow::Load() {
  // The design height before the window is first shown: restoring gives back exactly this.
  fullHeight_ = height();
  const LoadResult loaded = ctx_.store.Load();
  if (loaded.readError) {
    ctx_.messages.Show(
        u"設定ファイル「" + ui::FromQString(QString::fromStdString(ctx_.store.file().path())) +
        u"」を読み込めません。\n" + ui::FromQString(QString::fromStdString(*loaded.readError)) +
        u"\n既定の設定で起動します。この設定ファイルは上書きしません。");
  }
  // Keep the caption bar on a screen even when the stored position lies off every screen.
  std::vector<Rect> screens;
  for (QScreen* screen : QGuiApplication::screens()) {
    const QRect g = screen->availableGeometry();
    screens.push_back({g.x(), g.y(), g.width(), g.height()});
  }
  const QSize size = this->size();
  const Rect placed =
      PlaceOnScreens({TwipsToPixels(loaded.position.left), TwipsToPixels(loaded.position.top),
                      size.width(), size.height()},
                     24, screens);
  move(placed.x, placed.y);
  keypad_.Clear();
  show();
  KeepFramePosition(QPoint(placed.x, placed.y));
  ApplyTopmost();
  expanded_ = true;
  // Where the window system reports changes of the foreground window, the tick runs at each
  // report, and the timer only once a second as a safety net: a tick that sees the same window
  // and title as the last one changes nothing, so ticking between reports would only cost. Where
  // nothing is reported, the timer polls every 100 ms.
  const int reports = ctx_.foreground.ChangeDescriptor();
  if (reports >= 0) {
    changes_ = new QSocketNotifier(reports, QSocketNotifier::Read, this);
    connect(changes_, &QSocketNotifier::activated, this, &PanelWindow::Tick);
    timer1_->setInterval(kSafetyTickInterval);
    QTimer::singleShot(0, this, &PanelWindow::Tick);
  }
  timer1_->start();
}

void PanelWindow::TickIfChangesWaiting() {
  // Reports the connection has already taken in no longer make its descriptor readable.
  if (changes_ && ctx_.foreground.ChangesWaiting()) QTimer::singleShot(0, this, &PanelWindow::Tick);
}

void PanelWindow::KeepFramePosition(QPoint framePosition) {
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

void PanelWindow::ApplyTopmost() {
  ctx_.topmost.SetTopmost(static_cast<platform::WindowHandle>(winId()),
                          ctx_.store.record().Zenmen == 1);
}

void PanelWindow::OpenSettings() {
  if (ctx_.openSettings) ctx_.openSettings(this);
  ApplyTopmost();
}

void PanelWindow::Send(SendButton button) {
  SendPlan plan =
      PlanSend(button, ctx_.store.record(), ctx_.store.targets(), ui::FromQString(txtKin_->text()));
  // A slot that never saw its window does nothing, silently. Typing goes on from the event loop;
  // the click returns at once.
  if (plan.sendable()) {
    ctx_.delivery.Deliver({plan.handle, std::move(plan.title), std::move(plan.text),
                           [panel = QPointer<PanelWindow>(this)](DeliveryOutcome outcome) {
                             if (panel) panel->ReportDelivery(outcome);
                           }},
                          Delivery::Clock::now());
    ScheduleDelivery();
    TickIfChangesWaiting();
  }
  if (button == SendButton::kVote) keypad_.AfterVote();
}

void PanelWindow::ScheduleDelivery() {
  if (const auto wait = ctx_.delivery.MillisecondsToNextTick(Delivery::Clock::now())) {
    deliveryTimer_->start(*wait);
  } else {
    deliveryTimer_->stop();
  }
}

void PanelWindow::ReportDelivery(DeliveryOutcome outcome) {
  // The delivery has beeped already; the reason goes to standard error.
  if (outcome == DeliveryOutcome::kTyped) return;
  std::cerr << "navelo: " << Describe(outcome) << std::endl;
  if (outcome == DeliveryOutcome::kNoTyping && !toldNoTyping_) {
    toldNoTyping_ = true;
    // Shown once the delivery's step has returned.
    QTimer::singleShot(0, this, [this] {
      ctx_.messages.Show(
          u"この X サーバーには XTest 拡張機能がないため、キー入力を送ることができません。");
    });
  }
}

void PanelWindow::Tick() {
  const platform::WindowInfo info = ctx_.foreground.Foreground();
  const ForegroundWindow current{info.handle, CutTitle(info.title, ctx_.store.codec())};
  // The tick's whole state (the slots and the expanded flag) is settled before the window is
  // resized, and resizing processes no pending events, so no nested tick can run in the middle
  // of this one or see half of its changes.
  switch (TrackerTick(current, ui::FromQString(windowTitle()), expanded_, ctx_.store.record(),
                      ctx_.store.targets())) {
    case PanelResize::kExpand:
      expanded_ = true;
      Restore();
      break;
    case PanelResize::kShrink:
      expanded_ = false;
      Shrink();
      break;
    case PanelResize::kNone:
      break;
  }
  // Reports that arrived during this tick's own requests are already read in: look at them now.
  TickIfChangesWaiting();
}

void PanelWindow::Shrink() {
  // Only the caption bar stays.
  // 1 pixel is deliberate, not a slip for 0: it is the smallest height an X window may have.
  setFixedSize(width(), 1);
}

void PanelWindow::Restore() {
  setFixedSize(width(), fullHeight_);
}

void PanelWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  SaveAndEnd();
}

void PanelWindow::SaveAndEnd() {
  // Keys bound for the last delivery would otherwise keep typing its characters after the end.
  ctx_.delivery.RestoreKeyboardNow();
  if (!ending_) {
    ending_ = true;
    const QPoint topLeft = frameGeometry().topLeft();
    const PanelPosition position{PixelsToTwips(topLeft.x()), PixelsToTwips(topLeft.y())};
    if (auto error = ctx_.store.Save(position)) {
      ctx_.messages.Show(u"設定ファイル「" +
                         ui::FromQString(QString::fromStdString(ctx_.store.file().savePath())) +
                         u"」を保存できませんでした。\n" +
                         ui::FromQString(QString::fromStdString(*error)));
    }
  }
  ctx_.program.EndNow(0);
  std::abort();  // EndNow does not come back
}

}  // namespace navelo
