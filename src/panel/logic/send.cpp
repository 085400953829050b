#include "panel/logic/send.h"

namespace navelo {

SendPlan PlanSend(SendButton button, const SettingsRecord& record, const TargetSlots& slots,
                  std::u16string_view amount) {
  constexpr char16_t kTab = u'\t';
  const std::u16string pin = record.PatID + kTab + record.Password + kTab + record.Pars;
  SendPlan lastActive{slots.lastActiveTitle, slots.lastActiveHandle, {}};
  // Chokuzen is read at every click: any value other than 0 sends to the last-active window.
  const bool toLastActive = record.Chokuzen != 0;
  switch (button) {
    case SendButton::kLogIn:
      lastActive.text = record.NetID;
      return lastActive;
    case SendButton::kClubApat:
      lastActive.text = record.PatID + kTab + record.ApatPassword;
      return lastActive;
    case SendButton::kInquiry:
      if (toLastActive) return {lastActive.title, lastActive.handle, pin};
      return {record.ShoukaiTitle, slots.inquiryHandle, pin};
    case SendButton::kVote: {
      std::u16string text = pin + kTab + std::u16string(amount);
      if (toLastActive) return {lastActive.title, lastActive.handle, std::move(text)};
      return {record.TouhyouTitle, slots.voteHandle, std::move(text)};
    }
  }
  return {};
}

}  // namespace navelo
