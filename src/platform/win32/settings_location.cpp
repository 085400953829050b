#include "platform/win32/settings_location.h"

#include <windows.h>

#include <cwctype>

#include "platform/win32/text.h"

namespace navelo::platform::win32 {
namespace {

bool FolderWritable(const std::wstring& folder) {
  // The only sure test is to write: a file that is removed when its handle closes.
  const std::wstring probe = folder + L"\\.navelo-write-test";
  HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
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
  // Named after the file, case-insensitively as Windows names files; '\' is not allowed there.
  std::wstring name = L"Local\\Navelo:";
  for (wchar_t c : Wide(settingsFile)) name.push_back(c == L'\\' ? L'/' : std::towlower(c));
  mutex_ = CreateMutexW(nullptr, TRUE, name.c_str());
  held_ = mutex_ != nullptr && GetLastError() != ERROR_ALREADY_EXISTS;
}

InstanceLock::~InstanceLock() {
  if (mutex_) CloseHandle(mutex_);
}

}  // namespace navelo::platform::win32
