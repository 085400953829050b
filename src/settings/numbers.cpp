#include "settings/numbers.h"

#include <charconv>
#include <cmath>
#include <string>

#include "base/text.h"

namespace navelo {
namespace {

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

}  // namespace

std::optional<double> ParseLeadingNumber(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  std::string ascii;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    if (text[i] == u'-') ascii.push_back('-');
    ++i;
  }
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) {
    ascii.push_back(static_cast<char>(text[i++]));
    ++digits;
  }
  if (i < text.size() && text[i] == u'.') {
    ascii.push_back('.');
    ++i;
    while (i < text.size() && IsDigit(text[i])) {
      ascii.push_back(static_cast<char>(text[i++]));
      ++digits;
    }
  }
  if (digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) {
      exponent.push_back(static_cast<char>(text[j]));
      ++j;
    }
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) exponent.push_back(static_cast<char>(text[j++]));
      ascii += exponent;
    }
  }
  double value = 0;
  const char* first = ascii.data();
  const char* last = ascii.data() + ascii.size();
  auto [ptr, ec] = std::from_chars(first, last, value);
  if (ec == std::errc::result_out_of_range) {
    // Too small to represent is zero; too large is an infinity that fits no field.
    bool tiny = ascii.find("e-") != std::string::npos;
    bool negative = ascii.front() == '-';
    if (tiny) return 0.0;
    return negative ? -HUGE_VAL : HUGE_VAL;
  }
  if (ec != std::errc() || ptr != last) return std::nullopt;
  return value;
}

std::optional<std::int64_t> RoundHalfEven(double value, std::int64_t min, std::int64_t max) {
  if (!std::isfinite(value)) return std::nullopt;
  double floor = std::floor(value);
  double diff = value - floor;
  double rounded = floor;
  if (diff > 0.5) {
    rounded = floor + 1;
  } else if (diff == 0.5) {
    rounded = std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
  }
  if (rounded < static_cast<double>(min) || rounded > static_cast<double>(max)) return std::nullopt;
  return static_cast<std::int64_t>(rounded);
}

std::int64_t ReadStoredInteger(std::u16string_view text, std::int64_t min, std::int64_t max,
                               std::int64_t fallback) {
  auto number = ParseLeadingNumber(text);
  if (!number) return 0;
  return RoundHalfEven(*number, min, max).value_or(fallback);
}

std::u16string FormatSingle(float value) {
  char buffer[32];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 7);
  std::string text(buffer, result.ptr);
  if (text == "-0") text = "0";
  return std::u16string(text.begin(), text.end());
}

std::u16string FormatInteger(std::int64_t value) {
  std::string text = std::to_string(value);
  return std::u16string(text.begin(), text.end());
}

std::optional<std::int64_t> ParseWholeNumber(std::u16string_view text, std::int64_t min,
                                             std::int64_t max) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  std::string ascii;
  for (std::size_t i = begin; i < end; ++i) {
    char16_t c = text[i];
    if (!(IsDigit(c) || ((c == u'-' || c == u'+') && i == begin))) return std::nullopt;
    if (c != u'+') ascii.push_back(static_cast<char>(c));
  }
  std::int64_t value = 0;
  auto [ptr, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  if (ec != std::errc() || ptr != ascii.data() + ascii.size()) return std::nullopt;
  if (value < min || value > max) return std::nullopt;
  return value;
}

}  // namespace navelo
