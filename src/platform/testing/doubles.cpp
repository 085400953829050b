#include "platform/testing/doubles.h"

namespace navelo::platform::testing {

FileRead MemoryFileStore::Read(const std::string& path) const {
  ++readCount;
  FileRead result;
  if (auto bad = unreadable.find(path); bad != unreadable.end()) {
    result.status = FileRead::Status::kError;
    result.error = bad->second;
    return result;
  }
  auto it = files.find(path);
  if (it == files.end()) return result;
  result.status = FileRead::Status::kOk;
  result.bytes = it->second;
  return result;
}

std::optional<std::string> MemoryFileStore::Replace(const std::string& path,
                                                    const std::string& bytes) {
  if (failWrites) return failWrites;
  ++replaceCount;
  files[path] = bytes;
  return std::nullopt;
}

}  // namespace navelo::platform::testing
