#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "settings/settings_store.h"

namespace navelo {

// The password dialog's two modes (its `flgSyori`).
enum class PasswordMode : std::int16_t { kStartupCheck = 0, kConfirm = 1 };

// What the password dialog takes an entry as: an empty box counts as "no password".
std::u16string PasswordEntry(std::u16string_view typed);

// Whether an entry passes OK in the given mode: in the start-up check it must open the stored
// identifiers; in confirmation it must equal the new password the settings dialog is setting.
bool AcceptPasswordEntry(PasswordMode mode, std::u16string_view entry, const SettingsStore& store,
                         std::u16string_view newPassword = {});

// Shows the password dialog modally until an entry `accepts` takes (wrong entries are reported
// and the dialog stays open) or the user cancels. Returns the accepted entry, or nothing.
using AskPassword = std::function<std::optional<std::u16string>(
    PasswordMode mode, std::function<bool(const std::u16string& entry)> accepts)>;

// The settings dialog's confirmation of a new start-up password: the password dialog in its second
// mode, which takes only the new password. True when confirmed.
bool ConfirmStartupPassword(const AskPassword& ask, const SettingsStore& store,
                            const std::u16string& newPassword);

// What start-up asks of the windows.
struct StartupWindows {
  AskPassword askPassword;
  // Creates and shows the panel.
  std::function<void()> showPanel;
};

enum class StartupOutcome { kPanelShown, kCancelled };

// The program's entry: decides whether a start-up password is set, has it checked when one is
// (the record then takes the typed password) and opens the panel unless the check was cancelled.
// On kCancelled nothing has been written.
StartupOutcome RunStartup(SettingsStore& store, const StartupWindows& windows);

}  // namespace navelo
