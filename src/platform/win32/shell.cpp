#include "platform/win32/shell.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <algorithm>

#include "platform/win32/text.h"

namespace navelo::platform::win32 {

void Win32MessageBox::Show(const std::u16string& text, const std::u16string& title) {
  MessageBoxW(GetActiveWindow(), Wide(text).c_str(), Wide(title).c_str(), MB_OK);
}

bool Win32Shell::Open(const std::u16string& target) {
  if (target.empty()) return false;
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", Wide(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

long Win32Registry::Open(Key root, const std::u16string& path, std::uint32_t access, Key& opened) {
  HKEY key = nullptr;
  const LONG rc = RegOpenKeyExW(reinterpret_cast<HKEY>(root), Wide(path).c_str(), 0, access, &key);
  opened = reinterpret_cast<Key>(key);
  return rc;
}

long Win32Registry::Query(Key key, const std::u16string& name, std::uint32_t& type,
                          std::vector<unsigned char>& data, std::uint32_t& size) {
  DWORD t = 0;
  DWORD n = static_cast<DWORD>(std::min<std::size_t>(size, data.size()));
  const LONG rc = RegQueryValueExW(reinterpret_cast<HKEY>(key), Wide(name).c_str(), nullptr, &t,
                                   data.data(), &n);
  type = t;
  size = n;
  return rc;
}

long Win32Registry::Close(Key key) {
  if (key == 0) return ERROR_SUCCESS;
  return RegCloseKey(reinterpret_cast<HKEY>(key));
}

bool Win32Launcher::Start(const std::string& path) {
  std::wstring command = L"\"" + Wide(path) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(Wide(path).c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool Win32Launcher::FileExists(const std::string& path) const {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace navelo::platform::win32
