#include "platform/win32/instance_lock.h"

#include <windows.h>

#include <cstdio>

#include "platform/win32/file_store.h"
#include "platform/win32/text.h"

namespace navelo::platform::win32 {
namespace {

// The folder that holds the file a path finally names.
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return ".";
  // A drive's root keeps its separator ("C:\").
  return path.substr(0, slash == 2 && path[1] == ':' ? slash + 1 : slash);
}

void WriteHolder(HANDLE record, DWORD process) {
  if (auto* view =
          static_cast<DWORD*>(MapViewOfFile(record, FILE_MAP_WRITE, 0, 0, sizeof(DWORD)))) {
    *view = process;
    UnmapViewOfFile(view);
  }
}

long ReadHolder(HANDLE record) {
  auto* view = static_cast<const DWORD*>(MapViewOfFile(record, FILE_MAP_READ, 0, 0, sizeof(DWORD)));
  if (view == nullptr) return 0;
  const long process = static_cast<long>(*view);
  UnmapViewOfFile(view);
  return process;
}

}  // namespace

InstanceLock::InstanceLock(const std::string& settingsFile) {
  path_ = FolderOf(FinalPath(settingsFile));
  // Named after the folder's identity on its volume, not after a path: a second drive letter, a
  // junction or a network name leading to the same folder names the same lock. In the Global
  // namespace, so that other sessions (another user switched to, a remote desktop) meet it too.
  HANDLE folder =
      CreateFileW(Wide(path_).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = folder != INVALID_HANDLE_VALUE && GetFileInformationByHandle(folder, &info);
  const DWORD why = GetLastError();
  if (folder != INVALID_HANDLE_VALUE) CloseHandle(folder);
  if (!known) {
    error_ = ErrorText(why);
    return;
  }
  wchar_t id[32];
  std::swprintf(id, 32, L"%08lx-%08lx%08lx", info.dwVolumeSerialNumber, info.nFileIndexHigh,
                info.nFileIndexLow);
  mutex_ = CreateMutexW(nullptr, TRUE, (L"Global\\Navelo-" + std::wstring(id)).c_str());
  const DWORD error = GetLastError();
  if (mutex_ == nullptr) {
    // Another user's Navelo made it, with access for that user only.
    state_ = error == ERROR_ACCESS_DENIED ? State::kTaken : State::kUnavailable;
    error_ = ErrorText(error);
  } else if (error != ERROR_ALREADY_EXISTS) {
    state_ = State::kHeld;
  } else {
    // It exists: held by a running Navelo, or only still open in a start that is ending, or
    // left by one that ended (abandoned). Owning it is what counts.
    const DWORD wait = WaitForSingleObject(mutex_, 0);
    state_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED ? State::kHeld : State::kTaken;
  }
  // Who holds it, for bringing that Navelo forward: recorded where only this session looks, as
  // only a Navelo of this session can be brought forward.
  const std::wstring record = L"Local\\Navelo-" + std::wstring(id) + L"-holder";
  if (state_ == State::kHeld) {
    holderRecord_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                       sizeof(DWORD), record.c_str());
    if (holderRecord_) WriteHolder(holderRecord_, GetCurrentProcessId());
  } else if (state_ == State::kTaken) {
    if (HANDLE held = OpenFileMappingW(FILE_MAP_READ, FALSE, record.c_str())) {
      holder_ = ReadHolder(held);
      CloseHandle(held);
    }
  }
}

InstanceLock::~InstanceLock() {
  if (holderRecord_) CloseHandle(holderRecord_);
  if (mutex_) CloseHandle(mutex_);
}

}  // namespace navelo::platform::win32
