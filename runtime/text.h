// Texts are UTF-16; these turn them into the bytes of the system's code page and back.
#pragma once

#include <string>
#include <string_view>

namespace runtime {

// The blanks: a command line's arguments are separated by them, and they may stand around a number.
inline bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

// The bytes of `text` in the ANSI code page: on POSIX, the charset of the LC_CTYPE locale. A
// character the code page can't represent, a lone surrogate included, becomes one "?" on POSIX; on
// Windows the system's best fit, the nearest character the code page has ("é" as "e"), else "?".
// No line-end translation and no byte-order mark.
std::string ToAnsi(std::u16string_view text);

// POSIX only, where the command line and the program's name come as bytes: Windows gives both as
// UTF-16.
//
// Decodes bytes of the locale's charset. Raises kTypeMismatch on a byte sequence that is not valid
// text in that charset, and a FatalError where bytes outside ASCII need an LC_CTYPE locale that
// can't be loaded (user_locale.h).
std::u16string FromLocale(std::string_view bytes);

// Like FromLocale, but each undecodable byte becomes U+FFFD, and a locale that can't be loaded
// leaves C: for names, which are shown, not parsed.
std::u16string FromLocaleLenient(std::string_view bytes);

}  // namespace runtime
