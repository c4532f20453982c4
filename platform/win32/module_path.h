// What waitms.exe's run-time and KORVANESUPPORT0100.DLL both ask of kernel32 about themselves: the
// last failure as an HRESULT, and the running executable's path. Inline, as the two are linked
// apart: each module takes its own copy of the one text.
#pragma once

#include <string>

#include "kernel32.h"

namespace win32 {

// The calling thread's last failure as an HRESULT; E_FAIL when the system left none to report.
inline HRESULT LastError() {
  const DWORD error = ::GetLastError();
  return error != 0 ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

// The running executable's full path. Paths can be longer than MAX_PATH, so the buffer grows until
// the path fits; past the longest path Windows has, E_OUTOFMEMORY.
inline HRESULT ModulePath(std::u16string& path) {
  std::u16string buffer(MAX_PATH, u'\0');
  for (;;) {
    const DWORD size = ::GetModuleFileNameW(nullptr, reinterpret_cast<wchar_t*>(buffer.data()),
                                            static_cast<DWORD>(buffer.size()));
    if (size == 0) return LastError();
    if (size < buffer.size()) {
      buffer.resize(size);
      path = std::move(buffer);
      return S_OK;
    }
    if (buffer.size() >= 32768) return E_OUTOFMEMORY;
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace win32
