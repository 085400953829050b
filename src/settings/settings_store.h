#pragma once

#include <optional>
#include <string>

#include "platform/codec.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "settings/targets.h"

namespace navelo {

// The one owner of the settings record and of the state that lives beside it for the whole run
// (the target slots and the browser addresses). Created at start by the program's entry, which
// hands the record to the windows. The file is read once, when the store is created, and written
// once, by Save.
class SettingsStore {
 public:
  SettingsStore(SettingsFile& file, const platform::AnsiCodec& codec);

  SettingsRecord& record() { return record_; }
  const SettingsRecord& record() const { return record_; }
  TargetSlots& targets() { return targets_; }
  BrowserAddresses& addresses() { return addresses_; }
  const SettingsFile& file() const { return file_; }
  const platform::AnsiCodec& codec() const { return codec_; }

  // Whether the file asks for a start-up password before the panel opens. A stored entry that
  // deciphers to the no-password value still asks when its check entry says it was written for
  // another password.
  bool StartupPasswordSet() const;
  // The start-up check of an entry (an empty box already counted as the no-password value): it
  // must decipher the stored entry to itself and match the check entry written beside it.
  bool StartupPasswordMatches(std::u16string_view entry) const;

  // Fills the record from what was read (identifiers deciphered under the record's start-up
  // password, which must be final by now) and returns the stored panel position.
  LoadResult Load();

  // Writes the record and the panel position. Runs once: a later call writes nothing and
  // returns nothing. Returns the reason when the file could not be written.
  std::optional<std::string> Save(PanelPosition position);
  bool saved() const { return saved_; }
  // From now on Save writes nothing (another Navelo may be saving the same file).
  void NeverSave() { saved_ = true; }

 private:
  SettingsFile& file_;
  const platform::AnsiCodec& codec_;
  ProfileSnapshot snapshot_;
  SettingsRecord record_;
  TargetSlots targets_;
  BrowserAddresses addresses_{};
  bool saved_ = false;
};

}  // namespace navelo
