#include "panel/panel_window.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cstdlib>
#include <memory>

#include "forms/geometry.h"
#include "ui/ui.h"

namespace navelo {
namespace {

using ui::MakeControl;
using ui::ToQString;

// Client area of the panel, in twips.
constexpr int kClientWidth = 1200;
constexpr int kClientHeight = 3615;

struct KeySpec {
  int index;
  const char16_t* caption;
  int left;
  int top;
};

// The ten-key pad in tab order: the clear button comes first, then 0, 3, 2, 1, 6, 5, 4, 9, 8, 7.
constexpr KeySpec kKeys[] = {
    {0, u"0", 60, 1110},  {3, u"３", 780, 750}, {2, u"２", 420, 750}, {1, u"１", 60, 750},
    {6, u"６", 780, 390}, {5, u"５", 420, 390}, {4, u"４", 60, 390},  {9, u"９", 780, 30},
    {8, u"８", 420, 30},  {7, u"７", 60, 30},
};

}  // namespace

PanelWindow::PanelWindow(PanelContext context) : ctx_(std::move(context)) {
  setObjectName(QStringLiteral("frmNavelo"));
  setWindowTitle(QStringLiteral("Navelo"));
  ui::LoadResources();
  setWindowIcon(QIcon(QStringLiteral(":/navelo/navelo.png")));
  // Fixed single border: caption, window menu and close box, no minimise or maximise box.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  BuildControls();
  BuildMenus();
  // The panel's size is set here once and changed only by shrinking and restoring, each a single
  // resize: the layout never resizes the window by itself.
  layout()->setSizeConstraint(QLayout::SetNoConstraint);
  setFixedSize(sizeHint());

  timer1_ = new QTimer(this);
  timer1_->setObjectName(QStringLiteral("Timer1"));
  timer1_->setInterval(100);
  connect(timer1_, &QTimer::timeout, this, &PanelWindow::Tick);
}

void PanelWindow::BuildControls() {
  client_ = new QWidget(this);
  client_->setObjectName(QStringLiteral("client"));
  client_->setFixedSize(TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight));
  setCentralWidget(client_);
  const QFont gothic = ui::GothicFont();

  auto* clear = MakeControl<QPushButton>(client_, "Enter", 420, 1110, 735, 375, ToQString(u"ｸﾘｱｰ"));
  clear->setFont(gothic);
  connect(clear, &QPushButton::clicked, this, [this] {
    txtKin_->clear();
    keypad_.Clear();
  });
  QWidget* previous = clear;
  for (const KeySpec& key : kKeys) {
    auto* button = MakeControl<QPushButton>(client_, "NumKey", key.left, key.top, 375, 375,
                                            ToQString(key.caption));
    button->setProperty("index", key.index);
    button->setFont(gothic);
    connect(button, &QPushButton::clicked, this,
            [this, digit = key.index] { txtKin_->setText(ToQString(keypad_.Press(digit))); });
    setTabOrder(previous, button);
    previous = button;
  }
  auto* label5 = MakeControl<QLabel>(client_, "Label5", 90, 1500, 915, 195, ToQString(u"金額"));
  label5->setFont(gothic);

  txtKin_ = MakeControl<QLineEdit>(client_, "txtKin", 90, 1740, 1035, 285);
  txtKin_->setAlignment(Qt::AlignRight);
  txtKin_->setAttribute(Qt::WA_InputMethodEnabled, false);
  setTabOrder(previous, txtKin_);
  previous = txtKin_;

  struct SendSpec {
    const char* name;
    const char16_t* caption;
    int top;
    SendButton button;
  };
  // cmdTou, cmdSho, cmdLogIn, then the hidden browser button, then Club Apat.
  const SendSpec sends[] = {{"cmdTou", u"投票", 2130, SendButton::kVote},
                            {"cmdSho", u"照会", 2490, SendButton::kInquiry},
                            {"cmdLogIn", u"ログイン", 2850, SendButton::kLogIn}};
  for (const SendSpec& send : sends) {
    auto* button = MakeControl<QPushButton>(client_, send.name, 90, send.top, 1065, 345,
                                            ToQString(send.caption));
    button->setFont(gothic);
    connect(button, &QPushButton::clicked, this, [this, b = send.button] { Send(b); });
    setTabOrder(previous, button);
    previous = button;
  }
  // The browser-menu button lies just below the client area: unseen, yet reachable with Tab.
  auto* command1 = MakeControl<QPushButton>(client_, "Command1", 330, 3630, 585, 555);
  command1->setIcon(QIcon(QStringLiteral(":/navelo/browser.png")));
  command1->setIconSize(QSize(32, 32));
  connect(command1, &QPushButton::clicked, this, [this] { mnuBrow_->popup(QCursor::pos()); });
  setTabOrder(previous, command1);
  auto* clubApat = MakeControl<QPushButton>(client_, "Command2", 90, 3210, 1065, 345,
                                            QStringLiteral("Club Apat"));
  clubApat->setFont(gothic);
  connect(clubApat, &QPushButton::clicked, this, [this] { Send(SendButton::kClubApat); });
  setTabOrder(command1, clubApat);
}

void PanelWindow::BuildMenus() {
  QAction* settings = menuBar()->addAction(ToQString(u"設定"));
  settings->setObjectName(QStringLiteral("mnuSet"));
  connect(settings, &QAction::triggered, this, &PanelWindow::OpenSettings);

  QMenu* other = menuBar()->addMenu(ToQString(u"他"));
  other->setObjectName(QStringLiteral("mnu_Ta"));
  QAction* about = other->addAction(ToQString(u"バージョン情報"));
  about->setObjectName(QStringLiteral("mnu_About"));
  connect(about, &QAction::triggered, this, [this] {
    if (ctx_.openAbout) ctx_.openAbout(this);
  });
  QAction* readme = other->addAction(ToQString(u"Reameの表示"));
  readme->setObjectName(QStringLiteral("mnu_Readme"));
  connect(readme, &QAction::triggered, this, [this] {
    const std::string path = ctx_.program.JoinPath(ctx_.program.ProgramDirectory(), "Readme.txt");
    ctx_.shell.Open(ui::FromQString(QString::fromStdString(path)));
  });

  // Used only as a popup menu of the browser button.
  mnuBrow_ = new QMenu(ToQString(u"ブラウザー"), this);
  mnuBrow_->setObjectName(QStringLiteral("mnu_brow"));
  const char16_t* urls[] = {u"IPAT投票", u"IPAT情報", u"CLUB　A-PAT"};
  for (int i = 0; i < 3; ++i) {
    QAction* url = mnuBrow_->addAction(ToQString(urls[i]));
    url->setObjectName(QStringLiteral("mnu_url"));
    url->setProperty("index", i);
    connect(url, &QAction::triggered, this,
            [this, i] { ctx_.shell.Open(ctx_.addresses[static_cast<std::size_t>(i)]); });
  }
}

void PanelWindow::Load() {
  // The design height before the window is first shown: restoring gives back exactly this.
  fullHeight_ = height();
  const LoadResult loaded = LoadSettings(ctx_.record, ctx_.file, ctx_.codec);
  if (loaded.readError) {
    ctx_.messages.Show(
        u"設定ファイル「" + ui::FromQString(QString::fromStdString(ctx_.file.path())) +
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
  timer1_->start();
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
  ctx_.topmost.SetTopmost(static_cast<platform::WindowHandle>(winId()), ctx_.record.Zenmen == 1);
}

void PanelWindow::OpenSettings() {
  if (ctx_.openSettings) ctx_.openSettings(this);
  ApplyTopmost();
}

void PanelWindow::Send(SendButton button) {
  const SendPlan plan =
      PlanSend(button, ctx_.record, ctx_.targets, ui::FromQString(txtKin_->text()));
  // A slot that never saw its window does nothing, silently. Typing runs from the event loop;
  // the click returns at once.
  if (plan.sendable()) ctx_.keystrokes.Deliver(plan.handle, plan.text);
  if (button == SendButton::kVote) keypad_.AfterVote();
}

void PanelWindow::Tick() {
  const platform::WindowInfo info = ctx_.foreground.Foreground();
  const ForegroundWindow current{info.handle, CutTitle(info.title, ctx_.codec)};
  // The tick's whole state (the slots and the expanded flag) is settled before the window is
  // resized, and resizing processes no pending events, so no nested tick can run in the middle
  // of this one or see half of its changes.
  switch (
      TrackerTick(current, ui::FromQString(windowTitle()), expanded_, ctx_.record, ctx_.targets)) {
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
}

void PanelWindow::Shrink() {
  // Only the caption bar stays: the client area keeps the smallest height a window can have.
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
  if (!ending_) {
    ending_ = true;
    const QPoint topLeft = frameGeometry().topLeft();
    const PanelPosition position{PixelsToTwips(topLeft.x()), PixelsToTwips(topLeft.y())};
    if (auto error = SaveSettings(ctx_.record, position, ctx_.file, ctx_.codec)) {
      ctx_.messages.Show(
          u"設定ファイル「" + ui::FromQString(QString::fromStdString(ctx_.file.savePath())) +
          u"」を保存できませんでした。\n" + ui::FromQString(QString::fromStdString(*error)));
    }
  }
  ctx_.program.EndNow(0);
  std::abort();  // EndNow does not come back
}

}  // namespace navelo
