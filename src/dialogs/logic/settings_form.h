#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "platform/codec.h"
#include "platform/system.h"
#include "settings/settings.h"
#include "settings/targets.h"

namespace navelo {

// A check box of the settings dialog: 0 unchecked, 1 checked. A stored value outside 0 and 1
// (only a hand-edited file has one) shows as the third, undecided state and is kept as it was
// unless the user changes the box.
struct OptionBox {
  std::int16_t stored = 0;  // the field's value when the dialog opened
  int state = 0;            // 0 unchecked, 1 checked, 2 undecided
  bool changed = false;

  static OptionBox From(std::int16_t value);
  std::int16_t Value() const;
};

// What the settings dialog shows: its controls' contents. The controls of the settings fields are
// reached by their names (the settings field table's `control`).
struct SettingsForm {
  std::map<std::u16string, std::u16string, std::less<>> texts;  // text boxes and title labels
  std::map<std::u16string, OptionBox, std::less<>> options;     // check boxes
  std::u16string lblAct;
  std::array<std::u16string, 3> txtIpatURL;
  std::u16string txtNavelo_Pswd;

  std::u16string& Text(std::u16string_view control);
  OptionBox& Option(std::u16string_view control);
};

// Loading, each time the dialog opens. An empty start-up password box means none is set.
SettingsForm LoadSettingsForm(const SettingsRecord& record, const TargetSlots& slots,
                              const BrowserAddresses& addresses);

// What the dialog needs from outside while it accepts.
struct AcceptServices {
  std::function<void(const std::u16string&)> message;  // a modal message box
  // Has the user confirm a new start-up password with the password dialog; true when confirmed.
  std::function<bool(const std::u16string& newPassword)> confirmPassword;
  // The code page the settings file keeps texts in; a changed identifier or start-up password it
  // cannot hold is refused (it would be saved changed: typed wrong into the page, or never
  // typeable at the next start).
  const platform::AnsiCodec* codec = nullptr;
};

inline constexpr std::u16string_view kPasswordNotStorableMessage =
    u"起動パスワードに、設定ファイルに保存できない文字が含まれています。別のパスワードにして下さい";

// An identifier the code page cannot hold would be saved changed and then typed wrong into the
// page: it is refused, naming its box by the caption beside it.
std::u16string IdentifierNotStorableMessage(std::u16string_view caption);

inline constexpr std::u16string_view kPasswordChangedMessage =
    u"Navelo起動パスワードが変更されました。確認のため再度パスワードを入力して下さい";

// OK: a changed start-up password must be confirmed first; when the confirmation is cancelled
// nothing is copied and the dialog stays open (false). The record takes the new password only
// once it is confirmed, so nothing saved meanwhile uses an unconfirmed one. Otherwise every
// control is copied into its field and the dialog closes (true). Only the last-active slot's
// title is written, never a window handle. A delay time that is not a whole 32-bit number keeps
// the previous value.
bool AcceptSettingsForm(const SettingsForm& form, SettingsRecord& record, TargetSlots& slots,
                        BrowserAddresses& addresses, const AcceptServices& services);

// What the settings dialog works with, whichever toolkit draws it.
struct SettingsDialogContext {
  SettingsRecord& record;
  TargetSlots& targets;
  BrowserAddresses& addresses;
  platform::MessageBoxService& messages;
  // Has the user confirm a new start-up password; true when confirmed.
  std::function<bool(const std::u16string& newPassword)> confirmPassword;
  // The settings file's code page, for refusing a start-up password it cannot hold.
  const platform::AnsiCodec* codec = nullptr;
};

// OK, as above, with the dialog's own services.
bool AcceptSettingsForm(const SettingsForm& form, const SettingsDialogContext& context);

// The title-capture buttons.
enum class TitleTarget { kVote, kInquiry };
std::u16string CaptureMessage(TitleTarget target, std::u16string_view lastActiveTitle);

}  // namespace navelo
