#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace navelo {

// The leading decimal number of a text: blanks skipped, then an optional sign, digits, an optional
// decimal point with digits and an optional exponent. Stops at the first character that cannot
// continue the number. Returns nothing when the text does not begin with a number; a number too
// large for a double is an infinity.
std::optional<double> ParseLeadingNumber(std::u16string_view text);

// Rounds to the nearest integer, ties to the even neighbour, when the result fits the range.
std::optional<std::int64_t> RoundHalfEven(double value, std::int64_t min, std::int64_t max);

// Reads a stored number for an integer field of the given range: no number reads as 0, a number
// outside the range gives `fallback`.
std::int64_t ReadStoredInteger(std::u16string_view text, std::int64_t min, std::int64_t max,
                               std::int64_t fallback);

// Decimal text of a single-precision number: up to 7 significant digits, no trailing zeros and no
// decimal point for whole numbers ("4410", "-150", "120.5").
std::u16string FormatSingle(float value);

// Decimal text of an integer ("-5", "300").
std::u16string FormatInteger(std::int64_t value);

// A whole number in the given range written as plain decimal text (an optional sign, digits,
// surrounding blanks allowed); anything else gives nothing.
std::optional<std::int64_t> ParseWholeNumber(std::u16string_view text, std::int64_t min,
                                             std::int64_t max);

}  // namespace navelo
