// KORVANESUPPORT0100 for POSIX systems, linked into the program. There is no application path
// registry, no development environment, no hidden main window and no separate OEM code page here,
// so most calls report that plainly and succeed.

#include "buffer.h"
#include "support.h"

extern "C" {

HRESULT WINAPI ksRegisterAppPath(char16_t* path, std::int32_t capacity, std::int32_t* length) {
  // There is no registry of application paths to record it in, and the caller doesn't read the
  // path given back: an empty one, rather than a read of /proc at every start.
  return support::GiveText(u"", path, capacity, length);
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
  return support::FormatVersion(major, minor, revision, version, capacity, length);
}

}  // extern "C"
