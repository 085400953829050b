#pragma once

#include <array>
#include <vector>

#include "platform/codec.h"

namespace navelo::platform::posix {

// Code page 932 through glibc's "CP932" converter (not "SHIFT_JIS", which maps 0x5C and 0x8160
// differently). The tables are built once at construction.
class Cp932Codec final : public AnsiCodec {
 public:
  Cp932Codec();
  std::string ToAnsi(std::u16string_view text) const override;
  std::u16string FromAnsi(std::string_view bytes) const override;

 private:
  // Encoding of each UTF-16 unit: 0 means not representable; otherwise the byte count (1 or 2)
  // in the top byte and the bytes below it.
  std::vector<std::uint32_t> encode_;
  // Single bytes and double-byte pairs (lead * 256 + trail); 0xFFFF marks no character.
  std::array<char16_t, 256> single_{};
  std::vector<char16_t> pairs_;
};

}  // namespace navelo::platform::posix
