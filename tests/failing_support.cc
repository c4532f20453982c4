// A support library for the real program whose call named in WAITMS_FAIL answers E_FAIL; every
// other call succeeds as the real one does here. It shows what the run-time makes of a failure.
// When WAITMS_CALL_LOG names a file, each call appends its name to it, one a line.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "buffer.h"
#include "support.h"

namespace {

// Records the call and tells whether it is the one to fail.
bool Fails(const char* name) {
  if (const char* log = std::getenv("WAITMS_CALL_LOG"); log != nullptr && *log != 0) {
    if (std::FILE* file = std::fopen(log, "ab")) {
      std::fprintf(file, "%s\n", name);
      std::fclose(file);
    }
  }
  const char* failing = std::getenv("WAITMS_FAIL");
  return failing != nullptr && std::strcmp(failing, name) == 0;
}

}  // namespace

extern "C" {

HRESULT WINAPI ksRegisterAppPath(char16_t* path, std::int32_t capacity, std::int32_t* length) {
  if (capacity != 0) return support::GiveText(u"/waitms", path, capacity, length);  // the text
  return Fails("ksRegisterAppPath") ? E_FAIL
                                    : support::GiveText(u"/waitms", path, capacity, length);
}

HRESULT WINAPI ksIsInIDE(std::int16_t* inIde) {
  *inIde = 0;
  return Fails("ksIsInIDE") ? E_FAIL : S_OK;
}

HRESULT WINAPI ksGetThunderMainHandle(HWND* hWnd) {
  *hWnd = nullptr;
  return Fails("ksGetThunderMainHandle") ? E_FAIL : S_OK;
}

HRESULT WINAPI ksSetWindowResIconAll(HWND, const char16_t*) {
  return Fails("ksSetWindowResIconAll") ? E_FAIL : S_OK;
}

HRESULT WINAPI ksAnsiToOem(char16_t*, std::int32_t, std::int32_t*) {
  return Fails("ksAnsiToOem") ? E_FAIL : S_OK;
}

HRESULT WINAPI ksFormatVersion(std::int16_t, std::int16_t, std::int16_t, char16_t* version,
                               std::int32_t capacity, std::int32_t* length) {
  if (capacity != 0) return support::GiveText(u"1.00.0004", version, capacity, length);
  return Fails("ksFormatVersion") ? E_FAIL
                                  : support::GiveText(u"1.00.0004", version, capacity, length);
}

}  // extern "C"
