#include "panel/logic/tracker.h"

#include <gtest/gtest.h>

#include "platform/testing/doubles.h"
#include "platform/testing/native_codec.h"
#include "settings/settings.h"

namespace navelo {
namespace {

class TrackerTest : public ::testing::Test {
 protected:
  SettingsRecord record;
  TargetSlots slots;
  bool expanded = true;

  void SetUp() override {
    record.TouhyouTitle = u"IPAT合計金額入力";
    record.ShoukaiTitle = u"IPAT照会ログイン";
  }
  PanelResize Tick(WindowHandle handle, std::u16string title) {
    PanelResize r = TrackerTick({handle, std::move(title)}, u"Navelo", expanded, record, slots);
    if (r == PanelResize::kShrink) expanded = false;
    if (r == PanelResize::kExpand) expanded = true;
    return r;
  }
};

TEST_F(TrackerTest, LongerTitleGrowsTheStoredTitleAndIsCapturedAtOnce) {
  Tick(11, u"IPAT合計金額入力 - Chromium");
  EXPECT_EQ(record.TouhyouTitle, u"IPAT合計金額入力 - Chromium");
  EXPECT_EQ(slots.voteHandle, 11u);
  EXPECT_EQ(slots.inquiryHandle, 0u);
  // From now on only the whole title is recognised.
  Tick(12, u"other");
  Tick(13, u"IPAT合計金額入力");
  EXPECT_EQ(slots.voteHandle, 11u);
}

TEST_F(TrackerTest, EqualTitleIsCapturedWithoutChangingIt) {
  Tick(21, u"IPAT照会ログイン");
  EXPECT_EQ(record.ShoukaiTitle, u"IPAT照会ログイン");
  EXPECT_EQ(slots.inquiryHandle, 21u);
}

TEST_F(TrackerTest, SameTitleAgainMovesOnlyTheLastActiveSlot) {
  Tick(31, u"IPAT照会ログイン");
  Tick(32, u"IPAT照会ログイン");
  EXPECT_EQ(slots.inquiryHandle, 31u);
  EXPECT_EQ(slots.lastActiveHandle, 32u);
  // A title entered for the window already last active is captured only after a change.
  record.TouhyouTitle = u"plain page";
  Tick(40, u"plain page");
  Tick(41, u"plain page");
  EXPECT_EQ(slots.voteHandle, 40u);
  record.TouhyouTitle = u"plain page";
  slots.voteHandle = 0;
  Tick(41, u"plain page");
  EXPECT_EQ(slots.voteHandle, 0u);
  Tick(42, u"x");
  Tick(41, u"plain page");
  EXPECT_EQ(slots.voteHandle, 41u);
}

TEST_F(TrackerTest, EmptyStoredTitleTakesTheNextForeignWindowAndEqualTitlesFillBoth) {
  record.TouhyouTitle = u"";
  Tick(51, u"Some window");
  EXPECT_EQ(record.TouhyouTitle, u"Some window");
  EXPECT_EQ(slots.voteHandle, 51u);
  record.TouhyouTitle = record.ShoukaiTitle = u"same";
  Tick(52, u"same");
  EXPECT_EQ(slots.voteHandle, 52u);
  EXPECT_EQ(slots.inquiryHandle, 52u);
}

TEST_F(TrackerTest, PanelCaptionExpandsAndForeignWindowShrinksOnce) {
  EXPECT_EQ(Tick(61, u"browser"), PanelResize::kShrink);
  EXPECT_EQ(Tick(61, u"browser"), PanelResize::kNone);
  EXPECT_EQ(Tick(99, u"Navelo"), PanelResize::kExpand);
  EXPECT_EQ(Tick(99, u"Navelo"), PanelResize::kNone);
  // The panel (or the settings dialog with the same caption) in front changes no slot.
  EXPECT_EQ(slots.lastActiveHandle, 61u);
  EXPECT_EQ(slots.lastActiveTitle, u"browser");
}

TEST_F(TrackerTest, UntitledOrNoWindowChangesNothing) {
  Tick(71, u"browser");
  const TargetSlots before = slots;
  EXPECT_EQ(Tick(0, u""), PanelResize::kNone);
  EXPECT_EQ(Tick(72, u""), PanelResize::kNone);
  EXPECT_FALSE(expanded);
  EXPECT_EQ(slots.lastActiveHandle, before.lastActiveHandle);
  EXPECT_EQ(slots.lastActiveTitle, before.lastActiveTitle);
}

TEST(CutTitle, CutsAtSixtyNineBytesWithoutSplittingACharacter) {
  platform::testing::NativeCodec codec;
  EXPECT_EQ(CutTitle(u"IPAT照会ログイン", codec), u"IPAT照会ログイン");
  const std::u16string ascii(100, u'a');
  EXPECT_EQ(CutTitle(ascii, codec), std::u16string(69, u'a'));
  // "a" then double-byte characters: 1 + 2 * 34 = 69 bytes.
  EXPECT_EQ(CutTitle(u"a" + std::u16string(50, u'競'), codec), u"a" + std::u16string(34, u'競'));
  // 34 double-byte characters are 68 bytes; the 35th would split at byte 69.
  EXPECT_EQ(CutTitle(std::u16string(50, u'競'), codec), std::u16string(34, u'競'));
  // Half-width katakana are one byte each.
  EXPECT_EQ(CutTitle(std::u16string(80, u'ｱ'), codec), std::u16string(69, u'ｱ'));
}

// A page whose title holds control characters, or bytes that are no text (read as U+FFFD, or a
// lone surrogate), is recognised again after a restart, whatever the file's encoding.
TEST(CutTitle, AGrownTitleIsRecognisedAgainAfterASaveAndALoad) {
  platform::testing::NativeCodec codec;
  platform::testing::MemoryFileStore store;
  SettingsFile file("/n/Navelo.INI", store, codec);
  // A start: loads the file, sees the page in front, saves at the end.
  auto start = [&](const std::u16string& title) {
    SettingsRecord record;
    record.startupPassword = u"ZelvOR";
    LoadSettings(record, file, codec);
    TargetSlots slots;
    TrackerTick({7, CutTitle(title, codec)}, u"Navelo", true, record, slots);
    EXPECT_EQ(slots.voteHandle, 7u);
    EXPECT_FALSE(SaveSettings(record, {}, file, codec));
    return record.TouhyouTitle;
  };
  const std::u16string tails[] = {u"\n2R",   std::u16string(u"\0x", 2), u"\r\n", u"\uFFFD",
                                  u"\xD800", u"\t\x1b[1m\x7f",          u""};
  for (const std::string bom : {"", "\xEF\xBB\xBF", "\xFF\xFE"}) {
    for (const std::u16string& tail : tails) {
      SCOPED_TRACE(bom + ToUtf8(tail));
      store.files["/n/Navelo.INI"] = bom;  // an empty file in its encoding
      const std::u16string grown = start(u"IPAT合計金額入力" + tail + u" - Browser");
      EXPECT_EQ(start(u"IPAT合計金額入力" + tail + u" - Browser"), grown);
    }
  }
  // A title an earlier version kept with a tab in it.
  store.files["/n/Navelo.INI"] = "[General]\r\nTouhyouTitle=Vote\t2R\r\n";
  start(u"Vote\t2R");
}

}  // namespace
}  // namespace navelo
