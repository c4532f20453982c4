// KORVANESUPPORT0100 for POSIX systems, linked into the program. There is no application path
// registry, no development environment, no hidden main window and no separate OEM code page here,
// so most calls report that plainly and succeed.

#include <sys/auxv.h>
#include <unistd.h>

#include <string>
#include <string_view>

#include "buffer.h"
#include "support.h"

namespace {

// The running executable's full path, as the kernel tells it through /proc. Where it can't (no
// /proc in an initramfs or a sandbox, a path longer than the kernel hands out), the path that
// exec was given: it may be relative to the folder the program started in, but it names the file.
std::string ExecutablePath() {
  for (std::size_t size = 256; size <= std::size_t{1} << 20; size *= 2) {
    std::string target(size, '\0');
    const ssize_t got = ::readlink("/proc/self/exe", target.data(), target.size());
    if (got < 0) break;
    if (static_cast<std::size_t>(got) < target.size()) {
      target.resize(static_cast<std::size_t>(got));
      return target;
    }
  }
  const auto* executed = reinterpret_cast<const char*>(::getauxval(AT_EXECFN));
  return executed != nullptr ? executed : "";
}

}  // namespace

extern "C" {

HRESULT WINAPI ksRegisterAppPath(char16_t* path, std::int32_t capacity, std::int32_t* length) {
  // Nothing is recorded: there is no registry of application paths to record it in. So the path
  // given back is the best at hand, and its absence is never a reason to fail the start.
  try {
    // Each byte widened to the character of its number, not decoded: nothing reads this value,
    // and decoding a folder such as ~/Téléchargements would load the locale at every start.
    std::u16string widened;
    for (const char byte : ExecutablePath()) widened += static_cast<unsigned char>(byte);
    return support::GiveText(widened, path, capacity, length);
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
  return support::FormatVersion(major, minor, revision, version, capacity, length);
}

}  // extern "C"
