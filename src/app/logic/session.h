#pragma once

#include <optional>
#include <string>

#include "platform/desktop.h"

namespace navelo {

// What the user is told once at start about a desktop that limits Navelo; nothing when it does
// not.
std::optional<std::u16string> NoticeText(platform::DesktopNotice notice);

}  // namespace navelo
