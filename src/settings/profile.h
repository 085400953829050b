#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace navelo {

// An INI-style settings file held as its lines of bytes, read and written by the rules stored
// files were made with:
// - section and key names match ignoring ASCII case; blanks (space, tab) around names, around "="
//   and around the value are trimmed; a line splits at its first "=";
// - a trimmed value at least 2 long that starts and ends with the same quote (" or ') loses that
//   one pair; "Key=" gives an empty value; a line without "=" is no key;
// - the first of duplicate keys wins and only the first of duplicate sections is searched;
// - a line whose first non-blank character is ";" is a comment; CR, LF and CRLF all end a line.
// Writing keeps every other line and its order, keeps the spelling of a key it overwrites and puts
// a new key after the last key of its section.
class ProfileDocument {
 public:
  ProfileDocument() = default;
  static ProfileDocument Parse(std::string_view bytes);

  // True when the file's texts are Unicode, not the ANSI code page: it starts with a UTF-8 byte
  // order mark, or with the UTF-16 little-endian one (FF FE). A UTF-16 file is held as UTF-8 and
  // written back as UTF-16 with its byte order mark.
  bool utf8() const { return utf8_; }
  bool utf16() const { return utf16_; }

  // Why the bytes cannot be read back faithfully (UTF-16 that does not decode, big-endian UTF-16,
  // NUL bytes in a code-page file, a Unicode file with a part in another encoding); empty when
  // they can. Such a document is empty and must never be written over the file it came from.
  const std::string& unreadable() const { return unreadable_; }

  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  void Set(std::string_view section, std::string_view key, std::string_view value);
  std::string Serialize() const;

  // The exact line a value is written as, so that reading it back gives the same value: CR, LF
  // and NUL become spaces (a value never adds lines), and a value the reading rules would change
  // is put inside one pair of double quotes.
  static std::string EncodeValue(std::string_view value);

 private:
  struct Located {
    std::size_t sectionLine;  // index of the section header
    std::size_t end;          // one past the section's last line
  };
  std::optional<Located> FindSection(std::string_view section) const;

  static ProfileDocument ParseLines(std::string_view bytes);

  std::vector<std::string> lines_;
  bool utf8_ = false;
  bool utf16_ = false;
  std::string unreadable_;
};

}  // namespace navelo
