#include "settings/settings_store.h"

#include "settings/cipher.h"
#include "settings/fields.h"

namespace navelo {

SettingsStore::SettingsStore(SettingsFile& file, const platform::AnsiCodec& codec)
    : file_(file), codec_(codec), snapshot_(file.Load()) {
  record_.startupPassword = std::u16string(kNoPassword);
}

bool SettingsStore::StartupPasswordSet() const {
  const std::u16string stored = snapshot_.Text(kGeneralSection, u"Password", kNoPassword);
  if (stored == kNoPassword) return false;
  if (DecipherText(stored, kNoPassword, codec_) != kNoPassword) return true;
  return !PasswordMatchesCheck(stored, snapshot_.Text(kGeneralSection, u"PasswordCheck", u""),
                               kNoPassword, codec_);
}

bool SettingsStore::StartupPasswordMatches(std::u16string_view entry) const {
  const std::u16string stored = snapshot_.Text(kGeneralSection, u"Password", u"");
  if (DecipherText(stored, entry, codec_) != entry) return false;
  return PasswordMatchesCheck(stored, snapshot_.Text(kGeneralSection, u"PasswordCheck", u""), entry,
                              codec_);
}

LoadResult SettingsStore::Load() {
  return LoadSettings(record_, snapshot_, codec_);
}

std::optional<std::string> SettingsStore::Save(PanelPosition position) {
  if (saved_) return std::nullopt;
  saved_ = true;
  return SaveSettings(record_, position, file_, codec_);
}

}  // namespace navelo
