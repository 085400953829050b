#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/files.h"

namespace navelo::platform::posix {

// The largest settings file read; anything larger is reported instead of read.
inline constexpr std::uint64_t kMaxSettingsFileBytes = 64ull << 20;

// POSIX files. Read takes regular files only, and at most kMaxSettingsFileBytes of them: a FIFO,
// a device or a folder is reported, never opened for reading without bound or waited on.
// Replace writes a temporary file beside the file it replaces, flushes it to disk and renames it
// over that file, so a crash at any moment leaves the old file or the new one, complete. A
// symbolic link stays a link: its final target is what gets replaced.
class PosixFileStore final : public FileStore {
 public:
  FileRead Read(const std::string& path) const override;
  bool Exists(const std::string& path) const override;
  std::optional<std::string> Replace(const std::string& path, const std::string& bytes) override;
};

// The file a path finally names after following symbolic links (the path itself when it is no
// link). A link that points nowhere gives the missing file it points to.
std::string ResolveLinks(const std::string& path);

// The folder part of a path ("." for a bare name).
std::string DirectoryOf(const std::string& path);

// Removes what a killed save left behind: its temporary files (IsSaveTemporary) beside the file
// `path` resolves to, when they are regular files owned by this user. Returns their paths. Run it
// only while no other process can be saving the same file.
std::vector<std::string> RemoveStrayTemporaries(const std::string& path);

}  // namespace navelo::platform::posix
