#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/codec.h"
#include "settings/settings.h"

namespace navelo {

// The password dialog's two modes.
enum class PasswordMode : std::int16_t { kStartupCheck = 0, kConfirm = 1 };

// What the password dialog's OK decides. In the start-up check the typed text must decipher the
// stored entry to itself; in confirmation it must equal the password held in memory. An empty
// entry counts as "no password". On a passed start-up check the record takes the typed password.
bool AcceptPasswordEntry(std::int16_t flgSyori, std::u16string_view typed, SettingsRecord& record,
                         const SettingsFile& file, const platform::AnsiCodec& codec);

// What start-up asks of the windows.
struct StartupWindows {
  // Shows the password dialog modally in the start-up check mode; returns when it has closed.
  std::function<void()> askStartupPassword;
  // Creates and shows the panel.
  std::function<void()> showPanel;
};

enum class StartupOutcome { kPanelShown, kCancelled };

// The program's entry: decides whether a start-up password is set, has it checked when one is and
// opens the panel unless the check was cancelled. On kCancelled nothing has been written.
StartupOutcome RunStartup(SettingsRecord& record, const SettingsFile& file,
                          const platform::AnsiCodec& codec, const StartupWindows& windows);

}  // namespace navelo
