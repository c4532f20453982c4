#include "text.h"

#include <climits>
#include <clocale>
#include <cstdint>
#include <cwchar>

#include "failure.h"
#include "user_locale.h"

namespace runtime {

namespace {

bool IsHighSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char32_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

template <class Char>
bool IsAscii(std::basic_string_view<Char> text) {
  for (const Char c : text) {
    if (static_cast<std::uint32_t>(c) >= 0x80) return false;
  }
  return true;
}

// Whether the locale's charset reads each byte below 0x80, in the initial shift state, as that
// ASCII character. Every charset glibc offers for a locale does, but asking costs little.
bool AsciiCompatible() {
  for (int c = 1; c < 0x80; ++c) {
    const char byte = static_cast<char>(c);
    wchar_t wc = 0;
    std::mbstate_t state{};
    if (std::mbrtowc(&wc, &byte, 1, &state) != 1 || wc != static_cast<wchar_t>(c)) return false;
  }
  return true;
}

// Decodes with mbrtowc, which follows LC_CTYPE. Returns false at the first invalid sequence unless
// `lenient`, which replaces each bad byte instead.
bool Decode(std::string_view bytes, bool lenient, std::u16string& out) {
  // ASCII reads the same in every charset glibc offers for a locale: no locale needs loading.
  if (IsAscii(bytes)) {
    out.assign(bytes.begin(), bytes.end());
    return true;
  }
  UseLocale(LC_CTYPE);
  // At most one UTF-16 unit per byte: a character beyond U+FFFF takes four bytes in every charset
  // that has one, and two units.
  out.assign(bytes.size(), u'\0');
  char16_t* next = out.data();
  // A command line may be megabytes of ASCII: those bytes skip the library call while the
  // conversion is in its initial shift state.
  const bool ascii = AsciiCompatible();
  bool initial = true;
  std::mbstate_t state{};
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x80 && ascii && initial) {
      *next++ = byte;
      ++i;
      continue;
    }
    wchar_t wc = 0;
    // mbrtowc reads a NUL byte as the end of a string; it is a character like any other here.
    std::size_t used =
        byte == 0 ? 1 : std::mbrtowc(&wc, bytes.data() + i, bytes.size() - i, &state);
    const auto c = static_cast<char32_t>(wc);
    const bool bad = used == static_cast<std::size_t>(-1) || used == static_cast<std::size_t>(-2) ||
                     c > 0x10FFFF || IsHighSurrogate(c) || IsLowSurrogate(c) ||
                     (c >= 0x10000 && used < 2);
    if (bad) {
      if (!lenient) return false;
      *next++ = u'\uFFFD';
      state = {};
      initial = true;
      ++i;
      continue;
    }
    if (c < 0x10000) {
      *next++ = static_cast<char16_t>(c);
    } else {
      *next++ = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      *next++ = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
    initial = std::mbsinit(&state) != 0;
    i += used;
  }
  // A charset may decode one sequence to two characters and give out the second on the next
  // call, without taking a byte (BIG5-HKSCS: 88 62 is U+00CA U+0304). After the last byte it is
  // still waiting in the state.
  while (!std::mbsinit(&state)) {
    wchar_t wc = 0;
    const std::size_t used = std::mbrtowc(&wc, "", 1, &state);
    const auto c = static_cast<char32_t>(wc);
    if (used != 0 || c == 0 || c >= 0x10000 || IsHighSurrogate(c) || IsLowSurrogate(c)) break;
    *next++ = static_cast<char16_t>(c);
  }
  out.resize(static_cast<std::size_t>(next - out.data()));
  return true;
}

}  // namespace

std::string ToAnsi(std::u16string_view text) {
  // ASCII is the same bytes in every charset glibc offers for a locale.
  if (IsAscii(text)) return std::string(text.begin(), text.end());
  UseLocale(LC_CTYPE);
  std::string out;
  out.reserve(text.size());
  std::mbstate_t state{};
  char buffer[MB_LEN_MAX];
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
      ++i;
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      out += '?';
      continue;
    }
    const std::size_t n = std::wcrtomb(buffer, static_cast<wchar_t>(c), &state);
    if (n == static_cast<std::size_t>(-1)) {
      out += '?';
      state = {};
    } else {
      out.append(buffer, n);
    }
  }
  return out;
}

std::u16string FromLocale(std::string_view bytes) {
  std::u16string text;
  if (!Decode(bytes, false, text)) throw RuntimeError(kTypeMismatch);
  return text;
}

std::u16string FromLocaleLenient(std::string_view bytes) {
  std::u16string text;
  Decode(bytes, true, text);
  return text;
}

}  // namespace runtime
