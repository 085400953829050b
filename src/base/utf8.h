#pragma once

#include <string>
#include <string_view>

namespace navelo {

// UTF-8 forms of wide text. Bytes that form no character decode to U+FFFD, one per byte; a lone
// surrogate encodes as U+FFFD.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view bytes);
// The characters of wide text, surrogate pairs joined; a lone surrogate reads as U+FFFD.
std::u32string ToCodePoints(std::u16string_view text);
// Characters back to wide text, as surrogate pairs where needed.
std::u16string FromCodePoints(std::u32string_view characters);

}  // namespace navelo
