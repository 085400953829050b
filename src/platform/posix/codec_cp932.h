#pragma once

#include "platform/table_codec.h"

namespace navelo::platform::posix {

// Code page 932 through glibc's "CP932" converter (not "SHIFT_JIS", which maps 0x5C and 0x8160
// differently). The tables are built once at construction.
class Cp932Codec final : public TableCodec {
 public:
  Cp932Codec();
};

}  // namespace navelo::platform::posix
