#include "app/logic/startup.h"

#include "settings/cipher.h"

namespace navelo {

bool AcceptPasswordEntry(std::int16_t flgSyori, std::u16string_view typed, SettingsRecord& record,
                         const SettingsFile& file, const platform::AnsiCodec& codec) {
  const std::u16string entry = typed.empty() ? std::u16string(kNoPassword) : std::u16string(typed);
  if (flgSyori == static_cast<std::int16_t>(PasswordMode::kStartupCheck)) {
    const ProfileSnapshot snap = file.Load();
    const std::u16string stored = snap.Text(u"General", u"Password", u"");
    if (DecipherText(stored, entry, codec) != entry) return false;
    if (!PasswordMatchesCheck(stored, snap.Text(u"General", u"PasswordCheck", u""), entry, codec)) {
      return false;
    }
    record.startupPassword = entry;
    return true;
  }
  return entry == record.startupPassword;
}

StartupOutcome RunStartup(SettingsRecord& record, const SettingsFile& file,
                          const platform::AnsiCodec& codec, const StartupWindows& windows) {
  record.startupPassword = file.ReadProfileText(u"General", u"Password", kNoPassword);
  if (record.startupPassword != kNoPassword) {
    record.startupPassword = DecipherText(record.startupPassword, kNoPassword, codec);
  }
  if (record.startupPassword != kNoPassword) {
    windows.askStartupPassword();
    // The dialog leaves the confirmed password in the record, or "" when it was not confirmed.
    if (record.startupPassword.empty()) return StartupOutcome::kCancelled;
  }
  windows.showPanel();
  return StartupOutcome::kPanelShown;
}

}  // namespace navelo
