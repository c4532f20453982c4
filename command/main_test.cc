// The wait command over a fake kernel32: a "Waiting" message whose conversion raises a failure,
// which the built program can't be made to show, still leads to the sleep and "Ok".

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <utility>

#include "kernel32.h"
#include "modmain.h"
#include "process.h"
#include "wait.h"

static std::string gCalls;  // each call, ended by "|"
static bool gRaiseOnce = true;

extern "C" {
HANDLE WINAPI GetStdHandle(DWORD) {
  gCalls += "GetStdHandle|";
  if (std::exchange(gRaiseOnce, false)) throw std::bad_alloc();  // as the conversion would
  return reinterpret_cast<HANDLE>(0x1234);
}
BOOL WINAPI WriteFile(HANDLE, const void* bytes, DWORD size, DWORD* written, OVERLAPPED*) {
  gCalls.append(static_cast<const char*>(bytes), size) += "|";
  *written = size;
  return TRUE;
}
void WINAPI InitCommonControls(void) {}
}  // extern "C"
void SleepAtLeast(DWORD milliseconds) {
  gCalls += "Sleep:" + std::to_string(milliseconds) + "|";
}

TEST(RunWait, SleepsAndConfirmsPastAFailureRaisedInTheWaitingMessage) {
  char name[] = "waitms", interval[] = "30";
  char* argv[] = {name, interval, nullptr};
  runtime::Start(2, argv);
  modMain::Main();
  EXPECT_EQ(gCalls, "GetStdHandle|Sleep:30|GetStdHandle|Ok\r\n|");
}
