#include "platform/table_codec.h"

namespace navelo::platform {

void TableCodec::Build(const Encode& encode, const Decode& decode,
                       const std::function<bool(int)>& isLead) {
  encode_.assign(0x10000, 0);
  pairs_.assign(0x10000, kNone);
  for (std::uint32_t unit = 0; unit < 0x10000; ++unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;
    char out[2] = {};
    const int count = encode(static_cast<char16_t>(unit), out);
    if (count < 1 || count > 2) continue;
    std::uint32_t code = static_cast<std::uint32_t>(count) << 24;
    for (int i = 0; i < count; ++i) {
      code |= static_cast<std::uint32_t>(static_cast<unsigned char>(out[i]))
              << (8 * (count - 1 - i));
    }
    encode_[unit] = code;
  }
  for (int b = 0; b < 256; ++b) {
    const char in[1] = {static_cast<char>(b)};
    single_[static_cast<std::size_t>(b)] = decode(in, 1);
  }
  for (int lead = 0; lead < 256; ++lead) {
    if (!isLead(lead)) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      pairs_[static_cast<std::size_t>(lead * 256 + trail)] = decode(in, 2);
    }
  }
}

std::string TableCodec::ToAnsi(std::u16string_view text) const {
  std::string out;
  out.reserve(text.size() * 2);
  for (char16_t unit : text) {
    const std::uint32_t code = encode_[unit];
    if (code == 0) {
      out.push_back('?');
    } else if ((code >> 24) == 1) {
      out.push_back(static_cast<char>(code & 0xFF));
    } else {
      out.push_back(static_cast<char>((code >> 8) & 0xFF));
      out.push_back(static_cast<char>(code & 0xFF));
    }
  }
  return out;
}

std::u16string TableCodec::FromAnsi(std::string_view bytes) const {
  std::u16string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (i + 1 < bytes.size()) {
      const auto t = static_cast<unsigned char>(bytes[i + 1]);
      const char16_t pair = pairs_[static_cast<std::size_t>(b * 256 + t)];
      if (pair != kNone) {
        out.push_back(pair);
        ++i;
        continue;
      }
    }
    const char16_t single = single_[b];
    out.push_back(single == kNone ? u'\uFFFD' : single);
  }
  return out;
}

}  // namespace navelo::platform
