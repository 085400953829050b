#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codec.h"

namespace navelo {

// The key text that stands for "no start-up password is set".
inline constexpr std::u16string_view kNoPassword = u"ZelvOR";

// The byte cipher of the stored identifiers. Each byte is combined with a key stream derived from
// the key text; the stream depends only on the key and the byte count, so enciphering and
// deciphering are the same step.
class KeyStream {
 public:
  explicit KeyStream(std::u16string_view key);
  // Combines one byte with the stream, advances the stream and returns the new value.
  std::uint8_t EncryptByte(std::uint8_t& byte);
  std::size_t index() const { return index_; }

 private:
  std::vector<std::uint8_t> key_;
  std::size_t index_ = 0;
};

// Plain text to upper-case hexadecimal cipher text under a key (empty text gives "").
std::u16string EncipherText(std::u16string_view text, std::u16string_view key,
                            const platform::AnsiCodec& codec);
// Cipher text back to plain text. Text that was not written by EncipherText is read by the same
// lenient rules stored files were written against: lower-case digits count as 0 and an odd
// length is handled as described at HexPairToByte's caller.
std::u16string DecipherText(std::u16string_view cipher, std::u16string_view key,
                            const platform::AnsiCodec& codec);

// The bytes of a cipher text before they are converted back to text.
std::string DecipherBytes(std::u16string_view cipher, std::u16string_view key);

// "A" to "F" give 10 to 15; "0" to "9" their value; anything else 0.
int HexDigitValue(char16_t digit);
// First digit times 16 plus last digit; for one character both are that character.
std::uint8_t HexPairToByte(std::u16string_view pair);

}  // namespace navelo
