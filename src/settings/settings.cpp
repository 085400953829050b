#include "settings/settings.h"

#include <limits>
#include <vector>

#include "settings/cipher.h"
#include "settings/numbers.h"
#include "settings/version.h"

namespace navelo {
namespace {

constexpr std::u16string_view kGeneral = u"General";
constexpr std::u16string_view kData = u"Data";

// A numeric entry of [General]; a missing key reads as `fallback`, a number outside the field's
// range takes `fallback` too.
template <typename Int>
Int ReadInt(const ProfileSnapshot& snap, std::u16string_view key, Int fallback) {
  const std::u16string text = snap.Text(kGeneral, key, FormatInteger(fallback));
  return static_cast<Int>(ReadStoredInteger(text, std::numeric_limits<Int>::min(),
                                            std::numeric_limits<Int>::max(), fallback));
}

std::u16string Hex64(std::uint64_t value) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string out(16, u'0');
  for (int i = 15; i >= 0; --i, value >>= 4)
    out[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
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

LoadResult LoadSettings(SettingsRecord& record, const SettingsFile& file,
                        const platform::AnsiCodec& codec) {
  const ProfileSnapshot snap = file.Load();
  record.version = snap.Text(kGeneral, u"VERSION", u"1.0");
  const bool enciphered = VersionStoresEnciphered(record.version);
  auto identifier = [&](std::u16string_view key) {
    std::u16string stored = snap.Text(kData, key, u"");
    return enciphered ? DecipherText(stored, record.startupPassword, codec) : stored;
  };
  record.NetID = identifier(u"NetID");
  record.PatID = identifier(u"PatID");
  record.Password = identifier(u"Password");
  record.Pars = identifier(u"Pars");
  record.ApatPassword = identifier(u"ApatPassword");

  LoadResult result;
  if (!snap.readable()) result.readError = snap.error();
  PanelPosition& position = result.position;
  position.left = ReadInt<std::int32_t>(snap, u"FormLeft", 0);
  position.top = ReadInt<std::int32_t>(snap, u"FormTop", 0);
  record.Zenmen = ReadInt<std::int16_t>(snap, u"Zenmen", 0);
  record.Kakusu = ReadInt<std::int16_t>(snap, u"Kakusu", 0);
  record.Chokuzen = ReadInt<std::int16_t>(snap, u"Chokuzen", 0);
  record.Chien = ReadInt<std::int16_t>(snap, u"Chien", 0);
  record.ChienTime = ReadInt<std::int32_t>(snap, u"ChienTime", 300);
  record.TouhyouTitle = snap.Text(kGeneral, u"TouhyouTitle", kDefaultTouhyouTitle);
  record.ShoukaiTitle = snap.Text(kGeneral, u"ShoukaiTitle", kDefaultShoukaiTitle);
  return result;
}

std::optional<std::string> SaveSettings(const SettingsRecord& record, PanelPosition position,
                                        SettingsFile& file, const platform::AnsiCodec& codec) {
  const std::u16string& key = record.startupPassword;
  auto enc = [&](const std::u16string& text) { return EncipherText(text, key, codec); };
  const std::u16string storedPassword = enc(key);
  const std::vector<ProfileEntry> entries = {
      {kGeneral, u"VERSION", FormatInteger(kVersionMajor) + u"." + FormatInteger(kVersionMinor)},
      {kGeneral, u"Password", storedPassword},
      {kGeneral, u"FormLeft", FormatSingle(static_cast<float>(position.left))},
      {kGeneral, u"Formtop", FormatSingle(static_cast<float>(position.top))},
      {kGeneral, u"Zenmen", FormatInteger(record.Zenmen)},
      {kGeneral, u"Kakusu", FormatInteger(record.Kakusu)},
      {kGeneral, u"Chokuzen", FormatInteger(record.Chokuzen)},
      {kGeneral, u"Chien", FormatInteger(record.Chien)},
      {kGeneral, u"ChienTime", FormatInteger(record.ChienTime)},
      {kGeneral, u"TouhyouTitle", record.TouhyouTitle},
      {kGeneral, u"ShoukaiTitle", record.ShoukaiTitle},
      {kData, u"NetID", enc(record.NetID)},
      {kData, u"PatID", enc(record.PatID)},
      {kData, u"Password", enc(record.Password)},
      {kData, u"Pars", enc(record.Pars)},
      {kData, u"ApatPassword", enc(record.ApatPassword)},
      {kGeneral, u"PasswordCheck", PasswordCheckValue(storedPassword, key, codec)},
  };
  return file.WriteEntries(entries);
}

}  // namespace navelo
