#include <gtest/gtest.h>

#include "panel/logic/keypad.h"
#include "panel/logic/send.h"

namespace navelo {
namespace {

TEST(Keypad, DigitsShowInHundredsAndClearOrVoteStartAfresh) {
  Keypad pad;
  EXPECT_EQ(pad.Press(3), u"300");
  EXPECT_EQ(pad.Press(0), u"3000");
  pad.AfterVote();
  EXPECT_EQ(pad.Press(5), u"500");
  pad.Clear();
  EXPECT_EQ(pad.Press(0), u"000");  // no leading zeros are removed
  for (int i = 0; i < 30; ++i) pad.Press(9);
  EXPECT_EQ(pad.digits().size(), 31u);  // no limit on the number of digits
}

class SendTest : public ::testing::Test {
 protected:
  SettingsRecord record;
  TargetSlots slots;
  void SetUp() override {
    record.NetID = u"inet";
    record.PatID = u"12345678";
    record.Password = u"9999";
    record.Pars = u"4321";
    record.ApatPassword = u"apat";
    record.ShoukaiTitle = u"IPAT照会ログイン - Browser";
    record.TouhyouTitle = u"IPAT合計金額入力 - Browser";
    slots.inquiryHandle = 1;
    slots.voteHandle = 2;
    slots.lastActiveTitle = u"Other";
    slots.lastActiveHandle = 3;
  }
};

TEST_F(SendTest, TextsAndTargetsWithChokuzenOff) {
  SendPlan p = PlanSend(SendButton::kInquiry, record, slots, u"3000");
  EXPECT_EQ(p.text, u"12345678\t9999\t4321");
  EXPECT_EQ(p.handle, 1u);
  EXPECT_EQ(p.title, record.ShoukaiTitle);
  EXPECT_TRUE(p.titleIsBeginning);  // recognised as the tracker recognises it
  p = PlanSend(SendButton::kVote, record, slots, u"3000");
  EXPECT_EQ(p.text, u"12345678\t9999\t4321\t3000");
  EXPECT_EQ(p.handle, 2u);
  EXPECT_TRUE(p.titleIsBeginning);
  p = PlanSend(SendButton::kLogIn, record, slots, u"");
  EXPECT_EQ(p.text, u"inet");
  EXPECT_EQ(p.handle, 3u);
  EXPECT_FALSE(p.titleIsBeginning);  // one window's whole title
  p = PlanSend(SendButton::kClubApat, record, slots, u"");
  EXPECT_EQ(p.text, u"12345678\tapat");
  EXPECT_EQ(p.handle, 3u);
}

TEST_F(SendTest, AnyChokuzenOtherThanZeroSendsToTheLastActiveWindow) {
  for (std::int16_t chokuzen : {std::int16_t(1), std::int16_t(2), std::int16_t(-1)}) {
    record.Chokuzen = chokuzen;
    EXPECT_EQ(PlanSend(SendButton::kInquiry, record, slots, u"").handle, 3u);
    EXPECT_EQ(PlanSend(SendButton::kVote, record, slots, u"").handle, 3u);
    EXPECT_EQ(PlanSend(SendButton::kVote, record, slots, u"").title, u"Other");
    EXPECT_FALSE(PlanSend(SendButton::kVote, record, slots, u"").titleIsBeginning);
    EXPECT_EQ(PlanSend(SendButton::kLogIn, record, slots, u"").handle, 3u);
  }
}

TEST_F(SendTest, WithAmountOnlyTheVoteTypesTheAmountAloneToItsPage) {
  for (std::int16_t only : {std::int16_t(1), std::int16_t(2), std::int16_t(-1)}) {
    record.KingakuNomi = only;
    const SendPlan vote = PlanSend(SendButton::kVote, record, slots, u"3000");
    EXPECT_EQ(vote.text, u"3000");
    EXPECT_EQ(vote.handle, 2u);
    // The other buttons are as before.
    EXPECT_EQ(PlanSend(SendButton::kInquiry, record, slots, u"3000").text, u"12345678\t9999\t4321");
  }
}

TEST_F(SendTest, EmptyFieldsKeepTheirTabsAndNothingEndsTheText) {
  record.Password = u"";
  SendPlan p = PlanSend(SendButton::kVote, record, slots, u"");
  EXPECT_EQ(p.text, u"12345678\t\t4321\t");
  EXPECT_NE(p.text.back(), u'\r');
  EXPECT_NE(p.text.back(), u'\n');
}

TEST_F(SendTest, UnseenOrUntitledSlotSendsNothing) {
  slots.inquiryHandle = 0;
  EXPECT_FALSE(PlanSend(SendButton::kInquiry, record, slots, u"").sendable());
  record.TouhyouTitle.clear();
  EXPECT_FALSE(PlanSend(SendButton::kVote, record, slots, u"").sendable());
  record.Chokuzen = 1;
  EXPECT_TRUE(PlanSend(SendButton::kInquiry, record, slots, u"").sendable());
}

TEST_F(SendTest, ControlCharactersInsideFieldsAreNeverTyped) {
  // A pasted "1234⏎" must not submit the form, nor a stray Tab shift the fields, nor a DEL
  // delete what the page holds.
  for (std::u16string* field :
       {&record.NetID, &record.PatID, &record.Password, &record.Pars, &record.ApatPassword}) {
    *field = u"\r" + *field + u"\n\t\x1b\x01\x7f";
  }
  const struct {
    SendButton button;
    std::u16string text;
  } cases[] = {
      {SendButton::kLogIn, u"inet"},
      {SendButton::kInquiry, u"12345678\t9999\t4321"},
      {SendButton::kVote, u"12345678\t9999\t4321\t3000"},
      {SendButton::kClubApat, u"12345678\tapat"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PlanSend(c.button, record, slots, u"30\r00\n").text, c.text);
  }
}

}  // namespace
}  // namespace navelo
