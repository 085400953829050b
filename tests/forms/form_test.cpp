#include "forms/form.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "base/text.h"
#include "forms/layouts.h"

namespace navelo::forms {
namespace {

// What a front end relies on when it walks a description: unique names, containers that are
// frames described before their controls, and one tab index per focusable control.
TEST(Forms, DescriptionsAreConsistent) {
  for (const Form* form : AllForms()) {
    SCOPED_TRACE(std::string(form->name));
    std::set<std::pair<std::string_view, int>> names;
    std::set<std::string_view> frames;
    std::set<int> tabs;
    for (const Control& c : form->controls) {
      SCOPED_TRACE(std::string(c.name) + "(" + std::to_string(c.index) + ")");
      EXPECT_TRUE(names.insert({c.name, c.index}).second);
      EXPECT_TRUE(c.container.empty() || frames.count(c.container));
      if (c.kind == Kind::kFrame) frames.insert(c.name);
      EXPECT_TRUE(!c.Focusable() || c.tabIndex != kNoTab);
      EXPECT_TRUE(c.tabIndex == kNoTab || tabs.insert(c.tabIndex).second);
      EXPECT_EQ(FindControl(*form, c.name, c.index), &c);
    }
    for (const Menu& m : form->menus) {
      EXPECT_TRUE(m.parent.empty() || FindMenu(*form, m.parent)) << m.name;
    }
  }
  EXPECT_EQ(FindControl(kFrmNavelo, "NumKey", 7)->caption, u"７");
  EXPECT_EQ(FindControl(kFrmNavelo, "NoSuchControl"), nullptr);
  EXPECT_EQ(FindMenu(kFrmNavelo, "mnu_url", 2)->caption, u"CLUB　A-PAT");
  EXPECT_EQ(TabOrder(kFrmNavelo).front()->name, "Enter");
  EXPECT_EQ(EffectiveFont(kFrmSet, *FindControl(kFrmSet, "txtNavelo_Pswd")).face, Face::kPGothic);
}

TEST(Forms, TextBoxesDropControlCharacters) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"1234\r\n", u"1234"},
      {u"a\tb\x1b"
       u"c\x1f",
       u"abc"},
      {std::u16string(u"x\0y", 3), u"xy"},
      {u"競馬 ＩＰＡＴ~\x7f!", u"競馬 ＩＰＡＴ~!"},  // DEL goes too; what is printable stays
      {u"", u""},
  };
  for (const auto& [typed, kept] : cases) EXPECT_EQ(WithoutControlCharacters(typed), kept);
}

}  // namespace
}  // namespace navelo::forms
