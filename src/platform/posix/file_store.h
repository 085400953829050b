#pragma once

#include "platform/files.h"

namespace navelo::platform::posix {

// POSIX files. Replace writes a temporary file in the same folder, flushes it to disk and renames
// it over the target, so a crash at any moment leaves the old file or the new one, complete.
class PosixFileStore final : public FileStore {
 public:
  FileRead Read(const std::string& path) const override;
  std::optional<std::string> Replace(const std::string& path, const std::string& bytes) override;
};

}  // namespace navelo::platform::posix
