#pragma once

// The code page 932 converter of the platform the tests run on.
#ifdef _WIN32
#include "platform/win32/codec_cp932.h"
namespace navelo::platform::testing {
using NativeCodec = win32::Cp932Codec;
}
#else
#include "platform/posix/codec_cp932.h"
namespace navelo::platform::testing {
using NativeCodec = posix::Cp932Codec;
}
#endif
