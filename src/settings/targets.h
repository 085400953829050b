#pragma once

#include <array>
#include <string>

#include "platform/system.h"

namespace navelo {

// The browser addresses the panel's browser menu opens: empty at every start, entries 0 to 2 set
// by the settings dialog, never stored.
using BrowserAddresses = std::array<std::u16string, 4>;

// The windows the send buttons type into. The inquiry and vote slots' titles are the settings
// record's ShoukaiTitle and TouhyouTitle themselves; their handles, and the last-active slot, live
// here. Created once with the settings record; only the tracker's tick writes a handle.
struct TargetSlots {
  platform::WindowHandle inquiryHandle = 0;
  platform::WindowHandle voteHandle = 0;
  std::u16string lastActiveTitle;
  platform::WindowHandle lastActiveHandle = 0;
};

}  // namespace navelo
