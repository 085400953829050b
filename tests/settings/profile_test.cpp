#include "settings/profile.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace navelo {
namespace {

std::optional<std::string> Get(std::string_view file, std::string_view section,
                               std::string_view key) {
  return ProfileDocument::Parse(file).Get(section, key);
}

TEST(ProfileRead, NamesMatchIgnoringCaseAndBlanksAreTrimmed) {
  const char* file = "[general]\r\n  FormTop \t=\t 120 \r\n";
  EXPECT_EQ(Get(file, "General", "formtop"), "120");
  EXPECT_EQ(Get(file, "GENERAL", "FORMTOP"), "120");
  EXPECT_EQ(Get("[ General ]\nKey=v\n", "General", "Key"), "v");
}

TEST(ProfileRead, ValuesSplitAtTheFirstEqualsAndLoseOnePairOfQuotes) {
  const char* file =
      "[S]\n"
      "a=x=y\n"
      "b=\"  quoted  \"\n"
      "c='single'\n"
      "d=\"mixed'\n"
      "e=\"\n"
      "f=\"\"\"\"\n"
      "g=\n"
      "no equals here\n";
  EXPECT_EQ(Get(file, "S", "a"), "x=y");
  EXPECT_EQ(Get(file, "S", "b"), "  quoted  ");
  EXPECT_EQ(Get(file, "S", "c"), "single");
  EXPECT_EQ(Get(file, "S", "d"), "\"mixed'");
  EXPECT_EQ(Get(file, "S", "e"), "\"");
  EXPECT_EQ(Get(file, "S", "f"), "\"\"");
  EXPECT_EQ(Get(file, "S", "g"), "");  // present but empty: not the default
  EXPECT_FALSE(Get(file, "S", "no equals here"));
  EXPECT_FALSE(Get(file, "S", "missing"));
  EXPECT_FALSE(Get(file, "Other", "a"));
}

TEST(ProfileRead, FirstDuplicateWinsAndCommentsAreSkipped) {
  const char* file =
      "[S]\n"
      "; k=comment\n"
      "  ;k=indented comment\n"
      "k=first\n"
      "k=second\n"
      "[s]\n"
      "only=in second section\n";
  EXPECT_EQ(Get(file, "S", "k"), "first");
  EXPECT_FALSE(Get(file, "S", "only"));  // only the first of duplicate sections is searched
}

TEST(ProfileRead, AllLineEndingsEndALine) {
  EXPECT_EQ(Get("[S]\ra=1\rb=2", "S", "b"), "2");
  EXPECT_EQ(Get("[S]\r\na=1\r\nb=2\r\n", "S", "a"), "1");
  EXPECT_EQ(Get("[S]\na=1\n\nb=2", "S", "b"), "2");
  EXPECT_FALSE(Get("a=1\n[S]\n", "S", "a"));  // keys before any section belong to none
}

TEST(ProfileRead, ByteOrderMarkMeansUtf8) {
  auto doc = ProfileDocument::Parse("\xEF\xBB\xBF[S]\nk=\xE7\xAB\xB6\n");
  EXPECT_TRUE(doc.utf8());
  EXPECT_EQ(doc.Get("S", "k"), "\xE7\xAB\xB6");
  EXPECT_EQ(doc.Serialize().substr(0, 3), "\xEF\xBB\xBF");
}

TEST(ProfileWrite, KeepsOtherLinesSpellingAndOrder) {
  auto doc = ProfileDocument::Parse(
      "; my notes\r\n[general]\r\nFORMTOP=1\r\nUnknown=keep me\r\n\r\n[Extra]\r\nx=y\r\n");
  doc.Set("General", "Formtop", "2");
  doc.Set("General", "Zenmen", "1");
  doc.Set("Data", "NetID", "AB");
  EXPECT_EQ(doc.Serialize(),
            "; my notes\r\n[general]\r\nFORMTOP=2\r\nUnknown=keep me\r\nZenmen=1\r\n\r\n"
            "[Extra]\r\nx=y\r\n[Data]\r\nNetID=AB\r\n");
}

TEST(ProfileWrite, NewKeyGoesAfterTheLastKeyOfItsSection) {
  auto doc = ProfileDocument::Parse("[S]\n;c\n\n[T]\n");
  doc.Set("S", "a", "1");
  EXPECT_EQ(doc.Serialize(), "[S]\r\na=1\r\n;c\r\n\r\n[T]\r\n");
  auto created = ProfileDocument::Parse("");
  created.Set("S", "k", "v");
  EXPECT_EQ(created.Serialize(), "[S]\r\nk=v\r\n");
}

TEST(ProfileWrite, EveryValueReadsBackExactly) {
  const std::string values[] = {"",      " lead", "trail ", "\tboth\t", "\"q\"",
                                "'s'",   "\"",    "a\"b",   "x=y",      "; not a comment",
                                "[not]", "\"\"",  "'",      "plain"};
  for (const auto& value : values) {
    auto doc = ProfileDocument::Parse("");
    doc.Set("S", "k", value);
    EXPECT_EQ(ProfileDocument::Parse(doc.Serialize()).Get("S", "k"), value) << value;
  }
}

TEST(ProfileWrite, AValueNeverAddsLines) {
  auto doc = ProfileDocument::Parse("[General]\r\nPassword=SECRET\r\n");
  doc.Set("General", "TouhyouTitle", std::string("evil\r\n[General]\r\nPassword=0000\n\0x", 33));
  const std::string out = doc.Serialize();
  auto reread = ProfileDocument::Parse(out);
  EXPECT_EQ(reread.Get("General", "Password"), "SECRET");
  std::size_t count = 0;
  for (std::size_t p = out.find("Password="); p != std::string::npos;
       p = out.find("Password=", p + 1))
    ++count;
  EXPECT_EQ(count, 2u);  // the original line, and the text inside the title's one line
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3);
}

}  // namespace
}  // namespace navelo
