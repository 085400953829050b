#pragma once

#include <string>
#include <vector>

#include "platform/files.h"

namespace navelo::platform::win32 {

// Windows files. Only regular files of at most 64 MiB are read. Replace writes a temporary file
// in the same folder, flushes it to disk and moves it over the target with write-through, so a
// crash at any moment leaves the old file or the new one, complete, readable and writable by the
// user who runs Navelo only. A symbolic link stays a link: its final target is what gets
// replaced. A read-only file, or one that is no regular file, is never replaced.
class Win32FileStore final : public FileStore {
 public:
  FileRead Read(const std::string& path) const override;
  bool Exists(const std::string& path) const override;
  std::optional<std::string> Replace(const std::string& path, const std::string& bytes) override;
};

// The file a path finally names, symbolic links and junctions followed (GetFinalPathNameByHandle);
// the path itself when it names nothing that exists.
std::string FinalPath(const std::string& path);

// Removes what a killed save left behind: its temporary files (IsSaveTemporary) beside the file
// `path` finally names, plain files only. Returns their paths. Run it only while no other Navelo
// can be saving the file.
std::vector<std::string> RemoveStrayTemporaries(const std::string& settingsPath);

}  // namespace navelo::platform::win32
