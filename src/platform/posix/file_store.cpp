#include "platform/posix/file_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace navelo::platform::posix {
namespace {

std::string Reason(int err) {
  return std::strerror(err);
}

std::string NameOf(const std::string& path) {
  auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Why a file of this kind is not read or replaced; empty for a regular file.
std::string NotRegular(mode_t mode) {
  if (S_ISREG(mode)) return {};
  const char* kind = S_ISFIFO(mode)   ? "a FIFO"
                     : S_ISCHR(mode)  ? "a character device"
                     : S_ISBLK(mode)  ? "a block device"
                     : S_ISDIR(mode)  ? "a folder"
                     : S_ISSOCK(mode) ? "a socket"
                                      : "not a file";
  return std::string("it is not a regular file but ") + kind;
}

std::string TooLarge() {
  return "it is larger than " + std::to_string(kMaxSettingsFileBytes >> 20) + " MiB";
}

}  // namespace

std::string DirectoryOf(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string ResolveLinks(const std::string& path) {
  std::string current = path;
  // As many links as the kernel follows itself before giving up.
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    std::vector<char> target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4095) + 1);
    ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) return current;
    std::string next(target.data(), static_cast<std::size_t>(n));
    current = next.front() == '/' ? next : DirectoryOf(current) + "/" + next;
  }
  return current;
}

bool PosixFileStore::Exists(const std::string& path) const {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

FileRead PosixFileStore::Read(const std::string& path) const {
  FileRead result;
  auto fail = [&](std::string reason) {
    result.status = FileRead::Status::kError;
    result.error = std::move(reason);
    result.bytes.clear();
    return result;
  };
  // Looked at before opening: opening a FIFO or a device may wait or have effects of its own.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return result;  // kMissing
    return fail(Reason(errno));
  }
  if (auto why = NotRegular(st.st_mode); !why.empty()) return fail(why);
  if (static_cast<std::uint64_t>(st.st_size) > kMaxSettingsFileBytes) return fail(TooLarge());
  // Non-blocking, in case the path was swapped for a FIFO since.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    if (errno == ENOENT) return result;
    return fail(Reason(errno));
  }
  if (::fstat(fd, &st) != 0) {
    const int err = errno;
    ::close(fd);
    return fail(Reason(err));
  }
  if (auto why = NotRegular(st.st_mode); !why.empty()) {
    ::close(fd);
    return fail(why);
  }
  char buffer[8192];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int err = errno;
      ::close(fd);
      return fail(Reason(err));
    }
    if (n == 0) break;
    result.bytes.append(buffer, static_cast<std::size_t>(n));
    if (result.bytes.size() > kMaxSettingsFileBytes) {  // it grew while being read
      ::close(fd);
      return fail(TooLarge());
    }
  }
  ::close(fd);
  result.status = FileRead::Status::kOk;
  return result;
}

std::optional<std::string> PosixFileStore::Replace(const std::string& path,
                                                   const std::string& bytes) {
  // A link keeps pointing where it did; the file it names is replaced, in that file's folder so
  // the rename stays one step.
  const std::string target = ResolveLinks(path);
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) {
    if (auto why = NotRegular(st.st_mode); !why.empty()) return why + "; it was left untouched";
    // A file its user may not write (its mode, its owner) is kept as it is, although the folder
    // would let a new one take its place. No write permission at all marks it read-only even for
    // root, who could write through it.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(target.c_str(), W_OK) != 0) {
      return "it is read-only; it was left untouched";
    }
  }
  std::string pattern = target + std::string(kSaveTemporaryMarker) + "XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) return Reason(errno);
  const std::string temp(name.data());
  auto fail = [&](int err) -> std::optional<std::string> {
    ::close(fd);
    ::unlink(temp.c_str());
    return Reason(err);
  };
  if (::fchmod(fd, S_IRUSR | S_IWUSR) != 0) return fail(errno);
  std::size_t written = 0;
  while (written < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(errno);
    written += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) return fail(errno);
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    return Reason(err);
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    return Reason(err);
  }
  // Make the rename itself durable.
  int dir = ::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return std::nullopt;
}

std::vector<std::string> RemoveStrayTemporaries(const std::string& path) {
  std::vector<std::string> removed;
  const std::string target = ResolveLinks(path);
  const std::string folder = DirectoryOf(target);
  const std::string settingsName = NameOf(target);
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return removed;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (!IsSaveTemporary(name, settingsName)) continue;
    const std::string full = folder + "/" + name;
    struct stat st {};
    if (::lstat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
      continue;
    }
    if (::unlink(full.c_str()) == 0) removed.push_back(full);
  }
  ::closedir(dir);
  return removed;
}

}  // namespace navelo::platform::posix
