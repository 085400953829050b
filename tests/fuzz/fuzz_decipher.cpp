// Deciphering arbitrary text under arbitrary keys never fails, and enciphering the result of a
// well-formed cipher text gives it back.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/testing/native_codec.h"
#include "settings/cipher.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const navelo::platform::testing::NativeCodec codec;
  if (size < 1) return 0;
  const std::size_t keyUnits = data[0] % 80;
  std::u16string units;
  for (std::size_t i = 1; i + 1 < size; i += 2) {
    units.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  const std::u16string key = units.substr(0, keyUnits);
  const std::u16string cipher = units.size() > keyUnits ? units.substr(keyUnits) : u"";
  navelo::DecipherText(cipher, key, codec);

  // Plain text made of printable ASCII round-trips exactly.
  std::u16string plain;
  for (char16_t c : cipher) plain.push_back(static_cast<char16_t>(0x20 + c % 0x5F));
  const std::u16string enciphered = navelo::EncipherText(plain, key, codec);
  if (navelo::DecipherText(enciphered, key, codec) != plain) std::abort();
  return 0;
}
