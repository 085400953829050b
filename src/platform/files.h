#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace navelo::platform {

struct FileRead {
  enum class Status { kOk, kMissing, kError };
  Status status = Status::kMissing;
  std::string bytes;
  std::string error;  // the reason, when status is kError
};

// Whole-file access for the settings file.
class FileStore {
 public:
  virtual ~FileStore() = default;
  virtual FileRead Read(const std::string& path) const = 0;
  // Whether a file or folder exists at `path` (following symbolic links).
  virtual bool Exists(const std::string& path) const = 0;
  // Replaces the file in one step: afterwards the path holds either the old content or the new,
  // complete, readable and writable by its owner only. Returns the reason on failure.
  virtual std::optional<std::string> Replace(const std::string& path, const std::string& bytes) = 0;
};

// A save writes "<name>.navelo-save-" and six letters or digits beside the file before it
// replaces the file. The marker sets these apart from the user's own files, such as
// "Navelo.INI.backup", so clearing away what a killed save left behind never takes those.
inline constexpr std::string_view kSaveTemporaryMarker = ".navelo-save-";
inline constexpr std::size_t kSaveTemporaryLetters = 6;

// Whether `fileName` is such a temporary of the settings file named `settingsName`.
inline bool IsSaveTemporary(std::string_view fileName, std::string_view settingsName) {
  const std::size_t stem = settingsName.size() + kSaveTemporaryMarker.size();
  if (fileName.size() != stem + kSaveTemporaryLetters ||
      fileName.substr(0, settingsName.size()) != settingsName ||
      fileName.substr(settingsName.size(), kSaveTemporaryMarker.size()) != kSaveTemporaryMarker) {
    return false;
  }
  for (char c : fileName.substr(stem)) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
  }
  return true;
}

}  // namespace navelo::platform
