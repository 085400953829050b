#include "settings/settings_file.h"

namespace navelo {
namespace {

std::string Encode(std::u16string_view text, bool utf8, const platform::AnsiCodec& codec) {
  return utf8 ? ToUtf8(text) : codec.ToAnsi(text);
}

// The document a file holds, or nothing (and the reason) when it cannot be read back faithfully.
// A missing file holds an empty one.
std::optional<ProfileDocument> Faithful(const platform::FileRead& read, std::string* why) {
  if (read.status == platform::FileRead::Status::kError) {
    *why = "the file exists but cannot be read (" + read.error + ")";
    return std::nullopt;
  }
  ProfileDocument doc = ProfileDocument::Parse(read.bytes);
  if (!doc.unreadable().empty()) {
    *why = "the file cannot be read back faithfully (" + doc.unreadable() + ")";
    return std::nullopt;
  }
  return doc;
}

}  // namespace

ProfileSnapshot::ProfileSnapshot(platform::FileRead read, const platform::AnsiCodec& codec)
    : doc_(ProfileDocument::Parse(read.bytes)),
      status_(read.status),
      error_(std::move(read.error)),
      codec_(&codec) {
  if (!doc_.unreadable().empty()) {
    status_ = platform::FileRead::Status::kError;
    error_ = doc_.unreadable();
  }
}

std::u16string ProfileSnapshot::Text(std::u16string_view section, std::u16string_view key,
                                     std::u16string_view fallback) const {
  auto value = doc_.Get(Encode(section, doc_.utf8(), *codec_), Encode(key, doc_.utf8(), *codec_));
  if (!value) return std::u16string(fallback);
  return doc_.utf8() ? FromUtf8(*value) : codec_->FromAnsi(*value);
}

ProfileSnapshot SettingsFile::Load() const {
  return ProfileSnapshot(store_.Read(path_), codec_);
}

std::u16string SettingsFile::ReadProfileText(std::u16string_view section, std::u16string_view key,
                                             std::u16string_view fallback) const {
  return Load().Text(section, key, fallback);
}

std::optional<std::string> SettingsFile::WriteEntries(const std::vector<ProfileEntry>& entries) {
  // The file written over must read back faithfully (or be missing): what cannot be read is
  // never overwritten.
  std::string why;
  std::optional<ProfileDocument> doc = Faithful(store_.Read(savePath_), &why);
  if (!doc) return why + "; it was left untouched";
  // Saving elsewhere than the file read (the first save of an installed copy) carries that
  // file's other lines over when it reads back faithfully; that file itself is never written,
  // so one that does not read back faithfully only means starting afresh.
  if (path_ != savePath_) {
    if (auto read = Faithful(store_.Read(path_), &why)) doc = std::move(read);
  }
  for (const auto& entry : entries) {
    doc->Set(Encode(entry.section, doc->utf8(), codec_), Encode(entry.key, doc->utf8(), codec_),
             Encode(entry.value, doc->utf8(), codec_));
  }
  const std::string bytes = doc->Serialize();
  // Nothing is written that would not read back faithfully itself (a title that, in a UTF-16
  // file, reads as a line in another encoding).
  const std::string written = ProfileDocument::Parse(bytes).unreadable();
  if (!written.empty()) return "the new text would not read back faithfully (" + written + ")";
  auto error = store_.Replace(savePath_, bytes);
  if (!error) path_ = savePath_;
  return error;
}

std::optional<std::string> SettingsFile::WriteProfileText(std::u16string_view section,
                                                          std::u16string_view key,
                                                          std::u16string_view value) {
  return WriteEntries({ProfileEntry{section, key, std::u16string(value)}});
}

}  // namespace navelo
