#pragma once

#include <string>

#include "panel/logic/tracker.h"
#include "settings/settings.h"

namespace navelo {

// The panel's four send buttons.
enum class SendButton { kLogIn, kInquiry, kVote, kClubApat };

// What one click sends, and where: the slot's title and handle as they are at the click.
struct SendPlan {
  std::u16string title;
  WindowHandle handle = 0;
  std::u16string text;  // fields joined by Tab; no Enter at the end
  // The title recognises the page by its beginning (the inquiry and vote slots), not as a whole
  // (the last-active slot).
  bool titleIsBeginning = false;

  // A slot that never saw its window, or has an empty title, sends nothing.
  bool sendable() const { return !title.empty() && handle != 0; }
};

SendPlan PlanSend(SendButton button, const SettingsRecord& record, const TargetSlots& slots,
                  std::u16string_view amount);

}  // namespace navelo
