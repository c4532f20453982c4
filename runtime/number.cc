#include "number.h"

#include <algorithm>

#include "failure.h"
#include "text.h"

namespace runtime {

namespace {

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

bool HasAt(std::u16string_view text, std::size_t pos, std::u16string_view part) {
  return !part.empty() && text.substr(pos, part.size()) == part;
}

// The part of the grammar that no separator takes part in: the blanks around the number and its
// sign go, the magnitude remains.
std::u16string_view Magnitude(std::u16string_view text, bool& negative) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  negative = begin < end && text[begin] == u'-';
  if (begin < end && (text[begin] == u'+' || text[begin] == u'-')) ++begin;
  return text.substr(begin, end - begin);
}

}  // namespace

std::int32_t ParseLong(std::u16string_view text, std::u16string_view decimal,
                       std::u16string_view group) {
  if (group == decimal) group = {};
  bool negative = false;
  text = Magnitude(text, negative);

  std::size_t i = 0;

  // The magnitude stops growing once it is past any value that could still round into range,
  // so that a long run of digits costs no more than a short one.
  constexpr std::uint64_t kCeiling = 2147483648u;
  std::uint64_t magnitude = 0;
  bool overflow = false;
  bool anyDigit = false;
  bool afterDigit = false;
  while (i < text.size()) {
    const char16_t c = text[i];
    if (IsDigit(c)) {
      magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - u'0');
      if (magnitude > kCeiling) {
        overflow = true;
        magnitude = kCeiling + 1;
      }
      anyDigit = afterDigit = true;
      ++i;
    } else if (afterDigit && HasAt(text, i, group) && i + group.size() < text.size() &&
               IsDigit(text[i + group.size()])) {
      // A separator stands between two digits: never first, last, doubled or in the fraction.
      i += group.size();
      afterDigit = false;
    } else {
      break;
    }
  }

  int firstFractionDigit = 0;
  bool restNonZero = false;
  if (HasAt(text, i, decimal)) {
    i += decimal.size();
    for (bool first = true; i < text.size() && IsDigit(text[i]); ++i, first = false) {
      const int digit = text[i] - u'0';
      if (first) {
        firstFractionDigit = digit;
      } else if (digit != 0) {
        restNonZero = true;
      }
      anyDigit = true;
    }
  }
  if (i != text.size() || !anyDigit) throw RuntimeError(kTypeMismatch);

  const bool roundUp =
      firstFractionDigit > 5 || (firstFractionDigit == 5 && (restNonZero || (magnitude & 1) != 0));
  if (roundUp) ++magnitude;

  const std::uint64_t limit = negative ? kCeiling : kCeiling - 1;
  if (overflow || magnitude > limit) throw RuntimeError(kOverflow);
  const auto value = static_cast<std::int64_t>(magnitude);
  return static_cast<std::int32_t>(negative ? -value : value);
}

std::int32_t ToLong(std::u16string_view text, Separators (*separators)()) {
  // A magnitude of digits alone (or none) reads the same with any separators, as no separator is a
  // digit: the separators, costly to load, are asked for only for other texts.
  bool negative = false;
  const std::u16string_view magnitude = Magnitude(text, negative);
  if (std::all_of(magnitude.begin(), magnitude.end(), IsDigit)) return ParseLong(text, {}, {});
  const Separators given = separators();
  return ParseLong(text, given.decimal, given.group);
}

std::u16string Decimal(std::int32_t value) {
  std::int64_t rest = value;
  const bool negative = rest < 0;
  if (negative) rest = -rest;
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + rest % 10));
    rest /= 10;
  } while (rest != 0);
  if (negative) digits.insert(digits.begin(), u'-');
  return digits;
}

}  // namespace runtime
