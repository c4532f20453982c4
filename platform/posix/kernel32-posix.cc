// kernel32 and comctl32, as much of them as waitms uses, on POSIX.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>

#include "kernel32.h"

namespace {

// A handle is a descriptor plus this bias, so that neither 0 (no handle yet) nor -1
// (INVALID_HANDLE_VALUE) can ever name a descriptor: a write "with handle 0" must not reach
// standard input.
constexpr std::intptr_t kHandleBias = 0x100;

int DescriptorOf(HANDLE handle) {
  const auto value = reinterpret_cast<std::intptr_t>(handle);
  if (value < kHandleBias || value - kHandleBias > INT_MAX) return -1;
  return static_cast<int>(value - kHandleBias);
}

}  // namespace

extern "C" {

HANDLE WINAPI GetStdHandle(DWORD nStdHandle) {
  // Standard output is the one handle the program asks for; its failures go to standard error
  // without a handle (process-posix.cc).
  if (nStdHandle != STD_OUTPUT_HANDLE) return INVALID_HANDLE_VALUE;
  if (::fcntl(STDOUT_FILENO, F_GETFD) == -1) return INVALID_HANDLE_VALUE;  // closed
  return reinterpret_cast<HANDLE>(STDOUT_FILENO + kHandleBias);
}

BOOL WINAPI WriteFile(HANDLE hFile, const void* lpBuffer, DWORD nNumberOfBytesToWrite,
                      DWORD* lpNumberOfBytesWritten, OVERLAPPED* /*lpOverlapped*/) {
  if (lpNumberOfBytesWritten != nullptr) *lpNumberOfBytesWritten = 0;
  const int fd = DescriptorOf(hFile);
  if (fd < 0 || (lpBuffer == nullptr && nNumberOfBytesToWrite != 0)) return FALSE;
  // One write. EINTR means nothing was written, so that alone is tried again; a full non-blocking
  // pipe (EAGAIN) or a short write is the caller's to see, as a synchronous write would not spin.
  ssize_t written;
  do {
    written = ::write(fd, lpBuffer, nNumberOfBytesToWrite);
  } while (written < 0 && errno == EINTR);
  if (written < 0) return FALSE;
  if (lpNumberOfBytesWritten != nullptr) *lpNumberOfBytesWritten = static_cast<DWORD>(written);
  return TRUE;
}

void WINAPI InitCommonControls(void) {
  // No common controls to register outside Windows.
}

}  // extern "C"
