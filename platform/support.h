// The support library KORVANESUPPORT0100: the Windows integration that waitms asks for at start,
// and the code-page and version formatting behind its usage text.
//
// Every function returns an HRESULT: negative is a failure. The library is a separate module on
// Windows, so its interface is plain C with the stdcall convention. Texts cross it as UTF-16 in
// buffers that the caller owns: the caller passes the buffer and its capacity in characters, and
// the function stores the text's length in *length. When the buffer is too small the function
// changes nothing in it, stores the length it needs and answers E_NOT_SUFFICIENT_BUFFER; a
// capacity of 0 asks for the length alone. Texts are not NUL-terminated, apart from the resource
// name passed in.
#pragma once

#include <cstdint>
#include <string>

#include "kernel32.h"

extern "C" {
// The full path of the running executable, recorded for the system's "App Paths"; empty where the
// system has no such registry.
HRESULT WINAPI ksRegisterAppPath(char16_t* path, std::int32_t capacity, std::int32_t* length);
// Nonzero (true) while the program runs inside its development environment.
HRESULT WINAPI ksIsInIDE(std::int16_t* inIde);
// The run-time's hidden main window, or a null handle where the run-time has none.
HRESULT WINAPI ksGetThunderMainHandle(HWND* hWnd);
// Puts the executable's icon group `resourceName` on the window in all its sizes.
HRESULT WINAPI ksSetWindowResIconAll(HWND hWnd, const char16_t* resourceName);
// Re-codes the text in place from the ANSI to the OEM code page. On entry *length holds the
// text's length; the result may need up to twice that.
HRESULT WINAPI ksAnsiToOem(char16_t* text, std::int32_t capacity, std::int32_t* length);
// "1.00.0004" for 1, 0, 4: the major number, the minor one in two digits, the revision in four.
HRESULT WINAPI ksFormatVersion(std::int16_t major, std::int16_t minor, std::int16_t revision,
                               char16_t* version, std::int32_t capacity, std::int32_t* length);
}

// The same calls with std::u16string in place of the caller's buffers.
HRESULT ksRegisterAppPath(std::u16string& path);
HRESULT ksSetWindowResIconAll(HWND hWnd, const std::u16string& resourceName);
HRESULT ksAnsiToOem(std::u16string& text);
HRESULT ksFormatVersion(std::int16_t major, std::int16_t minor, std::int16_t revision,
                        std::u16string& version);
