#pragma once

#include <optional>
#include <string>

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
  // Replaces the file in one step: afterwards the path holds either the old content or the new,
  // complete, readable and writable by its owner only. Returns the reason on failure.
  virtual std::optional<std::string> Replace(const std::string& path, const std::string& bytes) = 0;
};

}  // namespace navelo::platform
