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

  // True when the file starts with a UTF-8 byte order mark: its texts are UTF-8, not the ANSI
  // code page.
  bool utf8() const { return utf8_; }

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

  std::vector<std::string> lines_;
  bool utf8_ = false;
};

}  // namespace navelo
