#include "platform/win32/settings_location.h"

#include <windows.h>

#include <cstdint>
#include <cwctype>

#include "platform/win32/text.h"

namespace navelo::platform::win32 {
namespace {

bool FolderWritable(const std::wstring& folder) {
  // The only sure test is to write: a file of this process's own, removed when its handle closes.
  for (DWORD attempt = 0; attempt < 10; ++attempt) {
    const std::wstring probe = folder + L"\\.navelo-write-test-" +
                               std::to_wstring(GetCurrentProcessId()) + L"-" +
                               std::to_wstring(GetTickCount() + attempt);
    HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      CloseHandle(h);
      return true;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  return false;
}

bool FileReadable(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

}  // namespace

SettingsLocation FindSettingsLocation(const std::string& programDirectory) {
  SettingsPlaces places;
  const std::wstring folder = Wide(programDirectory);
  places.programFile = programDirectory + "\\Navelo.INI";
  places.programFolderWritable = FolderWritable(folder);
  places.programFileReadable = FileReadable(Wide(places.programFile));
  wchar_t appData[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
  if (n > 0 && n < MAX_PATH) {
    const std::wstring userFolder = std::wstring(appData) + L"\\Navelo";
    places.userFile = Utf8(userFolder) + "\\Navelo.INI";
    places.userFileExists =
        GetFileAttributesW(Wide(places.userFile).c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!places.programFolderWritable) CreateDirectoryW(userFolder.c_str(), nullptr);
  }
  return ChooseSettingsLocation(places);
}

InstanceLock::InstanceLock(const std::string& settingsFile) {
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
  held_ = mutex_ == nullptr ? error != ERROR_ACCESS_DENIED : error != ERROR_ALREADY_EXISTS;
}

InstanceLock::~InstanceLock() {
  if (mutex_) CloseHandle(mutex_);
}

}  // namespace navelo::platform::win32
