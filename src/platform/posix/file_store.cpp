#include "platform/posix/file_store.h"

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

std::string DirectoryOf(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

FileRead PosixFileStore::Read(const std::string& path) const {
  FileRead result;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    result.status = errno == ENOENT ? FileRead::Status::kMissing : FileRead::Status::kError;
    if (result.status == FileRead::Status::kError) result.error = Reason(errno);
    return result;
  }
  char buffer[8192];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      result.status = FileRead::Status::kError;
      result.error = Reason(errno);
      result.bytes.clear();
      ::close(fd);
      return result;
    }
    if (n == 0) break;
    result.bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  result.status = FileRead::Status::kOk;
  return result;
}

std::optional<std::string> PosixFileStore::Replace(const std::string& path,
                                                   const std::string& bytes) {
  std::string pattern = path + ".XXXXXX";
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
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    return Reason(err);
  }
  // Make the rename itself durable.
  int dir = ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return std::nullopt;
}

}  // namespace navelo::platform::posix
