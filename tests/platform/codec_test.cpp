#include <gtest/gtest.h>

#include "platform/posix/codec_cp932.h"

namespace navelo::platform::posix {
namespace {

TEST(Cp932, MapsLikeTheWindowsCodePage) {
  Cp932Codec codec;
  EXPECT_EQ(codec.ToAnsi(u"A\\~"), "A\\~");  // 0x5C stays the backslash
  EXPECT_EQ(codec.ToAnsi(u"照会"), "\x8F\xC6\x89\xEF");
  EXPECT_EQ(codec.ToAnsi(u"ｸﾘｱｰ"), "\xB8\xD8\xB1\xB0");  // half-width katakana: one byte each
  EXPECT_EQ(codec.ToAnsi(u"～"), "\x81\x60");            // FULLWIDTH TILDE is 0x8160
  EXPECT_EQ(codec.FromAnsi("\x81\x60"), u"～");
  EXPECT_EQ(codec.FromAnsi("\x8F\xC6\x89\xEF"), u"照会");
}

TEST(Cp932, UnrepresentableBecomesOneQuestionMarkPerUnit) {
  Cp932Codec codec;
  EXPECT_EQ(codec.ToAnsi(u"a€b"), "a?b");
  EXPECT_EQ(codec.ToAnsi(u"😀"), "??");  // a surrogate pair is two units
  EXPECT_EQ(codec.ToAnsi(std::u16string(1, u'\xD800')), "?");
}

TEST(Cp932, InvalidBytesDoNotSwallowTheNextByte) {
  Cp932Codec codec;
  EXPECT_EQ(codec.FromAnsi("\x81"), u"\uFFFD");      // a lead byte at the end
  EXPECT_EQ(codec.FromAnsi("\x81 A"), u"\uFFFD A");  // lead byte with an invalid trail
  EXPECT_EQ(codec.FromAnsi("\x81"
                           "A"),
            u"、");  // 0x40..0x7E are valid trail bytes
  EXPECT_EQ(codec.FromAnsi("\xA0x"), u"\uFFFDx");
  EXPECT_EQ(codec.FromAnsi(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

}  // namespace
}  // namespace navelo::platform::posix
