// The run-time's reading of text. Any text with any separators is read or refused without a fault,
// ToLong's ASCII shortcut agrees with ParseLong, and a number written as some locale writes it
// reads back rounded half to even. Bytes in unusual charsets read or fail as iconv has them.
#include <dirent.h>
#include <iconv.h>
#include <langinfo.h>

#include <algorithm>
#include <bit>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>

#include "failure.h"
#include "number.h"
#include "text.h"

// Decimal and group separators as locales have them, empty or of several characters too.
constexpr const char16_t* kLocales[][2] = {
    {u".", u""},       {u".", u","},  {u",", u"."},      {u",", u"\u202F"},
    {u",", u"\u00A0"}, {u",", u" "},  {u".", u"\u2019"}, {u"\u066B", u"\u066C"},
    {u"<d>", u"::"},   {u"::", u":"}, {u":", u"::"},     {u"", u","}};
static dirent** gCharsets;  // a locale per charset in LOCPATH, from scripts/fuzz, in name order
static int gCharsetCount;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* path = std::getenv("LOCPATH");
  gCharsetCount = ::scandir(
      path != nullptr ? path : "/nowhere", &gCharsets,
      [](const dirent* entry) { return static_cast<int>(entry->d_name[0] != '.'); }, ::alphasort);
  if (gCharsetCount <= 0) std::abort();  // run through scripts/fuzz, which makes them
  // The environment's locale loads once, at the first text that needs it: now, not per charset.
  runtime::FromLocaleLenient("\x80");
  return 0;
}

static void Require(bool holds) {
  if (!holds) std::abort();  // the input reproduces it
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string any;
  for (std::size_t i = 1; i + 1 < size; i += 2)
    any += static_cast<char16_t>(data[i] | data[i + 1] << 8);
  std::size_t pos = 0;
  auto byte = [&] { return pos < size ? data[pos++] : std::uint8_t{0}; };
  const std::uint8_t first = byte();
  const auto* separators = kLocales[first % std::size(kLocales)];
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
  Require(read([&] { return runtime::ToLong(ascii, [] { return chosen; }); }) ==
          read([&] { return runtime::ParseLong(ascii, decimal, group); }));

  // The bytes after the first, in the charset it picks, as iconv (no code of ours) reads them.
  Require(std::setlocale(LC_CTYPE, gCharsets[first % gCharsetCount]->d_name) != nullptr);
  const iconv_t toUtf16 = ::iconv_open(
      std::endian::native == std::endian::big ? "UTF-16BE" : "UTF-16LE", ::nl_langinfo(CODESET));
  std::string bytes(reinterpret_cast<const char*>(data) + pos, size - pos);
  std::u16string expected(bytes.size() * 4, u'\0');  // TSCII: up to 4 characters for a byte
  char *in = bytes.data(), *out = reinterpret_cast<char*>(expected.data());
  std::size_t inLeft = bytes.size(), outLeft = expected.size() * 2;
  const bool valid = ::iconv(toUtf16, &in, &inLeft, &out, &outLeft) != std::size_t(-1) &&
                     ::iconv(toUtf16, nullptr, nullptr, &out, &outLeft) != std::size_t(-1);
  ::iconv_close(toUtf16);
  expected.resize(expected.size() - outLeft / 2);
  try {
    Require(runtime::FromLocale(bytes) == expected && valid);
  } catch (const runtime::RuntimeError&) {
    Require(!valid);
  }
  std::ranges::replace_if(
      expected, [](char16_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }, u'?');
  Require(!valid || runtime::FromLocaleLenient(bytes) == expected);  // a name, controls as "?"

  const std::uint8_t layout = byte();
  std::uint32_t magnitude = 0, groupAfter = 0;  // bit i: a separator after digit i from the right
  for (int i = 0; i < 4; ++i) magnitude = magnitude << 8 | byte();
  for (int i = 0; i < 4; ++i) groupAfter = groupAfter << 8 | byte();
  std::u16string fraction;
  for (int i = decimal.empty() ? 0 : byte() % 24; i > 0; --i)
    fraction += char16_t(u'0' + byte() % 10);
  const std::u16string half = fraction.substr(0, fraction.find_last_not_of(u'0') + 1);  // vs "5"
  const bool up = half > u"5" || (half == u"5" && magnitude % 2 == 1);
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
  Require(read([&] { return runtime::ParseLong(text, decimal, group); }) ==
          (inRange ? value : std::int64_t{INT32_MIN} - runtime::kOverflow));
  return 0;
}
