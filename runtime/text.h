// Texts are UTF-16; these turn them into the bytes of the system's code page and back.
#pragma once

#include <string>
#include <string_view>

namespace runtime {

// The blanks: a command line's arguments are separated by them, and they may stand around a number.
inline bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

// The bytes of `text` in the ANSI code page: on POSIX, the charset of the LC_CTYPE locale. Each
// character the code page can't represent, a lone surrogate included, becomes one "?". No line-end
// translation and no byte-order mark.
std::string ToAnsi(std::u16string_view text);

// Decodes bytes of the locale's charset. Raises kTypeMismatch on a byte sequence that is not valid
// text in that charset.
std::u16string FromLocale(std::string_view bytes);

// Like FromLocale, but each undecodable byte becomes U+FFFD: for names, which are shown, not
// parsed.
std::u16string FromLocaleLenient(std::string_view bytes);

}  // namespace runtime
