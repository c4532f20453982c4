#include "text.h"

#include <algorithm>
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

// ASCII needs no locale. The bytes below 0x80, in the initial shift state, are the ASCII characters
// in the charset of every locale that glibc supports (/usr/share/i18n/SUPPORTED). localedef makes
// one of any other, such as SHIFT_JIS, where 0x5C is U+00A5, only when forced (-c), warning that
// it is not ISO C compliant; there those bytes read and write as ASCII all the same. So an ASCII
// text is converted without loading a locale, and an ASCII byte without a library call.
bool IsAscii(std::uint32_t c) {
  return c < 0x80;
}
template <class Char>
bool IsAscii(std::basic_string_view<Char> text) {
  return std::all_of(text.begin(), text.end(),
                     [](Char c) { return IsAscii(static_cast<std::make_unsigned_t<Char>>(c)); });
}

// Whether a decoded name shows `c` as "?": a control character would break the line it stands in.
bool IsControl(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

// Decodes with mbrtowc, which follows LC_CTYPE. Returns false at the first invalid sequence unless
// `lenient`, for names: then each bad byte becomes U+FFFD and each control character "?".
bool Decode(std::string_view bytes, bool lenient, std::u16string& out) {
  if (IsAscii(bytes)) {
    out.assign(bytes.begin(), bytes.end());
    if (lenient) std::replace_if(out.begin(), out.end(), IsControl, u'?');
    return true;
  }
  // The interval, strict, is read only in the charset named; a name shown may fall back to C.
  UseLocale(LC_CTYPE, !lenient);
  out.clear();
  out.reserve(bytes.size());
  auto append = [&](char32_t c) {
    if (lenient && IsControl(c)) c = u'?';
    if (c < 0x10000) {
      out += static_cast<char16_t>(c);
    } else {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  };
  // A command line may be megabytes of ASCII around a single other character.
  bool initial = true;
  std::mbstate_t state{};
  std::size_t i = 0;
  // One byte may give several characters, out one call at a time (TSCII), and a byte may be held
  // back in the state until the next shows whether they combine (CP1255). So the state is emptied
  // after the last byte, by a NUL that lets out what it still holds.
  while (i < bytes.size() || !initial) {
    const bool flush = i == bytes.size();
    const unsigned char byte = flush ? 0 : static_cast<unsigned char>(bytes[i]);
    if (IsAscii(byte) && initial) {
      append(byte);
      ++i;
      continue;
    }
    // What no character can be: it tells a call that gave one from a call that took bytes alone.
    constexpr auto kNone = static_cast<wchar_t>(-1);
    wchar_t wc = kNone;
    std::size_t used = flush ? std::mbrtowc(&wc, "", 1, &state)
                             : std::mbrtowc(&wc, bytes.data() + i, bytes.size() - i, &state);
    if (used == static_cast<std::size_t>(-3)) used = 0;  // a character held from an earlier call
    if (used == 0 && wc == 0) used = 1;  // a NUL byte, a character like any other here
    const auto c = static_cast<char32_t>(wc);
    const bool bad = used == static_cast<std::size_t>(-1) || used == static_cast<std::size_t>(-2) ||
                     (used == 0 && wc == kNone) ||
                     (wc != kNone && (c > 0x10FFFF || IsHighSurrogate(c) || IsLowSurrogate(c)));
    if (flush) {
      // The added NUL is taken: nothing is held any more. A charset that gives neither gives up.
      if (bad || used != 0 || wc == kNone) break;
      append(c);
      continue;
    }
    if (bad) {
      if (!lenient) return false;
      out += u'\uFFFD';
      state = {};
      initial = true;
      ++i;
      continue;
    }
    if (wc != kNone) append(c);
    initial = std::mbsinit(&state) != 0;
    i += used;
  }
  return true;
}

}  // namespace

std::string ToAnsi(std::u16string_view text) {
  if (IsAscii(text)) return std::string(text.begin(), text.end());
  UseLocale(LC_CTYPE, false);  // C shows what ASCII lacks as "?"
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
