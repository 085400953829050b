#include "settings/cipher.h"

#include "base/text.h"
#include "settings/numbers.h"

namespace navelo {

KeyStream::KeyStream(std::u16string_view key) {
  // An empty key never reaches here from the program; treat it as "no password" so the stream is
  // always defined.
  if (key.empty()) key = kNoPassword;
  key_.reserve(key.size() * 2);
  for (char16_t unit : key) {
    key_.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    key_.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
}

std::uint8_t KeyStream::EncryptByte(std::uint8_t& byte) {
  const std::size_t last = key_.size() - 1;
  const std::uint8_t k = key_[index_];
  // The product is taken in wide arithmetic, so no key length makes it overflow; for keys of up
  // to 64 characters it equals the 16-bit product stored files were written with.
  const std::uint64_t product = static_cast<std::uint64_t>(k) * index_;
  byte = static_cast<std::uint8_t>(byte ^ k);
  byte = static_cast<std::uint8_t>(byte ^ (product & 0xFF));
  if (index_ < last) {
    key_[index_] = static_cast<std::uint8_t>(key_[index_] + key_[index_ + 1]);
    ++index_;
  } else {
    // After the first pass the index cycles through 1..last; position 0 is used only once.
    key_[index_] = static_cast<std::uint8_t>(key_[index_] + key_[1]);
    index_ = 1;
  }
  return byte;
}

std::u16string EncipherText(std::u16string_view text, std::u16string_view key,
                            const platform::AnsiCodec& codec) {
  if (text.empty()) return {};
  KeyStream stream(key);
  std::string bytes = codec.ToAnsi(text);
  std::u16string out;
  out.reserve(bytes.size() * 2);
  for (char c : bytes) {
    auto b = static_cast<std::uint8_t>(c);
    std::uint8_t v = stream.EncryptByte(b);
    out.push_back(kHexDigits[v >> 4]);
    out.push_back(kHexDigits[v & 0xF]);
  }
  return out;
}

std::u16string DecipherText(std::u16string_view cipher, std::u16string_view key,
                            const platform::AnsiCodec& codec) {
  if (cipher.empty()) return {};
  return codec.FromAnsi(DecipherBytes(cipher, key));
}

std::string DecipherBytes(std::u16string_view cipher, std::u16string_view key) {
  if (cipher.empty()) return {};
  KeyStream stream(key);
  const std::size_t n = cipher.size();
  // The last byte position is n/2 - 1 rounded to the nearest integer, ties to even: an odd
  // length 2m+1 yields m+1 bytes when m is even and m bytes when m is odd.
  const double lastPosition = static_cast<double>(n) / 2.0 - 1.0;
  const std::int64_t last =
      RoundHalfEven(lastPosition, -1, static_cast<std::int64_t>(n)).value_or(-1);
  std::string bytes;
  for (std::int64_t j = 0; j <= last; ++j) {
    std::size_t start = static_cast<std::size_t>(j) * 2;
    std::uint8_t b = HexPairToByte(cipher.substr(start, 2));
    bytes.push_back(static_cast<char>(stream.EncryptByte(b)));
  }
  return bytes;
}

int HexDigitValue(char16_t digit) {
  if (digit >= u'A' && digit <= u'F') return digit - u'A' + 10;
  if (digit >= u'0' && digit <= u'9') return digit - u'0';
  return 0;
}

std::uint8_t HexPairToByte(std::u16string_view pair) {
  if (pair.empty()) return 0;
  return static_cast<std::uint8_t>(HexDigitValue(pair.front()) * 16 + HexDigitValue(pair.back()));
}

}  // namespace navelo
