// The number parser on arbitrary text: never fails, and rounding stays within the field's range.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  if (auto number = navelo::ParseLeadingNumber(text)) {
    if (auto rounded = navelo::RoundHalfEven(*number, -32768, 32767)) {
      if (*rounded < -32768 || *rounded > 32767) std::abort();
    }
  }
  const std::int64_t value = navelo::ReadStoredInteger(text, INT32_MIN, INT32_MAX, 300);
  if (value < INT32_MIN || value > INT32_MAX) std::abort();
  navelo::ParseWholeNumber(text, INT32_MIN, INT32_MAX);
  return 0;
}
