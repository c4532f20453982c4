#include "support.h"

#include <limits>

namespace {

// Asks `call` for the size first and then fills a buffer of that size. A text that changes between
// the two calls (it can't here, but the protocol allows it) is asked for again.
template <class Call>
HRESULT FetchText(std::u16string& out, Call call) {
  std::int32_t length = 0;
  HRESULT hr = call(nullptr, 0, &length);
  for (int attempt = 0; attempt < 3 && hr == E_NOT_SUFFICIENT_BUFFER; ++attempt) {
    if (length <= 0) return E_FAIL;
    std::u16string buffer(static_cast<std::size_t>(length), u'\0');
    hr = call(buffer.data(), length, &length);
    if (SUCCEEDED(hr)) {
      if (length < 0 || static_cast<std::size_t>(length) > buffer.size()) return E_FAIL;
      buffer.resize(static_cast<std::size_t>(length));
      out = std::move(buffer);
      return hr;
    }
  }
  if (SUCCEEDED(hr)) out.clear();  // an empty text needs no buffer
  return hr;
}

}  // namespace

HRESULT ksRegisterAppPath(std::u16string& path) {
  return FetchText(path, [](char16_t* buffer, std::int32_t capacity, std::int32_t* length) {
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
  return FetchText(version, [=](char16_t* buffer, std::int32_t capacity, std::int32_t* length) {
    return ksFormatVersion(major, minor, revision, buffer, capacity, length);
  });
}
