#pragma once

#include <cstdint>
#include <string_view>

#include "settings/settings.h"

namespace navelo {

// How a field is kept in the file and shown in the settings dialog.
enum class FieldKind {
  kIdentifier,  // [Data] text, enciphered from version 1.2 on; a text box
  kTitle,       // [General] text as held; a title label
  kFlag,        // [General] 16-bit number; a check box
  kNumber,      // [General] 32-bit number; a text box
};

// One field of the settings record: where the file keeps it, its default, and the settings
// dialog's control that shows it. Exactly one of the member pointers is set, by `kind`.
struct SettingsField {
  std::u16string_view section;
  std::u16string_view key;
  FieldKind kind;
  std::u16string_view fallback;
  std::u16string_view control;
  std::u16string SettingsRecord::*text = nullptr;
  std::int16_t SettingsRecord::*flag = nullptr;
  std::int32_t SettingsRecord::*number = nullptr;
};

inline constexpr std::u16string_view kGeneralSection = u"General";
inline constexpr std::u16string_view kDataSection = u"Data";

// The fields the file, the record and the settings dialog share, in the order they are saved
// (after VERSION, the stored start-up password and the panel position).
inline constexpr SettingsField kSettingsFields[] = {
    {kGeneralSection, u"Zenmen", FieldKind::kFlag, u"0", u"optZen", {}, &SettingsRecord::Zenmen},
    {kGeneralSection, u"Kakusu", FieldKind::kFlag, u"0", u"optMin", {}, &SettingsRecord::Kakusu},
    {kGeneralSection,
     u"Chokuzen",
     FieldKind::kFlag,
     u"0",
     u"optAct",
     {},
     &SettingsRecord::Chokuzen},
    {kGeneralSection, u"Chien", FieldKind::kFlag, u"0", u"optChien", {}, &SettingsRecord::Chien},
    {kGeneralSection,
     u"ChienTime",
     FieldKind::kNumber,
     u"300",
     u"txtChienTime",
     {},
     {},
     &SettingsRecord::ChienTime},
    // Added later than the others: a file written before it lacks it and reads as off.
    {kGeneralSection,
     u"KingakuNomi",
     FieldKind::kFlag,
     u"0",
     u"optKin",
     {},
     &SettingsRecord::KingakuNomi},
    {kGeneralSection, u"TouhyouTitle", FieldKind::kTitle, kDefaultTouhyouTitle, u"lblTouTitle",
     &SettingsRecord::TouhyouTitle},
    {kGeneralSection, u"ShoukaiTitle", FieldKind::kTitle, kDefaultShoukaiTitle, u"lblShoTitle",
     &SettingsRecord::ShoukaiTitle},
    {kDataSection, u"NetID", FieldKind::kIdentifier, u"", u"txtNetId", &SettingsRecord::NetID},
    {kDataSection, u"PatID", FieldKind::kIdentifier, u"", u"txtId", &SettingsRecord::PatID},
    {kDataSection, u"Password", FieldKind::kIdentifier, u"", u"txtPswd", &SettingsRecord::Password},
    {kDataSection, u"Pars", FieldKind::kIdentifier, u"", u"txtPars", &SettingsRecord::Pars},
    {kDataSection, u"ApatPassword", FieldKind::kIdentifier, u"", u"txtApatPswd",
     &SettingsRecord::ApatPassword},
};

}  // namespace navelo
