#pragma once

#include <string>
#include <string_view>

namespace navelo::platform {

// Conversion between wide text and the ANSI code page the settings file and the cipher work in
// (code page 932). A character the code page cannot represent becomes "?" (one per UTF-16 unit);
// bytes that form no character decode to U+FFFD, one per byte, and never swallow the byte after.
class AnsiCodec {
 public:
  virtual ~AnsiCodec() = default;
  virtual std::string ToAnsi(std::u16string_view text) const = 0;
  virtual std::u16string FromAnsi(std::string_view bytes) const = 0;
};

}  // namespace navelo::platform
