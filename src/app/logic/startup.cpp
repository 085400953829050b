#include "app/logic/startup.h"

#include "settings/cipher.h"

namespace navelo {

std::u16string PasswordEntry(std::u16string_view typed) {
  return typed.empty() ? std::u16string(kNoPassword) : std::u16string(typed);
}

bool AcceptPasswordEntry(PasswordMode mode, std::u16string_view entry, const SettingsStore& store,
                         std::u16string_view newPassword) {
  if (mode == PasswordMode::kStartupCheck) return store.StartupPasswordMatches(entry);
  return entry == newPassword;
}

bool ConfirmStartupPassword(const AskPassword& ask, const SettingsStore& store,
                            const std::u16string& newPassword) {
  return ask(PasswordMode::kConfirm,
             [&](const std::u16string& entry) {
               return AcceptPasswordEntry(PasswordMode::kConfirm, entry, store, newPassword);
             })
      .has_value();
}

StartupOutcome RunStartup(SettingsStore& store, const StartupWindows& windows) {
  if (store.StartupPasswordSet()) {
    const auto entry =
        windows.askPassword(PasswordMode::kStartupCheck, [&store](const std::u16string& e) {
          return AcceptPasswordEntry(PasswordMode::kStartupCheck, e, store);
        });
    if (!entry) return StartupOutcome::kCancelled;
    store.record().startupPassword = *entry;
  }
  windows.showPanel();
  return StartupOutcome::kPanelShown;
}

}  // namespace navelo
