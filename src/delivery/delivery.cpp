#include "delivery/delivery.h"

#include <algorithm>
#include <utility>

namespace navelo {

const char* Describe(DeliveryOutcome outcome) {
  switch (outcome) {
    case DeliveryOutcome::kTyped:
      return "typed";
    case DeliveryOutcome::kWindowGone:
      return "nothing typed: the target window is gone";
    case DeliveryOutcome::kNotActivated:
      return "nothing typed: the target window did not become the active window within a second";
    case DeliveryOutcome::kTitleChanged:
      return "nothing typed: the target window shows another page now";
    case DeliveryOutcome::kMovedAway:
      return "typing stopped: another window became active";
    case DeliveryOutcome::kAboveUs:
      return "nothing typed: the target window's program runs with more rights (as administrator)";
    case DeliveryOutcome::kRenamed:
      return "typing stopped: the target window's title changed";
    case DeliveryOutcome::kLayoutCannotType:
      return "nothing typed: the keyboard layout cannot type every character of the text";
    case DeliveryOutcome::kNoTyping:
      return "nothing typed: the window system cannot type synthetic keys";
    case DeliveryOutcome::kReplaced:
      return "replaced by a newer send before its window became active";
  }
  return "unknown outcome";
}

Delivery::Delivery(platform::WindowSystem& windows, TitleAsSeen titleAsSeen)
    : windows_(windows), titleAsSeen_(std::move(titleAsSeen)) {
  if (!titleAsSeen_) titleAsSeen_ = [](std::u16string_view t) { return std::u16string(t); };
}

void Delivery::Deliver(DeliveryRequest request, Clock::time_point now) {
  if (stage_ != Stage::kIdle) Finish(DeliveryOutcome::kReplaced);
  job_ = std::move(request);
  if (job_.target == 0 || !windows_.Activate(job_.target)) {
    Finish(DeliveryOutcome::kWindowGone);
    return;
  }
  stage_ = Stage::kWaitingForWindow;
  activationDeadline_ = now + kActivationLimit;
  lastActivation_ = now;
  Step(now);
}

void Delivery::Tick(Clock::time_point now) {
  Step(now);
}

std::optional<Delivery::Clock::time_point> Delivery::NextTick() const {
  switch (stage_) {
    case Stage::kWaitingForWindow:
      return nextPoll_;
    case Stage::kSettling:
      return settledAt_;
    case Stage::kIdle:
      break;
  }
  return restoreAt_;
}

void Delivery::RestoreKeyboardNow() {
  windows_.RestoreKeyboard();
  restoreAt_.reset();
}

void Delivery::Step(Clock::time_point now) {
  if (restoreAt_ && now >= *restoreAt_) RestoreKeyboardNow();
  switch (stage_) {
    case Stage::kIdle:
      return;
    case Stage::kSettling:
      if (now >= settledAt_) TypeNow(now);
      return;
    case Stage::kWaitingForWindow:
      break;
  }
  if (windows_.ActiveWindow() != job_.target) {
    if (now >= activationDeadline_) {
      Finish(DeliveryOutcome::kNotActivated);
      return;
    }
    if (now - lastActivation_ >= kReactivateInterval) {
      lastActivation_ = now;
      if (!windows_.Activate(job_.target)) {
        Finish(DeliveryOutcome::kWindowGone);
        return;
      }
    }
    if (windows_.ActiveWindow() != job_.target) {
      nextPoll_ = now + kPollInterval;
      return;
    }
  }
  // Keys bound for an earlier text are rebound by the plan for this one; a text that cannot be
  // planned binds nothing, and the earlier keys are still given back when they were due.
  const std::optional<Clock::time_point> earlierRestore = restoreAt_;
  restoreAt_.reset();
  const platform::WindowSystem::Typing typing = windows_.PrepareTyping(job_.text);
  using Result = platform::WindowSystem::Typing::Result;
  if (typing.result != Result::kReady) {
    restoreAt_ = earlierRestore;
    untypable_ = typing.missing;
    Finish(typing.result == Result::kUnavailable ? DeliveryOutcome::kNoTyping
                                                 : DeliveryOutcome::kLayoutCannotType);
    return;
  }
  if (typing.settle.count() > 0) {
    stage_ = Stage::kSettling;
    settledAt_ = now + typing.settle;
    // The keys are bound now: given back a second after the typing, or after the settling should
    // this text be replaced before it is typed.
    restoreAt_ = settledAt_ + kRestoreDelay;
    return;
  }
  TypeNow(now);
}

void Delivery::TypeNow(Clock::time_point now) {
  restoreAt_ = now + kRestoreDelay;
  const platform::WindowHandle target = job_.target;
  // The window id may now belong to another page or, after the window closed, to another
  // program's window: only the page the send was meant for gets the text.
  if (windows_.ActiveWindow() != target) {
    // Nothing typed yet: within the time allowed, the target is asked back to the front.
    if (now < activationDeadline_) {
      stage_ = Stage::kWaitingForWindow;
      lastActivation_ = now - kReactivateInterval;
      nextPoll_ = now;
    } else {
      Finish(DeliveryOutcome::kMovedAway);
    }
    return;
  }
  const std::u16string title = windows_.Title(target);
  if (!IsRememberedPage(titleAsSeen_(title))) {
    Finish(DeliveryOutcome::kTitleChanged);
    return;
  }
  // Keys the system would drop are not sent at all, so the user learns why nothing arrived.
  if (windows_.RunsAboveUs(target)) {
    Finish(DeliveryOutcome::kAboveUs);
    return;
  }
  // A page that renames itself while the keys go in (it went on to another page, say) gets no
  // more of them: before every key the title is read from the window system, not from a copy,
  // and any change to it, even past where titles are cut, stops the typing.
  bool renamed = false;
  const bool all = windows_.TypePrepared([&] {
    if (windows_.ActiveWindow() != target) return false;
    renamed = windows_.Title(target) != title;
    return !renamed;
  });
  Finish(all       ? DeliveryOutcome::kTyped
         : renamed ? DeliveryOutcome::kRenamed
                   : DeliveryOutcome::kMovedAway);
}

bool Delivery::IsRememberedPage(std::u16string_view title) const {
  if (!job_.titleIsBeginning) return title == job_.title;
  // An empty beginning would take any page at all.
  return !job_.title.empty() && title.starts_with(job_.title);
}

void Delivery::Finish(DeliveryOutcome outcome) {
  stage_ = Stage::kIdle;
  if (outcome != DeliveryOutcome::kTyped && outcome != DeliveryOutcome::kReplaced) {
    windows_.Beep();
  }
  auto done = std::move(job_.done);
  job_ = {};
  if (done) done(outcome);
}

std::optional<int> Delivery::MillisecondsToNextTick(Clock::time_point now) const {
  const auto next = NextTick();
  if (!next) return std::nullopt;
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - now).count();
  return static_cast<int>(std::clamp<long long>(wait, 0, 60000));
}

}  // namespace navelo
