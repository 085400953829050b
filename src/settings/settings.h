#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/codec.h"
#include "settings/settings_file.h"

namespace navelo {

inline constexpr std::u16string_view kDefaultTouhyouTitle = u"IPAT合計金額入力";
inline constexpr std::u16string_view kDefaultShoukaiTitle = u"IPAT照会ログイン";
inline constexpr std::u16string_view kSettingsFileName = u"Navelo.INI";

// The settings and identifiers of one run. Created once by the program's entry and handed to the
// windows that read or change it.
struct SettingsRecord {
  std::u16string version;          // the file's VERSION as read; decides plain or enciphered
  std::u16string startupPassword;  // key of the stored identifiers; "ZelvOR" means none is set
  std::u16string NetID;
  std::u16string PatID;
  std::u16string Password;
  std::u16string Pars;
  std::u16string ApatPassword;
  std::int16_t Zenmen = 0;
  std::int16_t Kakusu = 0;
  std::int16_t Chokuzen = 0;
  std::u16string TouhyouTitle;
  std::u16string ShoukaiTitle;
  std::int16_t Chien = 0;
  std::int32_t ChienTime = 0;
  // 投票 types the amount alone (for a page that asks only for the total): any value but 0.
  std::int16_t KingakuNomi = 0;
};

// The panel's outer position in twips.
struct PanelPosition {
  std::int32_t left = 0;
  std::int32_t top = 0;
};

struct LoadResult {
  PanelPosition position;
  // Set when the file exists but could not be read: every field then holds its default.
  std::optional<std::string> readError;
};

// Fills the record from the file (identifiers deciphered under the record's start-up password)
// and returns the stored panel position. Missing entries, and numbers outside their field's
// range, take the entry's default.
LoadResult LoadSettings(SettingsRecord& record, const ProfileSnapshot& snapshot,
                        const platform::AnsiCodec& codec);
LoadResult LoadSettings(SettingsRecord& record, const SettingsFile& file,
                        const platform::AnsiCodec& codec);

// Writes the whole record and the panel position in one replacement of the file. Returns the
// reason on failure; the old file is then intact.
std::optional<std::string> SaveSettings(const SettingsRecord& record, PanelPosition position,
                                        SettingsFile& file, const platform::AnsiCodec& codec);

// The [General] "PasswordCheck" entry written beside the stored start-up password. The stored
// entry (the password enciphered under itself) never depends on the password's first character,
// so it alone cannot tell "Secret" from "secret"; this entry can. It names the stored entry it was
// written with, so an entry rewritten by another program is not checked against a stale value.
std::u16string PasswordCheckValue(std::u16string_view storedEntry, std::u16string_view password,
                                  const platform::AnsiCodec& codec);

// False only when the file holds a current check entry that `password` does not match.
bool PasswordMatchesCheck(std::u16string_view storedEntry, std::u16string_view checkEntry,
                          std::u16string_view password, const platform::AnsiCodec& codec);

// Whether a VERSION text selects enciphered identifiers (1.2 and above, compared in single
// precision).
bool VersionStoresEnciphered(std::u16string_view version);

}  // namespace navelo
