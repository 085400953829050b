#include "panel/logic/panel_controller.h"

#include <cstdio>
#include <cstdlib>

#include "base/utf8.h"
#include "forms/layouts.h"
#include "panel/logic/tracker.h"

namespace navelo {
namespace {

constexpr char16_t kNoTypingMessage[] =
    u"このデスクトップでは、ほかのプログラムにキー入力を送ることができません。";

// A desktop that types through the user's keyboard layout cannot type what the layout lacks: the
// whole text is refused.
std::u16string UntypableMessage(char32_t character) {
  return u"このデスクトップでは、キーボード配列にある文字だけを入力できます。\n「" +
         FromCodePoints(std::u32string(1, character)) +
         u"」を入力できないため、何も入力しませんでした。";
}

}  // namespace

PanelController::PanelController(PanelView& view, PanelContext context)
    : view_(view), ctx_(std::move(context)) {
  view_.SetEvents(this);
}

void PanelController::Load() {
  // The design height before the window is first shown: restoring gives back exactly this.
  fullHeight_ = view_.Height();
  const LoadResult loaded = ctx_.store.Load();
  loadedPosition_ = loaded.position;
  if (loaded.readError) {
    ctx_.messages.Show(u"設定ファイル「" + FromUtf8(ctx_.store.file().path()) +
                       u"」を読み込めません。\n" + FromUtf8(*loaded.readError) +
                       u"\n既定の設定で起動します。この設定ファイルは上書きしません。");
  }
  // Keep the caption bar on a screen even when the stored position lies off every screen.
  const int dpi = view_.PositionDpi();
  const Rect frame = view_.Frame();
  const Rect placed =
      PlaceOnScreens({TwipsToPixels(loaded.position.left, dpi),
                      TwipsToPixels(loaded.position.top, dpi), frame.width, frame.height},
                     view_.CaptionHeight(), view_.Screens());
  view_.MoveFrame(placed.x, placed.y);
  keypad_.Clear();
  shown_ = true;
  expanded_ = true;
  view_.Show();
  ApplyTopmost();
  // Where the window system reports changes of the front window, the tick runs at each report,
  // and the timer only once a second as a safety net: a tick that sees the same window and title
  // as the last one changes nothing, so ticking between reports would only cost. Where nothing is
  // reported, the timer polls at the form's interval.
  const int reports = ctx_.desktop.foreground().ChangeDescriptor();
  int interval = forms::FindControl(forms::kFrmNavelo, "Timer1")->interval;
  if (reports >= 0) {
    watching_ = true;
    view_.Watch(reports, kReports);
    interval = kSafetyTickInterval;
    view_.StartTimer(kTickSoon, 0);
  }
  view_.StartTimer(kTick, interval);
}

void PanelController::OnTimer(int timer) {
  switch (timer) {
    case kTick:
      view_.StartTimer(kTick, watching_
                                  ? kSafetyTickInterval
                                  : forms::FindControl(forms::kFrmNavelo, "Timer1")->interval);
      Tick();
      break;
    case kReports:
    case kTickSoon:
      Tick();
      break;
    case kDelivery:
      ctx_.delivery.Tick(Delivery::Clock::now());
      AfterDeliveryStep();
      break;
    default:
      break;
  }
}

void PanelController::Tick() {
  const platform::WindowInfo info = ctx_.desktop.foreground().Foreground();
  const ForegroundWindow current{info.handle, CutTitle(info.title, ctx_.store.codec())};
  // The tick's whole state (the slots and the expanded flag) is settled before the window is
  // resized, and resizing processes no pending events, so no nested tick can run in the middle
  // of this one or see half of its changes.
  switch (TrackerTick(current, forms::kFrmNavelo.caption, expanded_, ctx_.store.record(),
                      ctx_.store.targets())) {
    case PanelResize::kExpand:
      expanded_ = true;
      view_.SetHeight(fullHeight_);
      break;
    case PanelResize::kShrink:
      // Only the caption bar stays.
      expanded_ = false;
      view_.SetHeight(0);
      break;
    case PanelResize::kNone:
      // A window manager may drop a resize asked while an earlier one is still under way (sway
      // does, with XWayland windows, on a busy machine), and a toolkit may not ask again for a
      // size it takes the window to have already: then the panel would stay shrunk while in
      // front, or at full height behind a browser. Each tick asks again until the window has
      // the height its state says.
      if (shown_ && expanded_ && view_.ShownHeight() < fullHeight_) {
        view_.SetHeight(fullHeight_);
      } else if (shown_ && !expanded_ && view_.ShownHeight() >= fullHeight_) {
        view_.SetHeight(0);
      }
      break;
  }
  // Reports that arrived during this tick's own requests are already read in: look at them now.
  if (watching_ && ctx_.desktop.foreground().ChangesWaiting()) view_.StartTimer(kTickSoon, 0);
}

void PanelController::OnLayoutChanged() {
  // The window now has the form's full size at the new DPI: that is what restoring gives back.
  fullHeight_ = view_.Height();
  // Until it is shown the panel is still being placed at load, and keeps its full height.
  if (shown_ && !expanded_) view_.SetHeight(0);
}

void PanelController::OnClick(std::string_view control, int index) {
  if (control == "NumKey") {
    view_.SetText("txtKin", keypad_.Press(index));
  } else if (control == "Enter") {
    view_.SetText("txtKin", u"");
    keypad_.Clear();
  } else if (control == "cmdTou") {
    Send(SendButton::kVote);
  } else if (control == "cmdSho") {
    Send(SendButton::kInquiry);
  } else if (control == "cmdLogIn") {
    Send(SendButton::kLogIn);
  } else if (control == "Command2") {
    Send(SendButton::kClubApat);
  } else if (control == "Command1") {
    view_.PopupMenu("mnu_brow");
  }
}

void PanelController::OnMenu(std::string_view item, int index) {
  if (item == "mnuSet") {
    if (ctx_.openSettings) ctx_.openSettings();
    ApplyTopmost();
  } else if (item == "mnu_About") {
    if (ctx_.openAbout) ctx_.openAbout();
  } else if (item == "mnu_Readme") {
    ctx_.shell.Open(FromUtf8(ctx_.program.JoinPath(ctx_.program.ProgramDirectory(), "Readme.txt")));
  } else if (item == "mnu_url" && index >= 0 && index < 3) {
    ctx_.shell.Open(ctx_.store.addresses()[static_cast<std::size_t>(index)]);
  }
}

void PanelController::ApplyTopmost() {
  ctx_.desktop.KeepAbove(view_.Handle(), ctx_.store.record().Zenmen == 1);
}

void PanelController::Send(SendButton button) {
  SendPlan plan = PlanSend(button, ctx_.store.record(), ctx_.store.targets(), view_.Text("txtKin"));
  // A slot that never saw its window does nothing, silently. Typing goes on from timer steps;
  // the click returns at once.
  if (plan.sendable()) {
    ctx_.delivery.Deliver(
        {plan.handle, std::move(plan.title), std::move(plan.text),
         [this](DeliveryOutcome outcome) { Report(outcome); }, plan.titleIsBeginning},
        Delivery::Clock::now());
    AfterDeliveryStep();
  }
  if (button == SendButton::kVote) keypad_.AfterVote();
}

void PanelController::AfterDeliveryStep() {
  if (const auto wait = ctx_.delivery.MillisecondsToNextTick(Delivery::Clock::now())) {
    view_.StartTimer(kDelivery, *wait);
  } else {
    view_.StopTimer(kDelivery);
  }
  if (watching_ && ctx_.desktop.foreground().ChangesWaiting()) view_.StartTimer(kTickSoon, 0);
  // Told once the delivery's step has returned, so no message box runs inside it.
  if (!tell_.empty()) {
    const std::u16string message = std::move(tell_);
    tell_.clear();
    ctx_.messages.Show(message);
  }
}

void PanelController::Report(DeliveryOutcome outcome) {
  // The delivery has beeped already; the reason goes to standard error.
  if (outcome == DeliveryOutcome::kTyped) return;
  std::fprintf(stderr, "navelo: %s\n", Describe(outcome));
  if (outcome == DeliveryOutcome::kNoTyping && !toldNoTyping_) {
    toldNoTyping_ = true;
    tell_ = kNoTypingMessage;
  }
  if (outcome == DeliveryOutcome::kAboveUs) {
    tell_ =
        u"ブラウザーが管理者として実行されているため、キー入力を送ることができません"
        u"（何も入力しませんでした）。\n"
        u"ブラウザーを閉じて、通常どおり（管理者としてではなく）起動し直してください。";
  }
  if (outcome == DeliveryOutcome::kLayoutCannotType && ctx_.delivery.untypable() != 0) {
    tell_ = UntypableMessage(ctx_.delivery.untypable());
  }
}

PanelPosition PanelController::Position() const {
  // Where the desktop neither opens windows where asked nor says where they are, the stored
  // position is kept.
  if (!ctx_.desktop.capabilities().placesWindows) return loadedPosition_;
  const Rect frame = view_.Frame();
  const int dpi = view_.PositionDpi();
  return {PixelsToTwips(frame.x, dpi), PixelsToTwips(frame.y, dpi)};
}

void PanelController::SaveAndEnd() {
  // Keys bound for the last delivery would otherwise keep typing its characters after the end.
  ctx_.delivery.RestoreKeyboardNow();
  if (!ending_) {
    ending_ = true;
    if (auto error = ctx_.store.Save(Position())) {
      ctx_.messages.Show(u"設定ファイル「" + FromUtf8(ctx_.store.file().savePath()) +
                         u"」を保存できませんでした。\n" + FromUtf8(*error));
    }
  }
  ctx_.program.EndNow(0);
  std::abort();  // EndNow does not come back
}

void PanelController::SaveQuietly() {
  ctx_.delivery.RestoreKeyboardNow();
  if (auto error = ctx_.store.Save(Position())) {
    std::fprintf(stderr, "Navelo: could not save %s: %s\n", ctx_.store.file().savePath().c_str(),
                 error->c_str());
  }
}

}  // namespace navelo
