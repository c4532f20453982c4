// Numbers in and out of texts, the way the run-time converts them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace runtime {

// Converts `text` to a 32-bit integer, or raises kTypeMismatch (not a number) or kOverflow.
//
// Accepted: blanks (space, tab) around the number; one leading "+" or "-"; ASCII digits; the group
// separator between two digits of the integer part; one decimal separator followed by the
// fraction. A fraction rounds to the nearest integer, an exact half to the even one, before the
// range is checked. Either separator may be several characters or empty (absent); when both are
// the same, the text is read with the decimal separator alone. Runs in time linear in the text.
std::int32_t ParseLong(std::u16string_view text, std::u16string_view decimal,
                       std::u16string_view group);

// The user locale's decimal and digit-group separators; empty where the locale has none.
struct Separators {
  std::u16string decimal;
  std::u16string group;
};
Separators LocaleSeparators();

// ParseLong with the separators of the user's locale, or of `separators`, asked for only when the
// text has more than blanks, a sign and digits.
std::int32_t ToLong(std::u16string_view text, Separators (*separators)() = LocaleSeparators);

// Plain decimal digits, with "-" for a negative value: no grouping, no leading zeros.
std::u16string Decimal(std::int32_t value);

}  // namespace runtime
