// Fuzzes runtime::ParseLong against the reference reading (reference.h), in two modes chosen by the
// first byte of the input:
//
// - free text: the input gives a decimal and a group separator (each 0 to 3 characters) and the
//   tail, optionally repeated up to 64 Ki characters so that a superlinear scan
//   runs into libFuzzer's -timeout; the conversion must agree with the reference, failure kind
//   included, wherever the reference has a verdict;
// - round trip: the input gives a sign, a magnitude up to 2^32 - 1, fraction digits, a grouping
//   and one of a set of locales' separators; the number is written out the way a user of that
//   locale would and must convert back to its rounding, half to even, or to kOverflow.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "failure.h"
#include "number.h"
#include "reference.h"

namespace {

using reference::Kind;
using reference::Outcome;

// Reads the input front to back; past its end every read gives 0.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  bool Empty() const { return pos_ >= size_; }

  // One character: a byte picks from ASCII and a set of characters that look like parts of a
  // number somewhere; in wide mode two bytes give any UTF-16 unit, lone surrogates included.
  char16_t Char(bool wide) {
    if (wide) {
      const std::uint8_t low = Byte();
      return static_cast<char16_t>(low | (Byte() << 8));
    }
    static constexpr char16_t kLookAlikes[] = {
        u'\u00A0', u'\u202F', u'\u2009', u'\u2007', u'\u3000', u'\uFEFF', u'\u066B', u'\u066C',
        u'\u0660', u'\u0665', u'\u0669', u'\u06F5', u'\u0966', u'\uFF10', u'\uFF15', u'\uFF19',
        u'\uFF0B', u'\uFF0D', u'\uFF0C', u'\uFF0E', u'\u2212', u'\u2019', u'\u00B7', u'\u02D9',
        u'\u0085', u'\u2028', u'\uFFFD', u'\uFFFF', 0xD800,    0xDBFF,    0xDC00,    0xDFFF};
    const std::uint8_t byte = Byte();
    if (byte < 0x80) return byte;
    if (byte < 0x80 + std::size(kLookAlikes)) return kLookAlikes[byte - 0x80];
    return byte;  // Latin-1
  }

  std::u16string Text(std::size_t length, bool wide) {
    std::u16string text;
    for (std::size_t i = 0; i < length && !Empty(); ++i) text += Char(wide);
    return text;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

std::string Show(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char escaped[16];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
      out += escaped;
    }
  }
  return out;
}

std::string Show(const Outcome& outcome) {
  switch (outcome.kind) {
    case Kind::kValue:
      return std::to_string(outcome.value);
    case Kind::kTypeMismatch:
      return "type mismatch";
    case Kind::kOverflow:
      return "overflow";
    case Kind::kUnknown:
      break;
  }
  return "unknown";
}

Outcome Actual(std::u16string_view text, std::u16string_view decimal, std::u16string_view group) {
  try {
    return {Kind::kValue, runtime::ParseLong(text, decimal, group)};
  } catch (const runtime::RuntimeError& error) {
    if (error.number() == runtime::kTypeMismatch) return {Kind::kTypeMismatch, 0};
    if (error.number() == runtime::kOverflow) return {Kind::kOverflow, 0};
    std::fprintf(stderr, "ParseLong raised run-time error %d\n", error.number());
    std::abort();
  }
}

void Expect(const Outcome& expected, std::u16string_view text, std::u16string_view decimal,
            std::u16string_view group) {
  const Outcome actual = Actual(text, decimal, group);
  if (expected.kind == Kind::kUnknown || actual == expected) return;
  std::fprintf(stderr, "ParseLong(\"%s\", decimal \"%s\", group \"%s\"): %s, expected %s\n",
               Show(text.substr(0, 200)).c_str(), Show(decimal).c_str(), Show(group).c_str(),
               Show(actual).c_str(), Show(expected).c_str());
  std::abort();
}

void FreeText(Input& in, std::uint8_t mode) {
  const bool wide = (mode & 0x10) != 0;
  const std::u16string decimal = in.Text(mode & 3, wide);
  const std::u16string group = in.Text((mode >> 2) & 3, wide);
  std::u16string text = in.Text(SIZE_MAX, wide);
  if ((mode & 0xC0) == 0xC0 && !text.empty()) {
    // Repeating all but the first character keeps a leading sign or digit at the front.
    constexpr std::size_t kLimit = 64 * 1024;
    const std::u16string unit = text.substr(text.size() > 1 ? 1 : 0);
    while (text.size() + unit.size() <= kLimit) text += unit;
  }
  Expect(reference::Convert<char16_t>(text, decimal, group), text, decimal, group);
}

struct Locale {
  const char16_t* decimal;
  const char16_t* group;
};

// Separators as locales have them, plain spaces and several-character ones included.
constexpr Locale kLocales[] = {
    {u".", u""},       {u".", u","},  {u",", u"."},      {u",", u"\u202F"},      {u",", u"\u00A0"},
    {u",", u" "},      {u".", u"'"},  {u".", u"\u2019"}, {u"\u066B", u"\u066C"}, {u"\u066B", u""},
    {u"<dec>", u"::"}, {u"::", u":"}, {u":", u"::"},     {u"\u00B7", u"\u02D9"}, {u",", u""},
    {u"", u","}};

void RoundTrip(Input& in, std::uint8_t mode) {
  const Locale& locale = kLocales[in.Byte() % std::size(kLocales)];
  const std::u16string_view decimal = locale.decimal, group = locale.group;
  const bool negative = (mode & 1) != 0;
  std::uint32_t magnitude = 0;
  for (int i = 0; i < 4; ++i) magnitude = magnitude << 8 | in.Byte();
  std::string fraction;
  if (!decimal.empty()) {
    const int length = in.Byte() % 24;
    for (int i = 0; i < length; ++i) fraction += static_cast<char>('0' + in.Byte() % 10);
  }
  const std::uint8_t layout = in.Byte();
  std::uint32_t groupAfter = 0;  // bit i: a separator after the i-th digit from the right
  for (int i = 0; i < 4; ++i) groupAfter = groupAfter << 8 | in.Byte();

  // The expected value first, on 64 bits: v rounded half to even, then the range.
  std::int64_t rounded = magnitude;
  if (!fraction.empty() &&
      (fraction[0] > '5' ||
       (fraction[0] == '5' &&
        (fraction.find_first_not_of('0', 1) != std::string::npos || magnitude % 2 == 1)))) {
    ++rounded;
  }
  const std::int64_t value = negative ? -rounded : rounded;
  const Outcome expected = value < INT32_MIN || value > INT32_MAX
                               ? Outcome{Kind::kOverflow, 0}
                               : Outcome{Kind::kValue, static_cast<std::int32_t>(value)};

  // Then the text: blanks, sign, leading zeros, grouped digits, separator and fraction.
  std::u16string text((layout & 3) == 3 ? 2 : 0, u' ');
  if (negative) {
    text += u'-';
  } else if ((layout & 4) != 0) {
    text += u'+';
  }
  std::string digits = std::to_string(magnitude);
  digits.insert(0, (layout >> 3) & 3, '0');
  const bool omitZero = digits == "0" && !fraction.empty() && (layout & 0x20) != 0;  // ".5"
  const bool everyThird = (layout & 0x40) != 0;
  if (!omitZero) {
    for (std::size_t i = 0; i < digits.size(); ++i) {
      text += static_cast<char16_t>(digits[i]);
      const std::size_t fromRight = digits.size() - 1 - i;  // digits still to come
      const bool separate = everyThird ? fromRight % 3 == 0 : (groupAfter >> (fromRight % 32)) & 1;
      if (fromRight > 0 && separate && group != decimal) text += group;
    }
  }
  if (!fraction.empty() || (layout & 0x80) != 0) text += decimal;  // "5." is a number too
  for (char digit : fraction) text += static_cast<char16_t>(digit);
  if ((layout & 3) != 0) text += (layout & 1) != 0 ? u"\t" : u"  ";

  Expect(expected, text, decimal, group);
  // The reference must read the same text the same way, or it is not worth trusting elsewhere.
  const Outcome read = reference::Convert<char16_t>(text, decimal, group);
  if (read.kind != Kind::kUnknown && read != expected) {
    std::fprintf(stderr, "reference reads \"%s\" as %s, expected %s\n", Show(text).c_str(),
                 Show(read).c_str(), Show(expected).c_str());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in(data, size);
  const std::uint8_t mode = in.Byte();
  if ((mode & 0x20) != 0) {
    RoundTrip(in, mode);
  } else {
    FreeText(in, mode);
  }
  return 0;
}
