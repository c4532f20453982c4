#include "number.h"

#include "failure.h"

namespace runtime {

namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}
bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

bool HasAt(std::u16string_view text, std::size_t pos, std::u16string_view part) {
  return !part.empty() && text.substr(pos, part.size()) == part;
}

}  // namespace

std::int32_t ParseLong(std::u16string_view text, std::u16string_view decimal,
                       std::u16string_view group) {
  if (group == decimal) group = {};

  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  text = text.substr(begin, end - begin);

  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }

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

std::int32_t ToLong(std::u16string_view text) {
  // Blanks, a sign and digits alone read the same with any separators, as no separator is a digit:
  // the locale, costly to load, is asked only for other texts.
  std::size_t i = text.find_first_not_of(u" \t");
  if (i != std::u16string_view::npos && (text[i] == u'+' || text[i] == u'-')) ++i;
  const std::size_t digits = text.find_first_not_of(u"0123456789", i);
  if (text.find_first_not_of(u" \t", digits) == std::u16string_view::npos) {
    return ParseLong(text, {}, {});
  }
  const Separators separators = LocaleSeparators();
  return ParseLong(text, separators.decimal, separators.group);
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
