// Fuzzes the conversion. Any text with any separators is read or refused without a fault; ToLong,
// which skips the separators where it can, reads every ASCII tail exactly as ParseLong with them;
// and a number written the way a user of some locale writes it (blanks, sign, leading zeros,
// groups, fraction) reads back rounded half to even, or is refused as out of range.

#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>

#include "failure.h"
#include "number.h"

// Decimal and group separators as locales have them, empty or of several characters too.
constexpr const char16_t* kLocales[][2] = {
    {u".", u""},       {u".", u","},  {u",", u"."},      {u",", u"\u202F"},
    {u",", u"\u00A0"}, {u",", u" "},  {u".", u"\u2019"}, {u"\u066B", u"\u066C"},
    {u"<d>", u"::"},   {u"::", u":"}, {u":", u"::"},     {u"", u","}};

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string any;
  for (std::size_t i = 1; i + 1 < size; i += 2)
    any += static_cast<char16_t>(data[i] | data[i + 1] << 8);
  std::size_t pos = 0;
  auto byte = [&] { return pos < size ? data[pos++] : std::uint8_t{0}; };
  const auto* separators = kLocales[byte() % std::size(kLocales)];
  const std::u16string_view decimal = separators[0], group = separators[1];
  auto read = [&](auto parse) -> std::int64_t {  // a value, or below the range: the failure
    try {
      return parse();
    } catch (const runtime::RuntimeError& error) {
      return std::int64_t{INT32_MIN} - error.number();
    }
  };
  read([&] { return runtime::ParseLong(any, decimal, group); });
  static runtime::Separators chosen;
  chosen = {std::u16string(decimal), std::u16string(group)};
  std::u16string ascii;
  for (std::size_t i = 0; i < size; ++i) ascii += u" \t+-0123456789.,"[data[i] % 16];
  if (read([&] { return runtime::ToLong(ascii, [] { return chosen; }); }) !=
      read([&] { return runtime::ParseLong(ascii, decimal, group); }))
    std::abort();

  const std::uint8_t layout = byte();
  std::uint32_t magnitude = 0, groupAfter = 0;  // bit i: a separator after digit i from the right
  for (int i = 0; i < 4; ++i) magnitude = magnitude << 8 | byte();
  for (int i = 0; i < 4; ++i) groupAfter = groupAfter << 8 | byte();
  std::u16string fraction;
  for (int i = decimal.empty() ? 0 : byte() % 24; i > 0; --i)
    fraction += char16_t(u'0' + byte() % 10);
  const bool up =
      !fraction.empty() &&
      (fraction[0] > u'5' ||
       (fraction[0] == u'5' &&
        (magnitude % 2 == 1 || fraction.find_first_not_of(u'0', 1) != std::u16string::npos)));
  const std::int64_t value = (layout & 1 ? -1 : 1) * (std::int64_t{magnitude} + up);

  std::u16string text((layout & 2) != 0 ? 2 : 0, u' ');
  text += (layout & 1) != 0 ? u"-" : (layout & 4) != 0 ? u"+" : u"";
  const std::string digits = std::string((layout >> 3) & 3, '0') + std::to_string(magnitude);
  for (std::size_t i = 0; i < digits.size(); ++i) {
    text += static_cast<char16_t>(digits[i]);
    const std::size_t rest = digits.size() - 1 - i;
    if (rest > 0 && ((layout & 0x20) != 0 ? rest % 3 == 0 : (groupAfter >> rest % 32) & 1))
      text += group;
  }
  if (!fraction.empty() || (layout & 0x40) != 0) text += decimal;  // "5." is a number too
  text += fraction + ((layout & 0x80) != 0 ? u"\t " : u"");

  const bool inRange = value >= INT32_MIN && value <= INT32_MAX;
  if (read([&] { return runtime::ParseLong(text, decimal, group); }) !=
      (inRange ? value : std::int64_t{INT32_MIN} - runtime::kOverflow))
    std::abort();  // the input reproduces it
  return 0;
}
