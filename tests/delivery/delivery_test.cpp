// The delivery policy against a fake window system and a fake clock.
#include "delivery/delivery.h"

#include <gtest/gtest.h>

#include "platform/testing/doubles.h"

namespace navelo {
namespace {

using namespace std::chrono_literals;
using platform::testing::FakeWindowSystem;
using Result = platform::WindowSystem::Typing::Result;

constexpr platform::WindowHandle kTarget = 1;
constexpr platform::WindowHandle kOther = 2;
const std::u16string kPage = u"IPAT合計金額入力 - Browser, with more after the cut";
// Titles are remembered cut short; the delivery compares through the same cut.
std::u16string Cut(std::u16string_view title) {
  return std::u16string(title.substr(0, 20));
}

struct Finished {
  std::optional<DeliveryOutcome> outcome;
  std::chrono::milliseconds finishedAfter{};
};

// Delivers "ab\tc" to the target and steps the clock as the delivery asks until it has nothing
// left to do; `during` sees each step's time first.
Finished DeliverAndStep(Delivery& delivery,
                        const std::function<void(std::chrono::milliseconds)>& during = {}) {
  const auto start = Delivery::Clock::time_point{} + 1h;
  Finished run;
  auto now = start;
  delivery.Deliver({kTarget, Cut(kPage), u"ab\tc",
                    [&](DeliveryOutcome o) {
                      run.outcome = o;
                      run.finishedAfter =
                          std::chrono::duration_cast<std::chrono::milliseconds>(now - start);
                    }},
                   now);
  while (auto next = delivery.NextTick()) {
    EXPECT_GE(*next, now);
    now = *next;
    if (now - start > 10s) break;
    if (during) during(std::chrono::duration_cast<std::chrono::milliseconds>(now - start));
    delivery.Tick(now);
  }
  return run;
}

TEST(Delivery, TypesOnlyIntoTheRememberedPageOrBeepsAndSaysWhy) {
  struct Case {
    const char* name;
    std::function<void(FakeWindowSystem&)> arrange;
    std::function<void(FakeWindowSystem&, std::chrono::milliseconds)> during;
    DeliveryOutcome outcome;
    std::u16string typedIntoTarget;
  };
  const auto activeAfter = [](std::chrono::milliseconds when, platform::WindowHandle w) {
    return [=](FakeWindowSystem& f, std::chrono::milliseconds now) {
      if (now >= when) f.active = w;
    };
  };
  const auto stolenAt = [](std::chrono::milliseconds when) {
    return [=, done = false](FakeWindowSystem& f, std::chrono::milliseconds now) mutable {
      if (now >= when && !done) f.active = kOther, done = true;
    };
  };
  const Case cases[] = {
      {"typed", {}, {}, DeliveryOutcome::kTyped, u"ab\tc"},
      {"window closed",
       [](auto& f) { f.titles.erase(kTarget); },
       {},
       DeliveryOutcome::kWindowGone,
       u""},
      {"activation refused",
       [](auto& f) { f.refuseActivation = true; },
       {},
       DeliveryOutcome::kNotActivated,
       u""},
      {"activated late, within the second", [](auto& f) { f.refuseActivation = true; },
       activeAfter(900ms, kTarget), DeliveryOutcome::kTyped, u"ab\tc"},
      {"activated too late", [](auto& f) { f.refuseActivation = true; },
       activeAfter(1100ms, kTarget), DeliveryOutcome::kNotActivated, u""},
      {"another page in the window",
       [](auto& f) { f.titles[kTarget] = u"Messenger - Chromium"; },
       {},
       DeliveryOutcome::kTitleChanged,
       u""},
      // A window that takes the foreground back before typing loses it again within the second;
      // one that keeps taking it gets nothing.
      {"focus lost right after activation",
       [](auto& f) {
         f.afterActivate = [&f](int n) {
           if (n == 1) f.active = kOther;
         };
       },
       {},
       DeliveryOutcome::kTyped,
       u"ab\tc"},
      {"focus lost while the layout settles", [](auto& f) { f.typing.settle = 20ms; },
       stolenAt(10ms), DeliveryOutcome::kTyped, u"ab\tc"},
      {"focus kept away while the layout settles", [](auto& f) { f.typing.settle = 20ms; },
       activeAfter(10ms, kOther), DeliveryOutcome::kMovedAway, u""},
      {"title changed while the layout settles", [](auto& f) { f.typing.settle = 20ms; },
       [](auto& f, auto now) {
         if (now >= 10ms) f.titles[kTarget] = u"Other site";
       },
       DeliveryOutcome::kTitleChanged, u""},
      {"user moved away mid-typing",
       [](auto& f) {
         f.beforeKey = [&f](std::size_t i) {
           if (i == 2) f.active = kOther;
         };
       },
       {},
       DeliveryOutcome::kMovedAway,
       u"ab"},
      {"page renamed itself mid-typing, past where titles are cut",
       [](auto& f) {
         f.beforeKey = [&f](std::size_t i) { f.titles[kTarget] += i == 2 ? u"!" : u""; };
       },
       {},
       DeliveryOutcome::kRenamed,
       u"ab"},
      {"the page's program runs as administrator",
       [](auto& f) { f.aboveUs.insert(kTarget); },
       {},
       DeliveryOutcome::kAboveUs,
       u""},
      {"layout cannot type it",
       [](auto& f) { f.typing.result = Result::kLayoutCannotType; },
       {},
       DeliveryOutcome::kLayoutCannotType,
       u""},
      {"no synthetic keys",
       [](auto& f) { f.typing.result = Result::kUnavailable; },
       {},
       DeliveryOutcome::kNoTyping,
       u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeWindowSystem windows;
    windows.titles = {{kTarget, kPage}, {kOther, u"Other"}};
    windows.active = kOther;
    if (c.arrange) c.arrange(windows);
    Delivery delivery(windows, Cut);
    const Finished run = DeliverAndStep(delivery, [&](auto now) {
      if (c.during) c.during(windows, now);
    });
    EXPECT_EQ(run.outcome, c.outcome);
    EXPECT_EQ(windows.typed[kTarget], c.typedIntoTarget);
    EXPECT_EQ(windows.typed[kOther], u"");
    EXPECT_EQ(windows.beeps, c.outcome == DeliveryOutcome::kTyped ? 0 : 1);
    if (c.outcome == DeliveryOutcome::kNotActivated) {
      EXPECT_GE(run.finishedAfter, Delivery::kActivationLimit);
      EXPECT_LT(run.finishedAfter, Delivery::kActivationLimit + 2 * Delivery::kPollInterval);
    }
  }
}

// The inquiry and vote slots recognise their page by the beginning of its title, as the tracker
// does; the last-active slot remembers one window's whole title.
TEST(Delivery, ThePageIsRecognisedByItsTitleAsTheSlotRemembersIt) {
  const struct {
    std::u16string remembered;
    bool byBeginning, typed;
  } cases[] = {
      {u"IPAT合計金額入力", true, true},   {u"IPAT照会ログイン", true, false},
      {Cut(kPage) + u"r", true, false},    {u"", true, false},
      {u"IPAT合計金額入力", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    FakeWindowSystem windows;
    windows.titles = {{kTarget, kPage}};
    Delivery delivery(windows, Cut);
    delivery.Deliver({kTarget, c.remembered, u"x", {}, c.byBeginning}, Delivery::Clock::now());
    EXPECT_EQ(windows.typed[kTarget], c.typed ? u"x" : u"");
  }
}

TEST(Delivery, ANewSendReplacesOneStillWaitingAndOnlyTheNewOneIsTyped) {
  FakeWindowSystem windows;
  windows.titles = {{kTarget, kPage}, {3, u"Never active"}};
  windows.refuseActivation = true;
  Delivery delivery(windows, Cut);
  std::optional<DeliveryOutcome> first;
  const auto t0 = Delivery::Clock::time_point{} + 1h;
  delivery.Deliver({3, u"Never active", u"never", [&](DeliveryOutcome o) { first = o; }}, t0);
  delivery.Tick(t0 + 500ms);
  EXPECT_FALSE(first);
  windows.refuseActivation = false;
  const Finished second = DeliverAndStep(delivery);
  EXPECT_EQ(first, DeliveryOutcome::kReplaced);
  EXPECT_EQ(second.outcome, DeliveryOutcome::kTyped);
  EXPECT_EQ(windows.typed[kTarget], u"ab\tc");
  EXPECT_EQ(windows.typed[3], u"");
  EXPECT_EQ(windows.beeps, 0);  // a replaced send is no failure
}

TEST(Delivery, KeysAreRestoredASecondAfterTheLastTypingOrAtOnceOnRequest) {
  FakeWindowSystem windows;
  windows.titles = {{kTarget, kPage}};
  Delivery delivery(windows, Cut);
  const auto t0 = Delivery::Clock::time_point{} + 1h;
  delivery.Deliver({kTarget, Cut(kPage), u"x", {}}, t0);
  EXPECT_EQ(delivery.NextTick(), t0 + Delivery::kRestoreDelay);
  // A second text half a second later moves the restore a second past its own typing.
  delivery.Tick(t0 + 500ms);
  delivery.Deliver({kTarget, Cut(kPage), u"y", {}}, t0 + 500ms);
  delivery.Tick(t0 + 1200ms);
  EXPECT_EQ(windows.restores, 0);
  EXPECT_EQ(delivery.NextTick(), t0 + 500ms + Delivery::kRestoreDelay);
  delivery.Tick(t0 + 1500ms);
  EXPECT_EQ(windows.restores, 1);
  EXPECT_EQ(delivery.NextTick(), std::nullopt);  // nothing left to do: no timer runs

  delivery.Deliver({kTarget, Cut(kPage), u"z", {}}, t0 + 2s);
  delivery.RestoreKeyboardNow();
  EXPECT_EQ(windows.restores, 2);
  EXPECT_EQ(delivery.NextTick(), std::nullopt);

  // Keys bound for a text that is replaced while they settle are given back all the same.
  windows.typing.settle = 100ms;
  delivery.Deliver({kTarget, Cut(kPage), u"u", {}}, t0 + 2500ms);
  delivery.Deliver({0x999, u"gone", u"t", {}}, t0 + 2550ms);
  EXPECT_EQ(delivery.NextTick(), t0 + 2600ms + Delivery::kRestoreDelay);
  delivery.Tick(t0 + 2600ms + Delivery::kRestoreDelay);
  EXPECT_EQ(windows.restores, 3);
  windows.typing.settle = {};

  // A next text that cannot be typed leaves the keys of the last one to be given back on time.
  delivery.Deliver({kTarget, Cut(kPage), u"v", {}}, t0 + 3s);
  windows.typing.result = platform::WindowSystem::Typing::Result::kLayoutCannotType;
  delivery.Deliver({kTarget, Cut(kPage), u"w", {}}, t0 + 3500ms);
  EXPECT_EQ(delivery.NextTick(), t0 + 3s + Delivery::kRestoreDelay);
  delivery.Tick(t0 + 4s);
  EXPECT_EQ(windows.restores, 4);
}

}  // namespace
}  // namespace navelo
