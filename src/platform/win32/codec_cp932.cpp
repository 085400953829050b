#include "platform/win32/codec_cp932.h"

#include <windows.h>

namespace navelo::platform::win32 {
namespace {

constexpr UINT kCodePage = 932;

}  // namespace

Cp932Codec::Cp932Codec() {
  Build(
      [](char16_t unit, char out[2]) {
        const wchar_t in = static_cast<wchar_t>(unit);
        BOOL usedDefault = FALSE;
        const int n = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, &in, 1, out, 2, nullptr,
                                          &usedDefault);
        return usedDefault ? 0 : n;
      },
      [](const char* in, int count) -> char16_t {
        wchar_t out[2] = {};
        const int n = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, in, count, out, 2);
        return n == 1 ? static_cast<char16_t>(out[0]) : kNone;
      },
      IsCp932Lead);
}

}  // namespace navelo::platform::win32
