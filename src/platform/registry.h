#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace navelo::platform {

// The registry calls the about box uses, in wide characters: key paths, value names and string
// values are UTF-16 (string data as UTF-16LE bytes), so a path the ANSI code page cannot hold
// comes back whole. Status codes are the platform's: 0 is success.
class Registry {
 public:
  using Key = std::uintptr_t;
  static constexpr Key kLocalMachine = 0x80000002;
  static constexpr std::uint32_t kRegSz = 1;
  static constexpr std::uint32_t kRegExpandSz = 2;
  static constexpr std::uint32_t kRegDword = 4;

  virtual ~Registry() = default;
  // Opens `path` under `root` with the given access mask.
  virtual long Open(Key root, const std::u16string& path, std::uint32_t access, Key& opened) = 0;
  // Reads a value into `data` (at most `size` bytes); `size` becomes the value's byte count.
  virtual long Query(Key key, const std::u16string& name, std::uint32_t& type,
                     std::vector<unsigned char>& data, std::uint32_t& size) = 0;
  virtual long Close(Key key) = 0;
};

// Starting other programs without waiting for them, and looking up files.
class ProgramLauncher {
 public:
  virtual ~ProgramLauncher() = default;
  // Starts the program at `path` (UTF-8) with no arguments, with a normal window that takes the
  // focus.
  virtual bool Start(const std::string& path) = 0;
  // Whether a file (not a folder) exists at `path` (UTF-8).
  virtual bool FileExists(const std::string& path) const = 0;
};

}  // namespace navelo::platform
