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

std::string Environment(const wchar_t* name) {
  wchar_t value[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableW(name, value, MAX_PATH);
  return n > 0 && n < MAX_PATH ? Utf8(value) : std::string();
}

// Creates the user's settings folder when it is missing; false, with the reason, when there is
// no folder there afterwards.
bool MakeFolder(const std::string& folder, std::string* error) {
  const std::wstring wide = Wide(folder);
  if (!CreateDirectoryW(wide.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    if (error) *error = folder + ": " + ErrorText(GetLastError());
    return false;
  }
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    if (error) *error = folder + ": not a folder";
    return false;
  }
  return true;
}

}  // namespace

SettingsLocation Win32SettingsHome::Locate(const std::string& programDirectory,
                                           std::string* folderError) {
  SettingsPlaces places;
  places.programFile = programDirectory + "\\Navelo.INI";
  places.programFolderWritable = FolderWritable(Wide(programDirectory));
  places.programFileReadable = FileReadable(Wide(places.programFile));
  const std::string appData = Environment(L"APPDATA");
  const std::string userFolder = appData.empty() ? std::string() : appData + "\\Navelo";
  if (!userFolder.empty()) {
    places.userFile = userFolder + "\\Navelo.INI";
    places.userFileExists =
        GetFileAttributesW(Wide(places.userFile).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  if (!places.programFolderWritable) {
    places.virtualStoreFile = VirtualStoreFile(Environment(L"LOCALAPPDATA"), places.programFile);
    places.virtualStoreFileReadable =
        !places.virtualStoreFile.empty() && FileReadable(Wide(places.virtualStoreFile));
  }
  const SettingsLocation location = ChooseSettingsLocation(places);
  if (location.savePath == places.userFile) MakeFolder(userFolder, folderError);
  return location;
}

std::unique_ptr<platform::InstanceLock> Win32SettingsHome::Lock(const std::string& settingsPath) {
  return std::make_unique<InstanceLock>(settingsPath);
}

std::vector<std::string> Win32SettingsHome::RemoveStrayTemporaries(
    const std::string& settingsPath) {
  return win32::RemoveStrayTemporaries(settingsPath);
}

}  // namespace navelo::platform::win32
