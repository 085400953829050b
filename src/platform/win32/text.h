#pragma once

#include <string>
#include <string_view>

#include "base/utf8.h"

namespace navelo::platform::win32 {

// Paths travel through Navelo as UTF-8; Windows takes them as UTF-16.
inline std::wstring Wide(std::string_view utf8) {
  const std::u16string text = FromUtf8(utf8);
  return std::wstring(text.begin(), text.end());
}
inline std::wstring Wide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}
inline std::u16string FromWide(std::wstring_view text) {
  return std::u16string(text.begin(), text.end());
}
inline std::string Utf8(std::wstring_view text) {
  return ToUtf8(std::u16string(text.begin(), text.end()));
}

// The system's text for an error code, with the code itself.
std::string ErrorText(unsigned long code);

}  // namespace navelo::platform::win32
