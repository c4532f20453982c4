#include "support.h"

#include <limits>

namespace {

// Offers `call` a buffer of `guess` characters, which is enough for most texts, and, when the text
// needs more, one of the size it asks for: most texts are read once. A text that changes between
// the calls (it can't here, but the protocol allows it) is asked for again.
template <class Call>
HRESULT FetchText(std::u16string& out, std::size_t guess, Call call) {
  std::u16string buffer(guess, u'\0');
  auto length = static_cast<std::int32_t>(guess);
  HRESULT hr = call(buffer.data(), length, &length);
  for (int attempt = 0; attempt < 3 && hr == E_NOT_SUFFICIENT_BUFFER; ++attempt) {
    if (length <= 0) return E_FAIL;
    buffer.assign(static_cast<std::size_t>(length), u'\0');
    hr = call(buffer.data(), length, &length);
  }
  if (FAILED(hr)) return hr;
  if (length < 0 || static_cast<std::size_t>(length) > buffer.size()) return E_FAIL;
  buffer.resize(static_cast<std::size_t>(length));
  out = std::move(buffer);
  return hr;
}

}  // namespace

HRESULT ksRegisterAppPath(std::u16string& path) {
  constexpr std::size_t kMaxPath = 260;  // Windows' MAX_PATH: room for most programs' paths
  return FetchText(path, kMaxPath,
                   [](char16_t* buffer, std::int32_t capacity, std::int32_t* length) {
                     return ksRegisterAppPath(buffer, capacity, length);
                   });
}

HRESULT ksSetWindowResIconAll(HWND hWnd, const std::u16string& resourceName) {
  return ksSetWindowResIconAll(hWnd, resourceName.c_str());
}

HRESULT ksAnsiToOem(std::u16string& text) {
  constexpr std::size_t kLimit = std::numeric_limits<std::int32_t>::max() / 2;
  if (text.size() > kLimit) return E_INVALIDARG;
  std::u16string buffer = text;
  buffer.resize(text.size() * 2);
  auto length = static_cast<std::int32_t>(text.size());
  const HRESULT hr = ksAnsiToOem(buffer.data(), static_cast<std::int32_t>(buffer.size()), &length);
  if (FAILED(hr)) return hr;
  if (length < 0 || static_cast<std::size_t>(length) > buffer.size()) return E_FAIL;
  buffer.resize(static_cast<std::size_t>(length));
  text = std::move(buffer);
  return hr;
}

HRESULT ksFormatVersion(std::int16_t major, std::int16_t minor, std::int16_t revision,
                        std::u16string& version) {
  return FetchText(version, 20, [=](char16_t* buffer, std::int32_t capacity, std::int32_t* length) {
    return ksFormatVersion(major, minor, revision, buffer, capacity, length);
  });
}
