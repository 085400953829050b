#include "settings/settings.h"

#include <limits>
#include <vector>

#include "base/text.h"
#include "settings/cipher.h"
#include "settings/fields.h"
#include "settings/numbers.h"
#include "settings/version.h"

namespace navelo {
namespace {

constexpr std::u16string_view kGeneral = kGeneralSection;

// A default from the field table as a number.
std::int32_t ParseDefault(std::u16string_view text) {
  return static_cast<std::int32_t>(ParseLeadingNumber(text).value_or(0));
}

// A numeric entry of [General]; a missing key reads as `fallback`, a number outside the field's
// range takes `fallback` too.
template <typename Int>
Int ReadInt(const ProfileSnapshot& snap, std::u16string_view key, Int fallback) {
  const std::u16string text = snap.Text(kGeneral, key, FormatInteger(fallback));
  return static_cast<Int>(ReadStoredInteger(text, std::numeric_limits<Int>::min(),
                                            std::numeric_limits<Int>::max(), fallback));
}

std::u16string Hex64(std::uint64_t value) {
  std::u16string out(16, u'0');
  for (int i = 15; i >= 0; --i, value >>= 4)
    out[static_cast<std::size_t>(i)] = kHexDigits[value & 0xF];
  return out;
}

}  // namespace

std::u16string PasswordCheckValue(std::u16string_view storedEntry, std::u16string_view password,
                                  const platform::AnsiCodec& codec) {
  // FNV-1a over the password's bytes, after a fixed prefix.
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (char c : std::string("Navelo\x01") + codec.ToAnsi(password)) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  return std::u16string(storedEntry) + u":" + Hex64(hash);
}

bool PasswordMatchesCheck(std::u16string_view storedEntry, std::u16string_view checkEntry,
                          std::u16string_view password, const platform::AnsiCodec& codec) {
  const auto colon = checkEntry.rfind(u':');
  if (colon == std::u16string_view::npos || checkEntry.substr(0, colon) != storedEntry) {
    return true;  // no check entry, or one written for another stored password
  }
  return checkEntry == PasswordCheckValue(storedEntry, password, codec);
}

bool VersionStoresEnciphered(std::u16string_view version) {
  auto number = ParseLeadingNumber(version);
  // A VERSION that is not a number takes the entry's default, "1.0".
  const float value = number ? static_cast<float>(*number) : 1.0f;
  return value >= 1.2f;
}

LoadResult LoadSettings(SettingsRecord& record, const ProfileSnapshot& snap,
                        const platform::AnsiCodec& codec) {
  record.version = snap.Text(kGeneral, u"VERSION", u"1.0");
  const bool enciphered = VersionStoresEnciphered(record.version);
  for (const SettingsField& field : kSettingsFields) {
    switch (field.kind) {
      case FieldKind::kIdentifier: {
        std::u16string stored = snap.Text(field.section, field.key, field.fallback);
        record.*field.text =
            enciphered ? DecipherText(stored, record.startupPassword, codec) : stored;
        break;
      }
      case FieldKind::kTitle:
        // In the form window titles are compared in (a title kept by an earlier version may hold
        // a tab, say).
        record.*field.text =
            ControlCharactersAsSpaces(snap.Text(field.section, field.key, field.fallback));
        break;
      case FieldKind::kFlag:
        record.*field.flag = ReadInt<std::int16_t>(
            snap, field.key, static_cast<std::int16_t>(ParseDefault(field.fallback)));
        break;
      case FieldKind::kNumber:
        record.*field.number = ReadInt<std::int32_t>(snap, field.key, ParseDefault(field.fallback));
        break;
    }
  }

  LoadResult result;
  if (!snap.readable()) result.readError = snap.error();
  // Read as "FormTop", written as "Formtop": key names match without regard to case, so both
  // name the same entry, and files written by either spelling keep working.
  result.position.left = ReadInt<std::int32_t>(snap, u"FormLeft", 0);
  result.position.top = ReadInt<std::int32_t>(snap, u"FormTop", 0);
  return result;
}

LoadResult LoadSettings(SettingsRecord& record, const SettingsFile& file,
                        const platform::AnsiCodec& codec) {
  return LoadSettings(record, file.Load(), codec);
}

std::optional<std::string> SaveSettings(const SettingsRecord& record, PanelPosition position,
                                        SettingsFile& file, const platform::AnsiCodec& codec) {
  const std::u16string& key = record.startupPassword;
  auto enc = [&](const std::u16string& text) { return EncipherText(text, key, codec); };
  const std::u16string storedPassword = enc(key);
  std::vector<ProfileEntry> entries = {
      {kGeneral, u"VERSION", FormatInteger(kVersionMajor) + u"." + FormatInteger(kVersionMinor)},
      {kGeneral, u"Password", storedPassword},
      {kGeneral, u"FormLeft", FormatSingle(static_cast<float>(position.left))},
      // Deliberately "Formtop": the same entry as "FormTop" (case is ignored), spelled as the
      // files this program has always written.
      {kGeneral, u"Formtop", FormatSingle(static_cast<float>(position.top))},
  };
  for (const SettingsField& field : kSettingsFields) {
    std::u16string value;
    switch (field.kind) {
      case FieldKind::kIdentifier:
        value = enc(record.*field.text);
        break;
      case FieldKind::kTitle:
        value = record.*field.text;
        break;
      case FieldKind::kFlag:
        value = FormatInteger(record.*field.flag);
        break;
      case FieldKind::kNumber:
        value = FormatInteger(record.*field.number);
        break;
    }
    entries.push_back({field.section, field.key, std::move(value)});
  }
  entries.push_back({kGeneral, u"PasswordCheck", PasswordCheckValue(storedPassword, key, codec)});
  return file.WriteEntries(entries);
}

}  // namespace navelo
