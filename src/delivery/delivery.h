#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "platform/window_system.h"

namespace navelo {

// How one send ended.
enum class DeliveryOutcome {
  kTyped,             // every key reached the target
  kWindowGone,        // the target window no longer exists
  kNotActivated,      // the target did not become the active window within the time allowed
  kTitleChanged,      // the target shows another page now: nothing typed
  kMovedAway,         // the active window changed before or while typing: the rest not typed
  kRenamed,           // the target's title changed while typing: the rest not typed
  kAboveUs,           // the target runs with more rights: its system would drop the keys
  kLayoutCannotType,  // the keyboard layout cannot type some character of the text
  kNoTyping,          // the window system cannot type synthetic keys at all
  kReplaced,          // a newer send took its place while it waited
};

// A sentence for standard error.
const char* Describe(DeliveryOutcome outcome);

struct DeliveryRequest {
  platform::WindowHandle target = 0;
  // The title the target was remembered with; typing starts only while the target carries it (as
  // `TitleAsSeen` reads titles), or a title that begins with it when `titleIsBeginning`.
  std::u16string title;
  std::u16string text;
  std::function<void(DeliveryOutcome)> done;
  // The title recognises the page by its beginning, as the tracker recognises the inquiry and
  // vote pages: the page keeps being that page when its title has grown since.
  bool titleIsBeginning = false;
};

// Brings a window to the front and types a text into it, without ever blocking: the caller hands
// in the time at each step and calls Tick again by the time NextTick names. One send at a time;
// a new one replaces a send still waiting for its window. Before every key the target must still
// be the active window and carry the title it had at the first key, read afresh from the window
// system. Every failure beeps, except a replacement.
class Delivery {
 public:
  using Clock = std::chrono::steady_clock;
  // How a window title compares with a remembered one (the remembered ones may be cut short).
  using TitleAsSeen = std::function<std::u16string(std::u16string_view)>;

  // How long the target has to become the active window.
  static constexpr std::chrono::milliseconds kActivationLimit{1000};
  // How often the active window is read while waiting for the target.
  static constexpr std::chrono::milliseconds kPollInterval{5};
  // How long a request to activate the target stands before it is made again: a window that
  // took the foreground back after the target had it (a late focus change) loses it again.
  static constexpr std::chrono::milliseconds kReactivateInterval{50};
  // How long keys bound for the text keep their characters after typing, so the target has
  // translated every key before the layout changes back.
  static constexpr std::chrono::milliseconds kRestoreDelay{1000};

  explicit Delivery(platform::WindowSystem& windows, TitleAsSeen titleAsSeen = {});

  void Deliver(DeliveryRequest request, Clock::time_point now);
  void Tick(Clock::time_point now);
  // When the next Tick is due; none while there is nothing to do.
  std::optional<Clock::time_point> NextTick() const;
  // The same as a timer's wait from `now`, in whole milliseconds (rounded up, at most a minute).
  std::optional<int> MillisecondsToNextTick(Clock::time_point now) const;
  // Gives the keyboard back at once, for a program that is about to end.
  void RestoreKeyboardNow();
  // After kLayoutCannotType: the character the keyboard layout lacks, where one was named (0
  // otherwise).
  char32_t untypable() const { return untypable_; }

 private:
  enum class Stage { kIdle, kWaitingForWindow, kSettling };
  void Step(Clock::time_point now);
  void TypeNow(Clock::time_point now);
  void Finish(DeliveryOutcome outcome);
  bool IsRememberedPage(std::u16string_view title) const;

  platform::WindowSystem& windows_;
  TitleAsSeen titleAsSeen_;
  DeliveryRequest job_;
  Stage stage_ = Stage::kIdle;
  Clock::time_point activationDeadline_{};  // end of the wait for the window
  Clock::time_point settledAt_{};           // end of the settling
  Clock::time_point lastActivation_{};
  Clock::time_point nextPoll_{};
  std::optional<Clock::time_point> restoreAt_;
  char32_t untypable_ = 0;
};

}  // namespace navelo
