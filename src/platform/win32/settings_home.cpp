#include "platform/win32/settings_home.h"

#include <windows.h>

#include "platform/win32/file_store.h"
#include "platform/win32/instance_lock.h"
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

SettingsLocation Win32SettingsHome::Locate(const std::string& programDirectory, std::string*) {
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

std::unique_ptr<platform::InstanceLock> Win32SettingsHome::Lock(const std::string& settingsPath) {
  return std::make_unique<InstanceLock>(settingsPath);
}

std::vector<std::string> Win32SettingsHome::RemoveStrayTemporaries(
    const std::string& settingsPath) {
  return win32::RemoveStrayTemporaries(settingsPath);
}

}  // namespace navelo::platform::win32
