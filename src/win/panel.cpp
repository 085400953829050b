#include "win/panel.h"

#include <algorithm>
#include <cstdio>

#include "forms/geometry.h"
#include "forms/layouts.h"
#include "panel/logic/tracker.h"
#include "platform/win32/text.h"

namespace navelo::win {
namespace {

constexpr UINT_PTR kTickTimer = 1;
constexpr UINT_PTR kDeliveryTimer = 2;

}  // namespace

PanelWindow::PanelWindow(PanelContext context)
    : FormWindow(forms::kFrmNavelo), ctx_(std::move(context)) {}

void PanelWindow::Load() {
  Create(nullptr);
  RECT window{};
  GetWindowRect(hwnd(), &window);
  // The design height before the window is first shown: restoring gives back exactly this.
  fullHeight_ = window.bottom - window.top;
  const LoadResult loaded = ctx_.store.Load();
  if (loaded.readError) {
    ctx_.messages.Show(u"設定ファイル「" + FromUtf8(ctx_.store.file().path()) +
                       u"」を読み込めません。\n" + FromUtf8(*loaded.readError) +
                       u"\n既定の設定で起動します。この設定ファイルは上書きしません。");
  }
  // Keep the caption bar on a screen even when the stored position lies off every screen.
  std::vector<Rect> screens;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (GetMonitorInfoW(monitor, &info)) {
          const RECT& r = info.rcWork;
          reinterpret_cast<std::vector<Rect>*>(data)->push_back(
              {r.left, r.top, r.right - r.left, r.bottom - r.top});
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&screens));
  // Positions go to and from the file at the system's DPI, the same whichever monitor the panel
  // was on, so a panel saved on one monitor opens where it was.
  const int positionDpi = static_cast<int>(GetDpiForSystem());
  const Rect placed = PlaceOnScreens(
      {MulDiv(loaded.position.left, positionDpi, 1440),
       MulDiv(loaded.position.top, positionDpi, 1440), window.right - window.left, fullHeight_},
      GetSystemMetricsForDpi(SM_CYCAPTION, DpiOf(hwnd())), screens);
  SetWindowPos(hwnd(), nullptr, placed.x, placed.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  keypad_.Clear();
  ShowWindow(hwnd(), SW_SHOW);
  ApplyTopmost();
  expanded_ = true;
  SetTimer(hwnd(), kTickTimer, static_cast<UINT>(forms::FindControl(form(), "Timer1")->interval),
           nullptr);
}

void PanelWindow::ApplyTopmost() {
  ctx_.topmost.SetTopmost(reinterpret_cast<platform::WindowHandle>(hwnd()),
                          ctx_.store.record().Zenmen == 1);
}

void PanelWindow::OnCommand(const forms::Control& control, HWND, int code) {
  if (code != BN_CLICKED) return;
  HWND amount = Find("txtKin");
  if (control.name == "Enter") {
    SetWindowText(amount, u"");
    keypad_.Clear();
  } else if (control.name == "NumKey") {
    SetWindowText(amount, keypad_.Press(control.index));
  } else if (control.name == "cmdTou") {
    Send(SendButton::kVote);
  } else if (control.name == "cmdSho") {
    Send(SendButton::kInquiry);
  } else if (control.name == "cmdLogIn") {
    Send(SendButton::kLogIn);
  } else if (control.name == "Command2") {
    Send(SendButton::kClubApat);
  } else if (control.name == "Command1") {
    // At the mouse, wherever the button lies (it is below the window's edge) and however it was
    // pressed.
    POINT mouse{};
    GetCursorPos(&mouse);
    TrackPopupMenu(PopupMenu("mnu_brow"), TPM_LEFTALIGN, mouse.x, mouse.y, 0, hwnd(), nullptr);
  }
}

void PanelWindow::OnMenu(const forms::Menu& item) {
  if (item.name == "mnuSet") {
    if (ctx_.openSettings) ctx_.openSettings(hwnd());
    ApplyTopmost();
  } else if (item.name == "mnu_About") {
    if (ctx_.openAbout) ctx_.openAbout(hwnd());
  } else if (item.name == "mnu_Readme") {
    ctx_.shell.Open(FromUtf8(ctx_.program.JoinPath(ctx_.program.ProgramDirectory(), "Readme.txt")));
  } else if (item.name == "mnu_url" && item.index >= 0 && item.index < 3) {
    ctx_.shell.Open(ctx_.store.addresses()[static_cast<std::size_t>(item.index)]);
  }
}

void PanelWindow::Send(SendButton button) {
  SendPlan plan =
      PlanSend(button, ctx_.store.record(), ctx_.store.targets(), WindowText(Find("txtKin")));
  // A slot that never saw its window does nothing, silently. Typing goes on from the message
  // loop; the click returns at once.
  if (plan.sendable()) {
    ctx_.delivery.Deliver({plan.handle, std::move(plan.title), std::move(plan.text),
                           [this](DeliveryOutcome outcome) {
                             if (outcome == DeliveryOutcome::kTyped) return;
                             std::fprintf(stderr, "navelo: %s\n", Describe(outcome));
                             if (outcome == DeliveryOutcome::kNoTyping && !toldNoTyping_) {
                               toldNoTyping_ = true;
                               ctx_.messages.Show(u"キー入力を送ることができません。");
                             }
                           }},
                          Delivery::Clock::now());
    ScheduleDelivery();
  }
  if (button == SendButton::kVote) keypad_.AfterVote();
}

void PanelWindow::ScheduleDelivery() {
  if (const auto wait = ctx_.delivery.MillisecondsToNextTick(Delivery::Clock::now())) {
    SetTimer(hwnd(), kDeliveryTimer, static_cast<UINT>(std::max(*wait, 1)), nullptr);
  } else {
    KillTimer(hwnd(), kDeliveryTimer);
  }
}

void PanelWindow::Tick() {
  const platform::WindowInfo info = ctx_.foreground.Foreground();
  const ForegroundWindow current{info.handle, CutTitle(info.title, ctx_.store.codec())};
  switch (TrackerTick(current, WindowText(hwnd()), expanded_, ctx_.store.record(),
                      ctx_.store.targets())) {
    case PanelResize::kExpand: {
      expanded_ = true;
      RECT r{};
      GetWindowRect(hwnd(), &r);
      SetWindowPos(hwnd(), nullptr, 0, 0, r.right - r.left, fullHeight_,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    }
    case PanelResize::kShrink: {
      expanded_ = false;
      RECT r{};
      GetWindowRect(hwnd(), &r);
      // Height 0: Windows keeps a captioned window at its smallest height, the caption bar.
      SetWindowPos(hwnd(), nullptr, 0, 0, r.right - r.left, 0,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    }
    case PanelResize::kNone:
      break;
  }
}

void PanelWindow::OnDpiChanged() {
  // The window now has the form's full size at the new DPI: that is what restoring gives back.
  RECT r{};
  GetWindowRect(hwnd(), &r);
  fullHeight_ = r.bottom - r.top;
  // Not yet shown, the panel is still being placed at load and keeps its full height.
  if (!expanded_ && IsWindowVisible(hwnd())) {
    SetWindowPos(hwnd(), nullptr, 0, 0, r.right - r.left, 0,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

LRESULT PanelWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kTickTimer) {
        Tick();
      } else if (wParam == kDeliveryTimer) {
        ctx_.delivery.Tick(Delivery::Clock::now());
        ScheduleDelivery();
      }
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) ctx_.program.SessionEnding();
      return 0;
    default:
      return FormWindow::Handle(message, wParam, lParam);
  }
}

void PanelWindow::SaveAndEnd() {
  ctx_.delivery.RestoreKeyboardNow();
  if (!ending_) {
    ending_ = true;
    RECT r{};
    GetWindowRect(hwnd(), &r);
    const int positionDpi = static_cast<int>(GetDpiForSystem());
    const PanelPosition position{MulDiv(r.left, 1440, positionDpi),
                                 MulDiv(r.top, 1440, positionDpi)};
    if (auto error = ctx_.store.Save(position)) {
      ctx_.messages.Show(u"設定ファイル「" + FromUtf8(ctx_.store.file().savePath()) +
                         u"」を保存できませんでした。\n" + FromUtf8(*error));
    }
  }
  ctx_.program.EndNow(0);
}

}  // namespace navelo::win
