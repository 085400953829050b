#include "platform/posix/codec_cp932.h"

#include <iconv.h>

#include <stdexcept>

namespace navelo::platform::posix {
namespace {

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

Cp932Codec::Cp932Codec() {
  Converter toAnsi("CP932", "UTF-16LE");
  Converter fromAnsi("UTF-16LE", "CP932");
  Build(
      [&](char16_t unit, char out[2]) {
        const char in[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
        char buffer[8];
        std::size_t length = sizeof buffer;
        if (!toAnsi.Run(in, 2, buffer, length) || length == 0 || length > 2) return 0;
        for (std::size_t i = 0; i < length; ++i) out[i] = buffer[i];
        return static_cast<int>(length);
      },
      [&](const char* in, int count) -> char16_t {
        char out[8];
        std::size_t length = sizeof out;
        if (!fromAnsi.Run(in, static_cast<std::size_t>(count), out, length) || length != 2) {
          return kNone;
        }
        return static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                     (static_cast<unsigned char>(out[1]) << 8));
      },
      IsCp932Lead);
}

}  // namespace navelo::platform::posix
