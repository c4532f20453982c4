// What both builds of the support library share: handing a text back through the caller's
// buffer, and the version's text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "support.h"

namespace support {

// Stores `text` in the caller's buffer if it fits, and its length in *length either way.
inline HRESULT GiveText(std::u16string_view text, char16_t* buffer, std::int32_t capacity,
                        std::int32_t* length) {
  if (length == nullptr || (buffer == nullptr && capacity != 0) || capacity < 0) return E_POINTER;
  if (text.size() > 0x7FFFFFFF) return E_OUTOFMEMORY;
  *length = static_cast<std::int32_t>(text.size());
  if (text.size() > static_cast<std::size_t>(capacity)) return E_NOT_SUFFICIENT_BUFFER;
  text.copy(buffer, text.size());
  return S_OK;
}

// "1.00.0004". The digits are made here, so that no locale or C library variant can change them.
inline HRESULT FormatVersion(std::int16_t major, std::int16_t minor, std::int16_t revision,
                             char16_t* version, std::int32_t capacity, std::int32_t* length) {
  if (major < 0 || minor < 0 || revision < 0) return E_INVALIDARG;
  char16_t text[20];  // three numbers of at most five digits, two points
  std::size_t size = 0;
  auto append = [&](int value, int width) {
    char16_t digits[5];
    int count = 0;
    do {
      digits[count++] = static_cast<char16_t>(u'0' + value % 10);
      value /= 10;
    } while (value != 0);
    for (; width > count; --width) text[size++] = u'0';
    while (count > 0) text[size++] = digits[--count];
  };
  append(major, 1);
  text[size++] = u'.';
  append(minor, 2);
  text[size++] = u'.';
  append(revision, 4);
  return GiveText(std::u16string_view(text, size), version, capacity, length);
}

}  // namespace support
