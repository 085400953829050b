#pragma once

#include <string>
#include <string_view>

// Small rules about characters and bytes that the settings, the panel, the forms and the platform
// services share.
namespace navelo {

// Upper-case hexadecimal digits, as the settings file writes bytes and numbers.
inline constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

// A space or a tab: what the settings file and the number reader skip around values.
constexpr bool IsBlank(char32_t c) {
  return c == U' ' || c == U'\t';
}

// Lead bytes of code page 932: the first byte of a double-byte character.
constexpr bool IsCp932Lead(int b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Control characters (C0: CR, LF, Tab, ..., and DEL): never part of an identifier, since typed
// into a page they would submit it, move to another field or delete what it holds.
constexpr bool IsControlCharacter(char16_t c) {
  return c < 0x20 || c == 0x7F;
}

// The text without its control characters.
inline std::u16string WithoutControlCharacters(std::u16string_view text) {
  std::u16string kept;
  kept.reserve(text.size());
  for (char16_t c : text) {
    if (!IsControlCharacter(c)) kept.push_back(c);
  }
  return kept;
}

// The text with a space for each control character: how window titles are compared and kept, so
// that a title saved in the settings file (which writes CR, LF and NUL in a value as spaces)
// reads back as the title it was.
inline std::u16string ControlCharactersAsSpaces(std::u16string_view text) {
  std::u16string kept(text);
  for (char16_t& c : kept) {
    if (IsControlCharacter(c)) c = u' ';
  }
  return kept;
}

}  // namespace navelo
