// KORVANESUPPORT0100 for POSIX systems, linked into the program. There is no application path
// registry, no development environment, no hidden main window and no separate OEM code page here,
// so most calls report that plainly and succeed.

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "support.h"
#include "text.h"

namespace {

HRESULT GiveText(std::u16string_view text, char16_t* buffer, std::int32_t capacity,
                 std::int32_t* length) {
  if (length == nullptr || (buffer == nullptr && capacity != 0) || capacity < 0) return E_POINTER;
  if (text.size() > 0x7FFFFFFF) return E_OUTOFMEMORY;
  *length = static_cast<std::int32_t>(text.size());
  if (text.size() > static_cast<std::size_t>(capacity)) return E_NOT_SUFFICIENT_BUFFER;
  std::copy(text.begin(), text.end(), buffer);
  return S_OK;
}

}  // namespace

extern "C" {

HRESULT WINAPI ksRegisterAppPath(char16_t* path, std::int32_t capacity, std::int32_t* length) {
  // Nothing is recorded: there is no registry of application paths to record it in.
  std::string target(4096, '\0');
  const ssize_t size = ::readlink("/proc/self/exe", target.data(), target.size());
  if (size <= 0 || static_cast<std::size_t>(size) >= target.size()) return E_FAIL;
  target.resize(static_cast<std::size_t>(size));
  try {
    return GiveText(runtime::FromLocaleLenient(target), path, capacity, length);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT WINAPI ksIsInIDE(std::int16_t* inIde) {
  if (inIde == nullptr) return E_POINTER;
  *inIde = 0;
  return S_OK;
}

HRESULT WINAPI ksGetThunderMainHandle(HWND* hWnd) {
  if (hWnd == nullptr) return E_POINTER;
  *hWnd = nullptr;  // this run-time has no hidden main window
  return S_OK;
}

HRESULT WINAPI ksSetWindowResIconAll(HWND hWnd, const char16_t* resourceName) {
  if (resourceName == nullptr) return E_POINTER;
  // No window, nothing to put icons on. There are no windows at all here, so any other handle
  // is one this library never gave out.
  return hWnd == nullptr ? S_OK : E_HANDLE;
}

HRESULT WINAPI ksAnsiToOem(char16_t* text, std::int32_t capacity, std::int32_t* length) {
  // The console shows the same charset as everything else: the text stays as it is.
  if (length == nullptr || text == nullptr || *length < 0 || *length > capacity) return E_POINTER;
  return S_OK;
}

HRESULT WINAPI ksFormatVersion(std::int16_t major, std::int16_t minor, std::int16_t revision,
                               char16_t* version, std::int32_t capacity, std::int32_t* length) {
  if (major < 0 || minor < 0 || revision < 0) return E_INVALIDARG;
  char digits[32];
  const int size = std::snprintf(digits, sizeof digits, "%d.%02d.%04d", major, minor, revision);
  if (size < 0) return E_FAIL;
  char16_t text[sizeof digits];
  std::copy(digits, digits + size, text);
  return GiveText(std::u16string_view(text, static_cast<std::size_t>(size)), version, capacity,
                  length);
}

}  // extern "C"
