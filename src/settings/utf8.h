#pragma once

#include <string>
#include <string_view>

namespace navelo {

// UTF-8 forms of wide text. Bytes that form no character decode to U+FFFD, one per byte; a lone
// surrogate encodes as U+FFFD.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view bytes);

}  // namespace navelo
