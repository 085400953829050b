#include "panel/logic/tracker.h"

#include "base/text.h"

namespace navelo {
namespace {

// A stored title that is a proper beginning of the current title grows to the whole title.
void GrowTitle(std::u16string& stored, const std::u16string& current) {
  if (stored.size() < current.size() && current.compare(0, stored.size(), stored) == 0) {
    stored = current;
  }
}

}  // namespace

PanelResize TrackerTick(const ForegroundWindow& current, std::u16string_view panelCaption,
                        bool expanded, SettingsRecord& record, TargetSlots& slots) {
  if (current.title == panelCaption) {
    // The panel (or the settings dialog, which shares its caption) is in front.
    return expanded ? PanelResize::kNone : PanelResize::kExpand;
  }
  if (current.title.empty()) return PanelResize::kNone;

  if (current.title != slots.lastActiveTitle) {
    // Both tests are always made, each on its own result.
    GrowTitle(record.TouhyouTitle, current.title);
    GrowTitle(record.ShoukaiTitle, current.title);
    if (current.title == record.TouhyouTitle) slots.voteHandle = current.handle;
    if (current.title == record.ShoukaiTitle) slots.inquiryHandle = current.handle;
  }
  slots.lastActiveTitle = current.title;
  slots.lastActiveHandle = current.handle;
  return expanded ? PanelResize::kShrink : PanelResize::kNone;
}

std::u16string CutTitle(std::u16string_view title, const platform::AnsiCodec& codec) {
  // Deliberately 69 bytes: titles have always been read this far, and the stored titles that
  // grew from them must keep matching what is read now.
  constexpr std::size_t kMaxBytes = 69;
  const std::string bytes = codec.ToAnsi(ControlCharactersAsSpaces(title));
  if (bytes.size() <= kMaxBytes) return codec.FromAnsi(bytes);
  std::size_t end = 0;
  while (end < kMaxBytes) {
    const std::size_t width = IsCp932Lead(static_cast<unsigned char>(bytes[end])) ? 2 : 1;
    if (end + width > kMaxBytes) break;
    end += width;
  }
  return codec.FromAnsi(std::string_view(bytes).substr(0, end));
}

}  // namespace navelo
