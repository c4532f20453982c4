// A second, deliberately different reading of a number text, for the fuzz targets to hold the
// conversion against. Where ParseLong scans once from the left and keeps a bounded magnitude, this
// cuts the text at its separators and does exact decimal arithmetic on digit strings.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace reference {

enum class Kind { kValue, kTypeMismatch, kOverflow, kUnknown };

struct Outcome {
  Kind kind = Kind::kUnknown;
  std::int32_t value = 0;

  bool operator==(const Outcome&) const = default;
};

namespace detail {

template <class Char>
bool IsDigit(Char c) {
  return c >= Char('0') && c <= Char('9');
}
template <class Char>
bool IsBlank(Char c) {
  return c == Char(' ') || c == Char('\t');
}

// A separator with a digit, a blank or a sign in it could be read as part of the number around it;
// such texts can have two readings and this reference gives no verdict on them.
template <class Char>
bool Plain(std::basic_string_view<Char> separator) {
  return std::none_of(separator.begin(), separator.end(), [](Char c) {
    return IsDigit(c) || IsBlank(c) || c == Char('+') || c == Char('-');
  });
}

// The integer part: empty, or runs of digits with exactly one group separator between each two.
// Appends the digits to `digits`.
template <class Char>
bool IntegerPart(std::basic_string_view<Char> part, std::basic_string_view<Char> group,
                 std::string& digits) {
  std::size_t i = 0;
  while (i < part.size()) {
    std::size_t end = i;
    while (end < part.size() && IsDigit(part[end])) ++end;
    if (end == i) return false;  // a separator first, or two in a row
    for (std::size_t k = i; k < end; ++k) digits += static_cast<char>(part[k]);
    if (end == part.size()) return true;
    std::size_t next = end;
    while (next < part.size() && !IsDigit(part[next])) ++next;
    if (group.empty() || part.substr(end, next - end) != group) return false;
    if (next == part.size()) return false;  // a separator last
    i = next;
  }
  return true;
}

inline std::string WithoutLeadingZeros(const std::string& digits) {
  const std::size_t first = digits.find_first_not_of('0');
  return first == std::string::npos ? std::string() : digits.substr(first);
}

inline std::string PlusOne(std::string digits) {
  std::size_t i = digits.size();
  while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
  if (i == 0) return "1" + digits;
  ++digits[i - 1];
  return digits;
}

// Rounds integer.fraction half to even and checks the range, all on digit strings.
inline Outcome Evaluate(bool negative, const std::string& integer, const std::string& fraction) {
  std::string magnitude = WithoutLeadingZeros(integer);
  bool up = false;
  if (!fraction.empty() && fraction[0] > '5') {
    up = true;
  } else if (!fraction.empty() && fraction[0] == '5') {
    const bool beyondHalf = fraction.find_first_not_of('0', 1) != std::string::npos;
    const bool odd = !magnitude.empty() && (magnitude.back() - '0') % 2 == 1;
    up = beyondHalf || odd;
  }
  if (up) magnitude = PlusOne(magnitude);
  const std::string limit = negative ? "2147483648" : "2147483647";
  if (magnitude.size() > limit.size() || (magnitude.size() == limit.size() && magnitude > limit)) {
    return {Kind::kOverflow, 0};
  }
  std::int64_t value = 0;
  for (char digit : magnitude) value = value * 10 + (digit - '0');
  return {Kind::kValue, static_cast<std::int32_t>(negative ? -value : value)};
}

}  // namespace detail

// What ParseLong must make of `text` with these separators. Works on UTF-16 texts and equally on
// the bytes of an ASCII-compatible charset: a separator's bytes match only where the separator is.
template <class Char>
Outcome Convert(std::basic_string_view<Char> text, std::basic_string_view<Char> decimal,
                std::basic_string_view<Char> group) {
  using namespace detail;
  if (group == decimal) group = {};
  if (!Plain(decimal) || !Plain(group)) return {};

  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == Char('+') || text.front() == Char('-'))) {
    negative = text.front() == Char('-');
    text.remove_prefix(1);
  }

  // The fraction can only be the digits at the very end, right after a decimal separator; with
  // plain separators at most one of the two readings below holds.
  std::size_t fractionStart = text.size();
  while (fractionStart > 0 && IsDigit(text[fractionStart - 1])) --fractionStart;
  Outcome result{Kind::kTypeMismatch, 0};
  int readings = 0;
  auto read = [&](std::basic_string_view<Char> integerPart, std::basic_string_view<Char> fraction) {
    std::string integer;
    if (!IntegerPart(integerPart, group, integer) || integer.size() + fraction.size() == 0) return;
    std::string fractionDigits;
    for (Char c : fraction) fractionDigits += static_cast<char>(c);
    const Outcome reading = Evaluate(negative, integer, fractionDigits);
    if (readings++ > 0 && reading != result) result = {};
    if (readings == 1) result = reading;
  };
  if (!decimal.empty() && fractionStart >= decimal.size() &&
      text.substr(fractionStart - decimal.size(), decimal.size()) == decimal) {
    read(text.substr(0, fractionStart - decimal.size()), text.substr(fractionStart));
  }
  read(text, {});
  return result;
}

}  // namespace reference
