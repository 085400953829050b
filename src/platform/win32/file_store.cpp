#include "platform/win32/file_store.h"

#include <windows.h>
// After windows.h, which they build on.
#include <sddl.h>

#include <random>
#include <vector>

#include "platform/win32/text.h"

namespace navelo::platform::win32 {
namespace {

constexpr LONGLONG kMaxBytes = 64LL * 1024 * 1024;

struct Handle {
  HANDLE h = INVALID_HANDLE_VALUE;
  ~Handle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

// Security for a new settings file: the user who runs Navelo may read and write it, nobody else
// (the folder beside the program may be shared). Empty when the user cannot be found; the file
// then takes its folder's defaults.
class OwnerOnly {
 public:
  OwnerOnly() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::string buffer(size, '\0');
    wchar_t* sid = nullptr;
    if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
        ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid)) {
      // A protected list with one entry: full access for this user.
      const std::wstring sddl = L"D:P(A;;FA;;;" + std::wstring(sid) + L")";
      LocalFree(sid);
      if (ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                               &descriptor_, nullptr)) {
        attributes_.nLength = sizeof attributes_;
        attributes_.lpSecurityDescriptor = descriptor_;
        attributes_.bInheritHandle = FALSE;
      }
    }
    CloseHandle(token);
  }
  ~OwnerOnly() {
    if (descriptor_) LocalFree(descriptor_);
  }
  OwnerOnly(const OwnerOnly&) = delete;
  OwnerOnly& operator=(const OwnerOnly&) = delete;
  SECURITY_ATTRIBUTES* get() { return descriptor_ ? &attributes_ : nullptr; }

 private:
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
  SECURITY_ATTRIBUTES attributes_{};
};

// Why the file at `target` must be left as it is, or nothing when it may be replaced (it is
// missing, or a regular file this user may write). Its kind is looked at before it is opened for
// writing: opening a pipe or a device for writing may wait or have effects of its own.
std::optional<std::string> Untouchable(const std::wstring& target) {
  Handle file;
  file.h = CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file.h == INVALID_HANDLE_VALUE) return std::nullopt;  // nothing there; the move will say
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(file.h) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.h, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return "it is not a regular file";
  }
  if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return "it is read-only";
  // A file its user may not write (its access list) is kept too, although the folder would let a
  // new file take its place.
  Handle writable;
  writable.h = CreateFileW(target.c_str(), FILE_WRITE_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (writable.h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
    return "it is read-only";
  }
  return std::nullopt;
}

}  // namespace

std::string FinalPath(const std::string& path) {
  Handle file;
  file.h =
      CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file.h == INVALID_HANDLE_VALUE) return path;
  std::wstring name(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD n = GetFinalPathNameByHandleW(file.h, name.data(), static_cast<DWORD>(name.size()),
                                              FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0) return path;
    if (n < name.size()) {
      name.resize(n);
      // "\\?\C:\..." and "\\?\UNC\server\share\..." back to their ordinary forms.
      if (name.rfind(L"\\\\?\\UNC\\", 0) == 0) return Utf8(L"\\\\" + name.substr(8));
      if (name.rfind(L"\\\\?\\", 0) == 0) return Utf8(name.substr(4));
      return Utf8(name);
    }
    name.assign(n, L'\0');  // too small: n is the size needed
  }
  return path;
}

std::string ErrorText(unsigned long code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
    text.pop_back();
  }
  return (text.empty() ? std::string("error") : Utf8(text)) + " (" + std::to_string(code) + ")";
}

bool Win32FileStore::Exists(const std::string& path) const {
  return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

FileRead Win32FileStore::Read(const std::string& path) const {
  FileRead result;
  Handle file;
  file.h = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file.h == INVALID_HANDLE_VALUE) {
    const DWORD err = GetLastError();
    if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) return result;
    result.status = FileRead::Status::kError;
    result.error = ErrorText(err);
    return result;
  }
  LARGE_INTEGER size{};
  if (GetFileType(file.h) != FILE_TYPE_DISK || !GetFileSizeEx(file.h, &size)) {
    result.status = FileRead::Status::kError;
    result.error = "not a regular file";
    return result;
  }
  if (size.QuadPart > kMaxBytes) {
    result.status = FileRead::Status::kError;
    result.error = "larger than 64 MiB";
    return result;
  }
  result.bytes.resize(static_cast<std::size_t>(size.QuadPart));
  std::size_t done = 0;
  while (done < result.bytes.size()) {
    DWORD n = 0;
    if (!ReadFile(file.h, result.bytes.data() + done,
                  static_cast<DWORD>(result.bytes.size() - done), &n, nullptr)) {
      result.status = FileRead::Status::kError;
      result.error = ErrorText(GetLastError());
      result.bytes.clear();
      return result;
    }
    if (n == 0) break;
    done += n;
  }
  result.bytes.resize(done);
  result.status = FileRead::Status::kOk;
  return result;
}

std::optional<std::string> Win32FileStore::Replace(const std::string& path,
                                                   const std::string& bytes) {
  // A link keeps pointing where it did: the file it names is replaced, in that file's folder so
  // the move stays one step.
  const std::string target = FinalPath(path);
  if (auto why = Untouchable(Wide(target))) return *why + "; it was left untouched";
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device seed;
  std::mt19937 random(seed());
  std::wstring temp;
  Handle file;
  OwnerOnly security;
  for (int attempt = 0; attempt < 100 && file.h == INVALID_HANDLE_VALUE; ++attempt) {
    std::string name = target + std::string(kSaveTemporaryMarker);
    for (std::size_t i = 0; i < kSaveTemporaryLetters; ++i) {
      name.push_back(kLetters[random() % (sizeof kLetters - 1)]);
    }
    temp = Wide(name);
    file.h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, security.get(), CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file.h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (file.h == INVALID_HANDLE_VALUE) return ErrorText(GetLastError());
  auto fail = [&](DWORD err) -> std::optional<std::string> {
    CloseHandle(file.h);
    file.h = INVALID_HANDLE_VALUE;
    DeleteFileW(temp.c_str());
    return ErrorText(err);
  };
  std::size_t written = 0;
  while (written < bytes.size()) {
    DWORD n = 0;
    if (!WriteFile(file.h, bytes.data() + written, static_cast<DWORD>(bytes.size() - written), &n,
                   nullptr)) {
      return fail(GetLastError());
    }
    written += n;
  }
  if (!FlushFileBuffers(file.h)) return fail(GetLastError());
  CloseHandle(file.h);
  file.h = INVALID_HANDLE_VALUE;
  if (!MoveFileExW(temp.c_str(), Wide(target).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD err = GetLastError();
    DeleteFileW(temp.c_str());
    return ErrorText(err);
  }
  return std::nullopt;
}

std::vector<std::string> RemoveStrayTemporaries(const std::string& settingsPath) {
  std::vector<std::string> removed;
  const std::string path = FinalPath(settingsPath);
  const std::size_t slash = path.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string settingsName = slash == std::string::npos ? path : path.substr(slash + 1);
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(
      Wide(folder + settingsName + std::string(kSaveTemporaryMarker) + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return removed;
  do {
    const std::string name = Utf8(found.cFileName);
    // Plain files only: never a folder, nor a link or junction someone put there.
    if (!IsSaveTemporary(name, settingsName) ||
        (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
      continue;
    }
    if (DeleteFileW(Wide(folder + name).c_str())) removed.push_back(folder + name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return removed;
}

}  // namespace navelo::platform::win32
