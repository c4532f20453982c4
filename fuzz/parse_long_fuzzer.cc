// Fuzzes the conversion. Any text with any separators is read or refused without a crash, and a
// number written the way a user of some locale writes it (blanks, sign, leading zeros, groups,
// fraction) reads back rounded half to even, or is refused as out of range.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>

#include "failure.h"
#include "number.h"

namespace {

struct Locale {
  const char16_t* decimal;
  const char16_t* group;
};
constexpr Locale kLocales[] = {{u".", u""},       {u".", u","},      {u",", u"."},
                               {u",", u"\u202F"}, {u",", u"\u00A0"}, {u",", u" "},
                               {u".", u"'"},      {u".", u"\u2019"}, {u"\u066B", u"\u066C"},
                               {u",", u""},       {u"<d>", u"::"},   {u"::", u":"},
                               {u":", u"::"},     {u"", u","}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::size_t pos = 0;
  auto byte = [&] { return pos < size ? data[pos++] : std::uint8_t{0}; };
  const Locale& locale = kLocales[byte() % std::size(kLocales)];
  const std::u16string_view decimal = locale.decimal, group = locale.group;

  std::u16string any;
  for (std::size_t i = pos; i + 1 < size; i += 2)
    any += static_cast<char16_t>(data[i] | data[i + 1] << 8);
  try {
    runtime::ParseLong(any, decimal, group);
  } catch (const runtime::RuntimeError&) {
  }

  const std::uint8_t layout = byte();
  std::uint32_t magnitude = 0,
                groupAfter = 0;  // bit i: a separator after the i-th digit from the right
  for (int i = 0; i < 4; ++i) magnitude = magnitude << 8 | byte();
  for (int i = 0; i < 4; ++i) groupAfter = groupAfter << 8 | byte();
  std::string fraction;
  for (int i = decimal.empty() ? 0 : byte() % 24; i > 0; --i) fraction += char('0' + byte() % 10);
  const bool negative = (layout & 1) != 0;

  std::int64_t value = magnitude;
  if (!fraction.empty() &&
      (fraction[0] > '5' ||
       (fraction[0] == '5' &&
        (magnitude % 2 == 1 || fraction.find_first_not_of('0', 1) != std::string::npos))))
    ++value;
  if (negative) value = -value;
  const bool inRange = value >= INT32_MIN && value <= INT32_MAX;

  std::u16string text((layout & 2) != 0 ? 2 : 0, u' ');
  text += negative ? u"-" : (layout & 4) != 0 ? u"+" : u"";
  const std::string digits = std::string((layout >> 3) & 3, '0') + std::to_string(magnitude);
  for (std::size_t i = 0; i < digits.size(); ++i) {
    text += static_cast<char16_t>(digits[i]);
    const std::size_t rest = digits.size() - 1 - i;
    const bool separate = (layout & 0x20) != 0 ? rest % 3 == 0 : (groupAfter >> (rest % 32)) & 1;
    if (rest > 0 && separate) text += group;
  }
  if (!fraction.empty() || (layout & 0x40) != 0) text += decimal;  // "5." is a number too
  text += std::u16string(fraction.begin(), fraction.end());
  if ((layout & 0x80) != 0) text += u"\t ";

  try {
    const std::int32_t read = runtime::ParseLong(text, decimal, group);
    if (inRange && read == value) return 0;
  } catch (const runtime::RuntimeError& error) {
    if (!inRange && error.number() == runtime::kOverflow) return 0;
  }
  std::fprintf(stderr, "%s%u.%s in locale %zu: not read as %lld\n", negative ? "-" : "", magnitude,
               fraction.c_str(), static_cast<std::size_t>(&locale - kLocales),
               static_cast<long long>(value));
  std::abort();
}
