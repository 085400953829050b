#include "settings/numbers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace navelo {
namespace {

TEST(Numbers, LeadingNumberStopsAtFirstCharacterThatCannotContinue) {
  EXPECT_EQ(ParseLeadingNumber(u"  42abc"), 42.0);
  EXPECT_EQ(ParseLeadingNumber(u"-150"), -150.0);
  EXPECT_EQ(ParseLeadingNumber(u"+7"), 7.0);
  EXPECT_EQ(ParseLeadingNumber(u"120.5"), 120.5);
  EXPECT_EQ(ParseLeadingNumber(u".5"), 0.5);
  EXPECT_EQ(ParseLeadingNumber(u"1.2.3"), 1.2);
  EXPECT_EQ(ParseLeadingNumber(u"1e3x"), 1000.0);
  EXPECT_EQ(ParseLeadingNumber(u"2e"), 2.0);  // an exponent without digits is not part of it
  EXPECT_EQ(ParseLeadingNumber(u"3E-1"), 0.3);
  EXPECT_EQ(ParseLeadingNumber(u"1 2"), 1.0);
  EXPECT_FALSE(ParseLeadingNumber(u"abc"));
  EXPECT_FALSE(ParseLeadingNumber(u""));
  EXPECT_FALSE(ParseLeadingNumber(u"-"));
  EXPECT_FALSE(ParseLeadingNumber(u"."));
  EXPECT_FALSE(ParseLeadingNumber(u"１２"));  // full-width digits are not decimal digits here
  EXPECT_TRUE(std::isinf(*ParseLeadingNumber(u"1e999")));
  EXPECT_EQ(ParseLeadingNumber(u"1e-999"), 0.0);
}

TEST(Numbers, RoundingGoesToTheEvenNeighbourOnTies) {
  EXPECT_EQ(RoundHalfEven(2.5, -10, 10), 2);
  EXPECT_EQ(RoundHalfEven(3.5, -10, 10), 4);
  EXPECT_EQ(RoundHalfEven(-2.5, -10, 10), -2);
  EXPECT_EQ(RoundHalfEven(-3.5, -10, 10), -4);
  EXPECT_EQ(RoundHalfEven(120.5, -1000, 1000), 120);
  EXPECT_EQ(RoundHalfEven(121.5, -1000, 1000), 122);
  EXPECT_EQ(RoundHalfEven(2.6, -10, 10), 3);
  EXPECT_FALSE(RoundHalfEven(11, -10, 10));
  EXPECT_FALSE(RoundHalfEven(HUGE_VAL, -10, 10));
}

TEST(Numbers, StoredIntegersTakeTheFallbackOutsideTheirRange) {
  EXPECT_EQ(ReadStoredInteger(u"x", -32768, 32767, 5), 0);  // no number reads as 0
  EXPECT_EQ(ReadStoredInteger(u"", -32768, 32767, 300), 0);
  EXPECT_EQ(ReadStoredInteger(u"40000", -32768, 32767, 7), 7);
  EXPECT_EQ(ReadStoredInteger(u"-32768", -32768, 32767, 7), -32768);
  EXPECT_EQ(ReadStoredInteger(u"1e999", -32768, 32767, 7), 7);
  EXPECT_EQ(ReadStoredInteger(u"32767.4", -32768, 32767, 7), 32767);
}

TEST(Numbers, SinglePrecisionTextHasNoTrailingZeros) {
  EXPECT_EQ(FormatSingle(4410), u"4410");
  EXPECT_EQ(FormatSingle(-150), u"-150");
  EXPECT_EQ(FormatSingle(0), u"0");
  EXPECT_EQ(FormatSingle(120.5f), u"120.5");
  EXPECT_EQ(FormatSingle(1234567), u"1234567");
}

TEST(Numbers, WholeNumbersAcceptOnlyDigits) {
  EXPECT_EQ(ParseWholeNumber(u" 300 ", INT32_MIN, INT32_MAX), 300);
  EXPECT_EQ(ParseWholeNumber(u"-5", INT32_MIN, INT32_MAX), -5);
  EXPECT_FALSE(ParseWholeNumber(u"", INT32_MIN, INT32_MAX));
  EXPECT_FALSE(ParseWholeNumber(u"12a", INT32_MIN, INT32_MAX));
  EXPECT_FALSE(ParseWholeNumber(u"1.5", INT32_MIN, INT32_MAX));
  EXPECT_FALSE(ParseWholeNumber(u"2147483648", INT32_MIN, INT32_MAX));
  EXPECT_FALSE(ParseWholeNumber(u"1-2", INT32_MIN, INT32_MAX));
}

}  // namespace
}  // namespace navelo
