// The support library for the tests that run the program: each call succeeds but the one named in
// WAITMS_FAIL (E_INVALIDARG), and logs its name to WAITMS_CALL_LOG.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "buffer.h"
#include "support.h"

static HRESULT Answer(const char* call) {
  const char* path = std::getenv("WAITMS_CALL_LOG");
  if (std::FILE* log = path != nullptr ? std::fopen(path, "ab") : nullptr) {
    std::fprintf(log, "%s\n", call);
    std::fclose(log);
  }
  const char* failing = std::getenv("WAITMS_FAIL");
  return failing != nullptr && std::strcmp(failing, call) == 0 ? E_INVALIDARG : S_OK;
}

extern "C" {
HRESULT WINAPI ksRegisterAppPath(char16_t* path, std::int32_t capacity, std::int32_t* length) {
  const HRESULT hr = Answer("ksRegisterAppPath");
  return FAILED(hr) ? hr : support::GiveText(u"/waitms", path, capacity, length);
}
HRESULT WINAPI ksIsInIDE(std::int16_t* inIde) {
  *inIde = 0;
  return Answer("ksIsInIDE");
}
HRESULT WINAPI ksGetThunderMainHandle(HWND* hWnd) {
  *hWnd = nullptr;
  return Answer("ksGetThunderMainHandle");
}
HRESULT WINAPI ksSetWindowResIconAll(HWND, const char16_t*) {
  return Answer("ksSetWindowResIconAll");
}
HRESULT WINAPI ksAnsiToOem(char16_t*, std::int32_t, std::int32_t*) {
  return Answer("ksAnsiToOem");
}
HRESULT WINAPI ksFormatVersion(std::int16_t major, std::int16_t minor, std::int16_t revision,
                               char16_t* version, std::int32_t capacity, std::int32_t* length) {
  const HRESULT hr = Answer("ksFormatVersion");
  return FAILED(hr) ? hr
                    : support::FormatVersion(major, minor, revision, version, capacity, length);
}
}  // extern "C"
