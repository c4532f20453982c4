// The handful of kernel32 and comctl32 entry points that waitms calls, declared for systems that do
// not have them. kernel32-posix.cc implements them on top of POSIX; on Windows the build picks
// platform/win32/kernel32.h instead, which takes the real declarations from the system headers.
#pragma once

#include <cstdint>

#define WINAPI
#define FALSE 0
#define TRUE 1

using BOOL = int;
using DWORD = std::uint32_t;
using HRESULT = std::int32_t;
using HANDLE = void*;
struct HWND__;
using HWND = HWND__*;
struct OVERLAPPED;

// Like the Windows macros, these are values the calling code compares against, not objects.
#define STD_OUTPUT_HANDLE (static_cast<DWORD>(-11))
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))

#define S_OK (static_cast<HRESULT>(0))
#define E_FAIL (static_cast<HRESULT>(0x80004005u))
#define E_POINTER (static_cast<HRESULT>(0x80004003u))
#define E_INVALIDARG (static_cast<HRESULT>(0x80070057u))
#define E_OUTOFMEMORY (static_cast<HRESULT>(0x8007000Eu))
#define E_HANDLE (static_cast<HRESULT>(0x80070006u))
#define E_NOT_SUFFICIENT_BUFFER (static_cast<HRESULT>(0x8007007Au))
#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)

extern "C" {
HANDLE WINAPI GetStdHandle(DWORD nStdHandle);
BOOL WINAPI WriteFile(HANDLE hFile, const void* lpBuffer, DWORD nNumberOfBytesToWrite,
                      DWORD* lpNumberOfBytesWritten, OVERLAPPED* lpOverlapped);
void WINAPI InitCommonControls(void);
}
