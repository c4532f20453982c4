#include "text.h"

#include <climits>
#include <cwchar>

#include "failure.h"

namespace runtime {

namespace {

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

// Decodes with mbrtowc, which follows LC_CTYPE. Returns false at the first invalid sequence unless
// `lenient`, which replaces each bad byte instead.
bool Decode(std::string_view bytes, bool lenient, std::u16string& out) {
  out.clear();
  out.reserve(bytes.size());
  std::mbstate_t state{};
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    wchar_t wc = 0;
    // mbrtowc reads a NUL byte as the end of a string; it is a character like any other here.
    std::size_t used = byte == 0 ? 1 : std::mbrtowc(&wc, bytes.data() + i, bytes.size() - i, &state);
    const auto c = static_cast<char32_t>(wc);
    const bool bad = used == static_cast<std::size_t>(-1) || used == static_cast<std::size_t>(-2) ||
                     c > 0x10FFFF || IsHighSurrogate(c) || IsLowSurrogate(c);
    if (bad) {
      if (!lenient) return false;
      out += u'\uFFFD';
      state = {};
      ++i;
      continue;
    }
    AppendUtf16(out, c);
    i += used;
  }
  return true;
}

}  // namespace

std::string ToAnsi(std::u16string_view text) {
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
