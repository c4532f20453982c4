// The support library for the tests that run the program: every call succeeds as the real one does
// on POSIX, except the one named in WAITMS_FAIL, which answers E_FAIL. WAITMS_IN_IDE=1 answers that
// the program runs inside the development environment. When WAITMS_CALL_LOG names a file, each
// call appends its name to it, one a line.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "buffer.h"
#include "support.h"

namespace {

bool Fails(const char* name) {
  if (const char* log = std::getenv("WAITMS_CALL_LOG")) {
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

// The texts are asked for by size first: that call alone is logged, and may fail.
HRESULT WINAPI ksRegisterAppPath(char16_t* path, std::int32_t capacity, std::int32_t* length) {
  if (capacity == 0 && Fails("ksRegisterAppPath")) return E_FAIL;
  return support::GiveText(u"/waitms", path, capacity, length);
}

HRESULT WINAPI ksIsInIDE(std::int16_t* inIde) {
  const char* ide = std::getenv("WAITMS_IN_IDE");
  *inIde = ide != nullptr && std::strcmp(ide, "1") == 0 ? -1 : 0;
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

HRESULT WINAPI ksFormatVersion(std::int16_t major, std::int16_t minor, std::int16_t revision,
                               char16_t* version, std::int32_t capacity, std::int32_t* length) {
  if (capacity == 0 && Fails("ksFormatVersion")) return E_FAIL;
  return support::FormatVersion(major, minor, revision, version, capacity, length);
}

}  // extern "C"
