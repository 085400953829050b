#include "platform/win32/instance_lock.h"

#include <windows.h>

#include <cstdint>
#include <cwctype>

#include "platform/win32/text.h"

namespace navelo::platform::win32 {

InstanceLock::InstanceLock(const std::string& settingsFile) : path_(settingsFile) {
  // Named after the file, case-insensitively as Windows names files, by a hash of fixed length
  // (a long path would not fit an object's name).
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (wchar_t c : Wide(settingsFile)) {
    hash ^= static_cast<std::uint64_t>(std::towlower(c));
    hash *= 0x100000001b3ULL;
  }
  const std::wstring name = L"Local\\Navelo-" + std::to_wstring(hash);
  mutex_ = CreateMutexW(nullptr, TRUE, name.c_str());
  // Without a lock at all Navelo still runs: only another Navelo holding it ends this one.
  const DWORD error = GetLastError();
  if (mutex_ == nullptr) {
    state_ = error == ERROR_ACCESS_DENIED ? State::kTaken : State::kUnavailable;
    error_ = ErrorText(error);
  } else {
    state_ = error == ERROR_ALREADY_EXISTS ? State::kTaken : State::kHeld;
  }
}

InstanceLock::~InstanceLock() {
  if (mutex_) CloseHandle(mutex_);
}

}  // namespace navelo::platform::win32
