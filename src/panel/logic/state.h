#pragma once

#include <array>
#include <string>

namespace navelo {

// The browser addresses the panel's browser menu opens: empty at every start, entries 0 to 2 set
// by the settings dialog, never stored.
using BrowserAddresses = std::array<std::u16string, 4>;

}  // namespace navelo
