#include "dialogs/logic/settings_form.h"

#include <gtest/gtest.h>

#include "platform/testing/native_codec.h"

namespace navelo {
namespace {

class SettingsFormTest : public ::testing::Test {
 protected:
  SettingsRecord record;
  TargetSlots slots;
  BrowserAddresses addresses{};
  std::vector<std::u16string> messages;
  int confirmations = 0;
  // What the password dialog answers; it sees the password being set.
  std::function<bool(const std::u16string&)> confirmBehaviour = [](const std::u16string&) {
    return true;
  };

  void SetUp() override {
    record.startupPassword = u"ZelvOR";
    record.NetID = u"inet";
    record.Chien = 0;
    record.ChienTime = 300;
    record.TouhyouTitle = u"IPAT合計金額入力";
    record.ShoukaiTitle = u"IPAT照会ログイン";
    slots.lastActiveTitle = u"Browser";
    slots.lastActiveHandle = 5;
    addresses = {u"a", u"b", u"c", u"d"};
  }
  bool Accept(const SettingsForm& form) {
    AcceptServices services{[this](const std::u16string& m) { messages.push_back(m); },
                            [this](const std::u16string& newPassword) {
                              ++confirmations;
                              return confirmBehaviour(newPassword);
                            }};
    return AcceptSettingsForm(form, record, slots, addresses, services);
  }
};

TEST_F(SettingsFormTest, OpeningAndAcceptingWithoutEditsChangesNothing) {
  record.Zenmen = 1;
  record.Kakusu = 2;    // the undecided state
  record.Chokuzen = 7;  // only a hand-edited file has this
  record.Chien = 1;
  record.ChienTime = -12;
  const SettingsRecord before = record;
  const BrowserAddresses addressesBefore = addresses;
  SettingsForm form = LoadSettingsForm(record, slots, addresses);
  EXPECT_EQ(form.txtNavelo_Pswd, u"");  // no start-up password: the box is empty
  EXPECT_EQ(form.Text(u"txtChienTime"), u"-12");
  EXPECT_TRUE(Accept(form));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(record.Zenmen, before.Zenmen);
  EXPECT_EQ(record.Kakusu, before.Kakusu);
  EXPECT_EQ(record.Chokuzen, before.Chokuzen);
  EXPECT_EQ(record.Chien, before.Chien);
  EXPECT_EQ(record.ChienTime, before.ChienTime);
  EXPECT_EQ(record.NetID, before.NetID);
  EXPECT_EQ(record.startupPassword, u"ZelvOR");
  EXPECT_EQ(addresses, addressesBefore);
  EXPECT_EQ(slots.lastActiveHandle, 5u);
}

TEST_F(SettingsFormTest, OkCopiesEveryControlAndOnlyTheLastActiveTitle) {
  SettingsForm form = LoadSettingsForm(record, slots, addresses);
  form.Text(u"txtNetId") = u" spaced ";
  form.Text(u"txtId") = u"";
  form.lblAct = u"Shown title";
  form.Text(u"lblTouTitle") = u"New vote";
  form.Option(u"optZen").state = 1;
  form.Option(u"optZen").changed = true;
  form.Text(u"txtChienTime") = u"450";
  form.txtIpatURL[2] = u"https://example.invalid/";
  slots.lastActiveHandle = 9;  // the tracker moved on meanwhile
  EXPECT_TRUE(Accept(form));
  EXPECT_EQ(record.NetID, u" spaced ");  // as typed, no trimming
  EXPECT_EQ(record.PatID, u"");
  EXPECT_EQ(slots.lastActiveTitle, u"Shown title");
  EXPECT_EQ(slots.lastActiveHandle, 9u);
  EXPECT_EQ(record.TouhyouTitle, u"New vote");
  EXPECT_EQ(record.Zenmen, 1);
  EXPECT_EQ(record.ChienTime, 450);
  EXPECT_EQ(addresses[2], u"https://example.invalid/");
  EXPECT_EQ(addresses[3], u"d");  // nothing maps entry 3
}

TEST_F(SettingsFormTest, DelayTimeThatIsNoWholeNumberKeepsThePreviousValue) {
  for (const char16_t* text : {u"abc", u"", u"1.5", u"99999999999", u"12x"}) {
    record.ChienTime = 300;
    SettingsForm form = LoadSettingsForm(record, slots, addresses);
    form.Text(u"txtChienTime") = text;
    EXPECT_TRUE(Accept(form));
    EXPECT_EQ(record.ChienTime, 300);
  }
}

TEST_F(SettingsFormTest, ChangedPasswordIsConfirmedBeforeAnythingIsCopied) {
  SettingsForm form = LoadSettingsForm(record, slots, addresses);
  form.Text(u"txtNetId") = u"changed";
  form.txtNavelo_Pswd = u"NewPass";
  // Confirmed: the new password stays and everything is copied.
  EXPECT_TRUE(Accept(form));
  EXPECT_EQ(confirmations, 1);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], kPasswordChangedMessage);
  EXPECT_EQ(record.startupPassword, u"NewPass");
  EXPECT_EQ(record.NetID, u"changed");

  // The box holding the current password unchanged asks nothing.
  form = LoadSettingsForm(record, slots, addresses);
  EXPECT_EQ(form.txtNavelo_Pswd, u"NewPass");
  EXPECT_TRUE(Accept(form));
  EXPECT_EQ(confirmations, 1);
}

TEST_F(SettingsFormTest, UnconfirmedPasswordNeverReachesTheRecordAndNothingIsCopied) {
  record.startupPassword = u"Old";
  SettingsForm form = LoadSettingsForm(record, slots, addresses);
  form.Text(u"txtNetId") = u"changed";
  form.txtNavelo_Pswd = u"New";
  std::u16string confirming, inRecord;
  confirmBehaviour = [&](const std::u16string& newPassword) {
    confirming = newPassword;
    inRecord = record.startupPassword;  // what a save during the confirmation would write
    return false;                       // cancelled
  };
  EXPECT_FALSE(Accept(form));
  EXPECT_EQ(confirming, u"New");
  EXPECT_EQ(inRecord, u"Old");
  EXPECT_EQ(record.startupPassword, u"Old");
  EXPECT_EQ(record.NetID, u"inet");
  // A second OK asks again, since the box still differs.
  confirmBehaviour = [](const std::u16string&) { return true; };
  EXPECT_TRUE(Accept(form));
  EXPECT_EQ(confirmations, 2);
  EXPECT_EQ(record.startupPassword, u"New");
}

TEST_F(SettingsFormTest, EmptyingTheBoxOrTypingTheDefaultRemovesThePassword) {
  record.startupPassword = u"Old";
  SettingsForm form = LoadSettingsForm(record, slots, addresses);
  form.txtNavelo_Pswd = u"";
  EXPECT_TRUE(Accept(form));
  EXPECT_EQ(record.startupPassword, u"ZelvOR");
  EXPECT_EQ(confirmations, 1);
  form = LoadSettingsForm(record, slots, addresses);
  EXPECT_EQ(form.txtNavelo_Pswd, u"");
  form.txtNavelo_Pswd = u"ZelvOR";  // the same as leaving it empty
  EXPECT_TRUE(Accept(form));
  EXPECT_EQ(confirmations, 1);
}

// A changed identifier or start-up password the code page cannot hold would be saved changed: OK
// refuses it, saying which, before anything is asked or copied.
TEST_F(SettingsFormTest, TextsTheCodePageCannotHoldAreRefusedBeforeAnythingIsAsked) {
  platform::testing::NativeCodec codec;
  struct Case {
    std::u16string_view control;  // empty: the start-up password
    std::u16string text;
    std::u16string refusal;  // empty: accepted
  } cases[] = {
      {u"", u"päss", std::u16string(kPasswordNotStorableMessage)},
      {u"", u"p€ss", std::u16string(kPasswordNotStorableMessage)},
      {u"", u"😀", std::u16string(kPasswordNotStorableMessage)},
      {u"", u"パス１", u""},
      {u"txtPswd", u"Pässwörd1", IdentifierNotStorableMessage(u"パスワード")},
      {u"txtNetId", u"AB\u2014CD", IdentifierNotStorableMessage(u"INET-ID")},
      {u"txtApatPswd", u"😀", IdentifierNotStorableMessage(u"APATﾊﾟｽﾜｰﾄﾞ")},
      {u"txtId", u"ＡＢ１２ｱｲ", u""},
      {u"txtPars", u"\u00e4", u""},  // as stored already: unchanged, so not refused
  };
  for (const Case& c : cases) {
    record.startupPassword = u"ZelvOR";
    record.Pars = u"\u00e4";
    record.NetID = u"AB123456";
    messages.clear();
    confirmations = 0;
    SettingsForm form = LoadSettingsForm(record, slots, addresses);
    (c.control.empty() ? form.txtNavelo_Pswd : form.Text(c.control)) = c.text;
    AcceptServices services{[this](const std::u16string& m) { messages.push_back(m); },
                            [this](const std::u16string&) {
                              ++confirmations;
                              return true;
                            },
                            &codec};
    const bool accepted = c.refusal.empty();
    const std::string what(c.text.begin(), c.text.end());
    EXPECT_EQ(AcceptSettingsForm(form, record, slots, addresses, services), accepted) << what;
    EXPECT_EQ(confirmations, accepted && c.control.empty() ? 1 : 0) << what;
    if (!accepted) {
      EXPECT_EQ(messages, std::vector<std::u16string>{c.refusal}) << what;
      EXPECT_EQ(record.startupPassword, u"ZelvOR");
      EXPECT_EQ(record.NetID, u"AB123456");
    }
  }
}

TEST_F(SettingsFormTest, UndecidedOptionBecomesWhatTheUserChose) {
  OptionBox box = OptionBox::From(5);
  EXPECT_EQ(box.state, 2);
  EXPECT_EQ(box.Value(), 5);
  box.state = 0;
  box.changed = true;
  EXPECT_EQ(box.Value(), 0);
  box.state = 1;
  EXPECT_EQ(box.Value(), 1);
}

TEST(CaptureMessage, PrefixTitleSuffix) {
  EXPECT_EQ(CaptureMessage(TitleTarget::kVote, u"T"),
            u"投票時は画面のタイトルが「T」の画面に情報を送信するようになります");
  EXPECT_EQ(CaptureMessage(TitleTarget::kInquiry, u""),
            u"紹介ログイン時は画面のタイトルが「」の画面に情報を送信するようになります");
}

}  // namespace
}  // namespace navelo
