#pragma once

#include "platform/table_codec.h"

namespace navelo::platform::win32 {

// Code page 932 through the platform's own conversion (WideCharToMultiByte and
// MultiByteToWideChar with no best-fit mapping). The tables are built once at construction.
class Cp932Codec final : public TableCodec {
 public:
  Cp932Codec();
};

}  // namespace navelo::platform::win32
