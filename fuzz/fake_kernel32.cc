#include "fake_kernel32.h"

#include "console.h"
#include "kernel32.h"

namespace fake {

namespace {

Kernel32 gState;
const HANDLE kStdOut = reinterpret_cast<HANDLE>(0x1234);

}  // namespace

Kernel32& State() {
  return gState;
}

void Reset(StdOut stdOut) {
  gState = Kernel32{};
  gState.stdOut = stdOut;
  modMain::hStdOut = nullptr;
}

}  // namespace fake

using fake::gState;

extern "C" {

HANDLE WINAPI GetStdHandle(DWORD nStdHandle) {
  if (nStdHandle != STD_OUTPUT_HANDLE || gState.stdOut == fake::StdOut::kMissing) {
    return INVALID_HANDLE_VALUE;
  }
  return fake::kStdOut;
}

BOOL WINAPI WriteFile(HANDLE hFile, const void* lpBuffer, DWORD nNumberOfBytesToWrite,
                      DWORD* lpNumberOfBytesWritten, OVERLAPPED* lpOverlapped) {
  if (hFile != fake::kStdOut || lpOverlapped != nullptr || lpBuffer == nullptr) return FALSE;
  const std::string bytes(static_cast<const char*>(lpBuffer), nNumberOfBytesToWrite);
  gState.attempts.push_back(bytes);
  if (lpNumberOfBytesWritten != nullptr) *lpNumberOfBytesWritten = 0;
  if (gState.stdOut == fake::StdOut::kFails) return FALSE;
  gState.written.push_back(bytes);
  if (lpNumberOfBytesWritten != nullptr) *lpNumberOfBytesWritten = nNumberOfBytesToWrite;
  return TRUE;
}

void WINAPI Sleep(DWORD dwMilliseconds) {
  gState.sleeps.push_back(dwMilliseconds);
}

void WINAPI InitCommonControls(void) {}

}  // extern "C"
