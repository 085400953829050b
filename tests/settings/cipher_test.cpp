#include "settings/cipher.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/testing/native_codec.h"

namespace navelo {
namespace {

const platform::testing::NativeCodec& Codec() {
  static const platform::testing::NativeCodec codec;
  return codec;
}

TEST(Cipher, KnownVectorsMatchStoredFiles) {
  struct Vector {
    std::u16string text, key, cipher;
  };
  const Vector vectors[] = {
      {u"ZelvOR", u"ZelvOR", u"0065C3769352"},
      {u"secret", u"ZelvOR", u"2965CC72B974"},
      {u"1234", u"pass", u"41329034"},
      {u"ＩＰＡＴ", u"鍵", u"F768826F82608273"},
      {u"AAAAAAAAAA", u"x", u"39414141414141414141"},
      {u"hello world", u"a long key of twenty!", u"09650C6CB320826F6C6C05"},
  };
  for (const auto& v : vectors) {
    EXPECT_EQ(EncipherText(v.text, v.key, Codec()), v.cipher);
    EXPECT_EQ(DecipherText(v.cipher, v.key, Codec()), v.text);
  }
}

TEST(Cipher, EmptyTextsStayEmpty) {
  EXPECT_EQ(EncipherText(u"", u"key", Codec()), u"");
  EXPECT_EQ(DecipherText(u"", u"key", Codec()), u"");
}

TEST(Cipher, IndexRunsThroughKeyThenCyclesFromOne) {
  KeyStream stream(u"abc");  // six key bytes
  std::vector<std::size_t> visited;
  for (int i = 0; i < 12; ++i) {
    visited.push_back(stream.index());
    std::uint8_t b = 0;
    stream.EncryptByte(b);
  }
  EXPECT_EQ(visited, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 1, 2, 3, 4, 5, 1}));
}

TEST(Cipher, OneCharacterKeyLeavesLaterBytesUnchanged) {
  // The key's high byte is 0 and only ever doubles, so after the first byte nothing changes.
  const std::u16string cipher = EncipherText(u"ABCDEF", u"k", Codec());
  EXPECT_EQ(cipher.substr(2), u"4243444546");
}

TEST(Cipher, TwoDoubleByteCharactersGiveEightDigitsWithLeadingZeros) {
  const std::u16string cipher = EncipherText(u"競馬", u"ZelvOR", Codec());
  EXPECT_EQ(cipher.size(), 8u);
  for (char16_t c : cipher) EXPECT_TRUE((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'));
  // A byte below 16 is written with a leading zero: "ZelvOR" enciphered under itself starts "00".
  EXPECT_EQ(EncipherText(u"ZelvOR", u"ZelvOR", Codec()).substr(0, 2), u"00");
}

TEST(Cipher, DecodingRulesOfMalformedText) {
  EXPECT_EQ(HexDigitValue(u'A'), 10);
  EXPECT_EQ(HexDigitValue(u'F'), 15);
  EXPECT_EQ(HexDigitValue(u'9'), 9);
  EXPECT_EQ(HexDigitValue(u'a'), 0);  // lower case counts as 0
  EXPECT_EQ(HexDigitValue(u'G'), 0);
  EXPECT_EQ(HexPairToByte(u"7"), 0x77);  // one character stands for both digits
  EXPECT_EQ(HexPairToByte(u"1f"), 0x10);

  // Lower-case cipher text does not give the original back.
  const std::u16string upper = EncipherText(u"pin", u"key", Codec());
  std::u16string lower = upper;
  for (auto& c : lower) {
    if (c >= u'A' && c <= u'F') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  if (lower != upper) {
    EXPECT_NE(DecipherText(lower, u"key", Codec()), u"pin");
  }

  // Odd lengths 2m+1: m+1 bytes when m is even, m bytes when m is odd.
  auto byteCount = [](std::u16string_view cipher) { return DecipherBytes(cipher, u"k").size(); };
  EXPECT_EQ(byteCount(u"4"), 1u);        // m = 0
  EXPECT_EQ(byteCount(u"414"), 1u);      // m = 1
  EXPECT_EQ(byteCount(u"41414"), 3u);    // m = 2
  EXPECT_EQ(byteCount(u"4141414"), 3u);  // m = 3
}

TEST(Cipher, LongKeysNeverFailAndRoundTrip) {
  std::u16string key(200, u'\xFF');  // products far beyond 16 bits
  const std::u16string text = u"長い鍵でも壊れない";
  EXPECT_EQ(DecipherText(EncipherText(text, key, Codec()), key, Codec()), text);
}

TEST(Cipher, RoundTripsEveryRepresentableCharacterUnderKeysOfManyLengths) {
  // Every UTF-16 unit that code page 932 represents, in texts of 40 characters.
  std::u16string all;
  for (char32_t u = 1; u < 0x10000; ++u) {
    if (u >= 0xD800 && u <= 0xDFFF) continue;
    std::u16string one(1, static_cast<char16_t>(u));
    if (Codec().FromAnsi(Codec().ToAnsi(one)) == one) all.push_back(static_cast<char16_t>(u));
  }
  ASSERT_GT(all.size(), 7000u);
  std::mt19937 rng(42);
  std::uniform_int_distribution<std::size_t> pick(0, all.size() - 1);
  for (std::size_t keyLength = 1; keyLength <= 100; ++keyLength) {
    std::u16string key;
    for (std::size_t i = 0; i < keyLength; ++i) key.push_back(all[pick(rng)]);
    for (std::size_t start = keyLength * 40 % all.size(); start < all.size(); start += 4000) {
      const std::u16string text = all.substr(start, 40);
      ASSERT_EQ(DecipherText(EncipherText(text, key, Codec()), key, Codec()), text)
          << "key length " << keyLength;
    }
  }
  // And the whole repertoire once, under the no-password key.
  EXPECT_EQ(DecipherText(EncipherText(all, kNoPassword, Codec()), kNoPassword, Codec()), all);
}

}  // namespace
}  // namespace navelo
