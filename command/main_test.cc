// The wait command over a fake kernel32, for what the built program can't be made to show: a
// "Waiting" message that fails on its way out still leads to the sleep and "Ok".

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <utility>

#include "console.h"
#include "modmain.h"
#include "process.h"
#include "wait.h"

namespace {

std::string gCalls;  // each call, ended by "|"
bool gWriteFails, gRaiseOnce;

}  // namespace

extern "C" {
HANDLE WINAPI GetStdHandle(DWORD) {
  gCalls += "GetStdHandle|";
  if (std::exchange(gRaiseOnce, false)) throw std::bad_alloc();  // as the conversion would
  return reinterpret_cast<HANDLE>(0x1234);
}
BOOL WINAPI WriteFile(HANDLE, const void* bytes, DWORD size, DWORD* written, OVERLAPPED*) {
  gCalls.append(static_cast<const char*>(bytes), size) += "|";
  *written = gWriteFails ? 0 : size;
  return !gWriteFails;
}
void WINAPI InitCommonControls(void) {}
}  // extern "C"
void SleepAtLeast(DWORD milliseconds) {
  gCalls += "Sleep:" + std::to_string(milliseconds) + "|";
}

namespace {

TEST(RunWait, SleepsAndConfirmsPastAFailedWaitingMessage) {
  struct Row {
    bool writeFails, raise;
    const char* calls;
  } const table[] = {
      {true, false, "GetStdHandle|Waiting 30 ms... |Sleep:30|Ok\r\n|"},
      {false, true, "GetStdHandle|Sleep:30|GetStdHandle|Ok\r\n|"},  // a failure raised in the step
  };
  for (const Row& row : table) {
    gCalls.clear();
    gWriteFails = row.writeFails;
    gRaiseOnce = row.raise;
    modMain::hStdOut = nullptr;
    char name[] = "waitms", interval[] = "30";
    char* argv[] = {name, interval, nullptr};
    runtime::Start(2, argv);
    modMain::Main();
    EXPECT_EQ(gCalls, row.calls);
  }
}

}  // namespace
