#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "base/text.h"
#include "platform/codec.h"

namespace navelo::platform {

// A double-byte code page held as tables, built once from the platform's own converter, so every
// platform converts by the same rules: a character the code page lacks becomes "?" (one per
// UTF-16 unit); a byte that starts no character decodes to U+FFFD and never swallows the next.
class TableCodec : public AnsiCodec {
 public:
  std::string ToAnsi(std::u16string_view text) const override;
  std::u16string FromAnsi(std::string_view bytes) const override;

 protected:
  static constexpr char16_t kNone = 0xFFFF;
  // `encode` writes the code page bytes of one UTF-16 unit and returns their count (0 when the
  // code page lacks it); `decode` gives the one unit a byte or a byte pair stands for, or kNone.
  using Encode = std::function<int(char16_t unit, char out[2])>;
  using Decode = std::function<char16_t(const char* bytes, int count)>;
  // `isLead` tells the lead bytes of double-byte characters.
  void Build(const Encode& encode, const Decode& decode, const std::function<bool(int)>& isLead);

 private:
  // Encoding of each UTF-16 unit: 0 means not representable; otherwise the byte count (1 or 2)
  // in the top byte and the bytes below it.
  std::vector<std::uint32_t> encode_;
  std::array<char16_t, 256> single_{};
  // Double-byte pairs (lead * 256 + trail); kNone marks no character.
  std::vector<char16_t> pairs_;
};

}  // namespace navelo::platform
