#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/utf8.h"
#include "platform/codec.h"
#include "platform/files.h"
#include "settings/profile.h"

namespace navelo {

// One section/key/value triple to write.
struct ProfileEntry {
  std::u16string_view section;
  std::u16string_view key;
  std::u16string value;
};

// The file's content at one moment, with its texts converted to wide text.
class ProfileSnapshot {
 public:
  ProfileSnapshot(platform::FileRead read, const platform::AnsiCodec& codec);

  // The value of a key, or `fallback` when the file, the section or the key is missing. A key
  // present with an empty value gives "". Values are read whole.
  std::u16string Text(std::u16string_view section, std::u16string_view key,
                      std::u16string_view fallback) const;

  // Whether the file could be read; a missing file is readable (it is empty).
  bool readable() const { return status_ != platform::FileRead::Status::kError; }
  const std::string& error() const { return error_; }

 private:
  ProfileDocument doc_;
  platform::FileRead::Status status_;
  std::string error_;
  const platform::AnsiCodec* codec_;
};

// The settings file on disk. Every read goes to the file anew; every write replaces the file in
// one step. It may be read from one place and saved to another (an installed copy's first run
// moving to the user's folder); once saved there, it is read from there too.
class SettingsFile {
 public:
  SettingsFile(std::string path, platform::FileStore& store, const platform::AnsiCodec& codec)
      : SettingsFile(path, path, store, codec) {}
  SettingsFile(std::string readPath, std::string savePath, platform::FileStore& store,
               const platform::AnsiCodec& codec)
      : path_(std::move(readPath)), savePath_(std::move(savePath)), store_(store), codec_(codec) {}

  // The file read now, and the file saves go to.
  const std::string& path() const { return path_; }
  const std::string& savePath() const { return savePath_; }

  ProfileSnapshot Load() const;
  std::u16string ReadProfileText(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view fallback) const;
  // Writes all entries in one replacement of the file saved to. Returns the reason on failure;
  // the file is then as it was. A file that cannot be read back faithfully is never overwritten;
  // the file read, when it is another, is never written at all.
  std::optional<std::string> WriteEntries(const std::vector<ProfileEntry>& entries);
  std::optional<std::string> WriteProfileText(std::u16string_view section, std::u16string_view key,
                                              std::u16string_view value);

 private:
  std::string path_;
  std::string savePath_;
  platform::FileStore& store_;
  const platform::AnsiCodec& codec_;
};

}  // namespace navelo
