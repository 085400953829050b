#include "panel/logic/send.h"

#include "base/text.h"

namespace navelo {
namespace {

// A field as it is typed: control characters (Return, line feed, Tab and the rest of C0) would
// submit the form or move to another field, so they are left out; only the separating Tabs
// between fields are typed.
std::u16string Field(std::u16string_view text) {
  return WithoutControlCharacters(text);
}

}  // namespace

SendPlan PlanSend(SendButton button, const SettingsRecord& record, const TargetSlots& slots,
                  std::u16string_view amount) {
  constexpr char16_t kTab = u'\t';
  const std::u16string pin =
      Field(record.PatID) + kTab + Field(record.Password) + kTab + Field(record.Pars);
  SendPlan lastActive{slots.lastActiveTitle, slots.lastActiveHandle, {}};
  // Chokuzen is read at every click: any value other than 0 sends to the last-active window.
  const bool toLastActive = record.Chokuzen != 0;
  switch (button) {
    case SendButton::kLogIn:
      lastActive.text = Field(record.NetID);
      return lastActive;
    case SendButton::kClubApat:
      lastActive.text = Field(record.PatID) + kTab + Field(record.ApatPassword);
      return lastActive;
    case SendButton::kInquiry:
      if (toLastActive) return {lastActive.title, lastActive.handle, pin};
      return {record.ShoukaiTitle, slots.inquiryHandle, pin, true};
    case SendButton::kVote: {
      // A page that asks only for the total gets the amount alone: identifiers typed there would
      // land in the amount's box.
      std::u16string text = record.KingakuNomi != 0 ? Field(amount) : pin + kTab + Field(amount);
      if (toLastActive) return {lastActive.title, lastActive.handle, std::move(text)};
      return {record.TouhyouTitle, slots.voteHandle, std::move(text), true};
    }
  }
  return {};
}

}  // namespace navelo
