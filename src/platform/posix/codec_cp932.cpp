#include "platform/posix/codec_cp932.h"

#include <iconv.h>

#include <stdexcept>

namespace navelo::platform::posix {
namespace {

constexpr char16_t kNone = 0xFFFF;

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv CP932 unavailable");
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts a whole input; false when any part of it fails.
  bool Run(const char* in, std::size_t inLen, char* out, std::size_t& outLen) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in);
    char* dst = out;
    std::size_t left = outLen;
    std::size_t rc = iconv(cd_, &src, &inLen, &dst, &left);
    if (rc == static_cast<std::size_t>(-1) || inLen != 0) return false;
    // Flush any pending shift state.
    if (iconv(cd_, nullptr, nullptr, &dst, &left) == static_cast<std::size_t>(-1)) return false;
    outLen = outLen - left;
    return true;
  }

 private:
  iconv_t cd_;
};

}  // namespace

Cp932Codec::Cp932Codec() : encode_(0x10000, 0), pairs_(0x10000, kNone) {
  Converter toAnsi("CP932", "UTF-16LE");
  for (std::uint32_t unit = 0; unit < 0x10000; ++unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;
    char in[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    char out[8];
    std::size_t outLen = sizeof out;
    if (!toAnsi.Run(in, 2, out, outLen) || outLen == 0 || outLen > 2) continue;
    std::uint32_t code = static_cast<std::uint32_t>(outLen) << 24;
    for (std::size_t i = 0; i < outLen; ++i) {
      code |= static_cast<std::uint32_t>(static_cast<unsigned char>(out[i]))
              << (8 * (outLen - 1 - i));
    }
    encode_[unit] = code;
  }
  Converter fromAnsi("UTF-16LE", "CP932");
  auto decode = [&](const char* in, std::size_t len) -> char16_t {
    char out[8];
    std::size_t outLen = sizeof out;
    if (!fromAnsi.Run(in, len, out, outLen) || outLen != 2) return kNone;
    return static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                 (static_cast<unsigned char>(out[1]) << 8));
  };
  for (int b = 0; b < 256; ++b) {
    char in[1] = {static_cast<char>(b)};
    single_[static_cast<std::size_t>(b)] = decode(in, 1);
  }
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead > 0x9F && lead < 0xE0) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      pairs_[static_cast<std::size_t>(lead * 256 + trail)] = decode(in, 2);
    }
  }
}

std::string Cp932Codec::ToAnsi(std::u16string_view text) const {
  std::string out;
  out.reserve(text.size() * 2);
  for (char16_t unit : text) {
    std::uint32_t code = encode_[unit];
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

std::u16string Cp932Codec::FromAnsi(std::string_view bytes) const {
  std::u16string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    auto b = static_cast<unsigned char>(bytes[i]);
    if (i + 1 < bytes.size()) {
      auto t = static_cast<unsigned char>(bytes[i + 1]);
      char16_t pair = pairs_[static_cast<std::size_t>(b * 256 + t)];
      if (pair != kNone) {
        out.push_back(pair);
        ++i;
        continue;
      }
    }
    char16_t single = single_[b];
    out.push_back(single == kNone ? u'\uFFFD' : single);
  }
  return out;
}

}  // namespace navelo::platform::posix
