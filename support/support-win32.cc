// KORVANESUPPORT0100.DLL: the program's Windows integration, as a library of its own.

#include <cwchar>
#include <string>
#include <string_view>

#include "buffer.h"
#include "module_path.h"
#include "support.h"

using win32::LastError;

extern "C" {

HRESULT WINAPI ksRegisterAppPath(char16_t* path, std::int32_t capacity, std::int32_t* length) {
  // The executable's full path. Nothing is written to the registry: the program runs from where
  // it is, and leaves no trace of having run.
  try {
    std::u16string module;
    const HRESULT hr = win32::ModulePath(module);
    if (FAILED(hr)) return hr;
    return support::GiveText(module, path, capacity, length);
  } catch (...) {
    return E_OUTOFMEMORY;  // no exception crosses the C interface; a failed allocation is the one
  }
}

HRESULT WINAPI ksIsInIDE(std::int16_t* inIde) {
  if (inIde == nullptr) return E_POINTER;
  // A debugger attached stands for the development environment: -1 is true, as a 16-bit Boolean.
  *inIde = ::IsDebuggerPresent() ? -1 : 0;
  return S_OK;
}

HRESULT WINAPI ksGetThunderMainHandle(HWND* hWnd) {
  if (hWnd == nullptr) return E_POINTER;
  *hWnd = nullptr;  // the program's run-time creates no hidden main window
  return S_OK;
}

HRESULT WINAPI ksSetWindowResIconAll(HWND hWnd, const char16_t* resourceName) {
  if (resourceName == nullptr) return E_POINTER;
  if (hWnd == nullptr) return S_OK;  // no window, nothing to put icons on
  if (!::IsWindow(hWnd)) return E_HANDLE;
  const HINSTANCE module = ::GetModuleHandleW(nullptr);  // the calling executable
  const auto* name = reinterpret_cast<const wchar_t*>(resourceName);
  // The system picks the group's best image for each size.
  const auto big =
      static_cast<HICON>(::LoadImageW(module, name, IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                                      ::GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
  if (big == nullptr) return LastError();
  const auto small =
      static_cast<HICON>(::LoadImageW(module, name, IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                      ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  if (small == nullptr) {
    const HRESULT hr = LastError();
    ::DestroyIcon(big);
    return hr;
  }
  // The window keeps the icons for its lifetime; they are freed with the process.
  ::SendMessageW(hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  ::SendMessageW(hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  return S_OK;
}

HRESULT WINAPI ksAnsiToOem(char16_t* text, std::int32_t capacity, std::int32_t* length) {
  if (length == nullptr || text == nullptr || *length < 0 || *length > capacity) return E_POINTER;
  if (*length == 0) return S_OK;
  try {
    const auto* wide = reinterpret_cast<const wchar_t*>(text);
    // Text -> ANSI bytes -> OEM bytes -> text again, read as ANSI: written out through the ANSI
    // conversion it becomes the OEM bytes, which is what a console shows correctly.
    const int bytes = ::WideCharToMultiByte(CP_ACP, 0, wide, *length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return LastError();
    std::string ansi(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide, *length, ansi.data(), bytes, nullptr, nullptr);
    if (!::CharToOemBuffA(ansi.data(), ansi.data(), static_cast<DWORD>(bytes))) return LastError();
    const int size = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), bytes, nullptr, 0);
    if (size <= 0) return LastError();
    if (size > capacity) {
      *length = size;
      return E_NOT_SUFFICIENT_BUFFER;
    }
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), bytes, reinterpret_cast<wchar_t*>(text), size);
    *length = size;
    return S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT WINAPI ksFormatVersion(std::int16_t major, std::int16_t minor, std::int16_t revision,
                               char16_t* version, std::int32_t capacity, std::int32_t* length) {
  return support::FormatVersion(major, minor, revision, version, capacity, length);
}

}  // extern "C"
