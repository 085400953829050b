#pragma once

#include <string>

#include "platform/system.h"
#include "settings/settings.h"
#include "settings/targets.h"

namespace navelo {

using platform::WindowHandle;

// The foreground window as one tick reads it: handle 0 and an empty title when there is none.
struct ForegroundWindow {
  WindowHandle handle = 0;
  std::u16string title;
};

// What the panel must do after a tick.
enum class PanelResize { kNone, kExpand, kShrink };

// One tick of the tracker: recognises the IPAT pages by their titles, keeps the three slots and
// says whether the panel shrinks (a foreign window is in front) or returns to full height (the
// panel's own caption is in front). `expanded` is the panel's state before the tick.
PanelResize TrackerTick(const ForegroundWindow& current, std::u16string_view panelCaption,
                        bool expanded, SettingsRecord& record, TargetSlots& slots);

// A window title as the tracker reads it: its code-page form cut to at most 69 bytes, never in the
// middle of a double-byte character, and converted back; control characters read as spaces, as
// stored titles keep them.
std::u16string CutTitle(std::u16string_view title, const platform::AnsiCodec& codec);

}  // namespace navelo
