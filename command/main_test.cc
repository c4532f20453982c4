// modMain over a fake of everything beneath it (kernel32, comctl32, the support library), for what
// the built program can't be made to show: the order of its calls, and a "Waiting" message that
// fails on its way out.

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "buffer.h"
#include "console.h"
#include "modmain.h"
#include "process.h"

namespace {

std::vector<std::string> gCalls;
bool gInIde = false;
bool gWriteFails = false;
bool gExhaustOnFirstWrite = false;  // no memory from the first GetStdHandle until Sleep
bool gExhausted = false;
const auto kMainWindow = reinterpret_cast<HWND>(0x5678);
const auto kStdOut = reinterpret_cast<HANDLE>(0x1234);

}  // namespace

// Out of line, so that no inlined pair meets malloc on one side and delete on the other.
[[gnu::noinline]] void* operator new(std::size_t size) {
  if (gExhausted) throw std::bad_alloc();
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* block) noexcept {
  std::free(block);
}
[[gnu::noinline]] void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}

extern "C" {
HANDLE WINAPI GetStdHandle(DWORD) {
  gCalls.push_back("GetStdHandle");
  gExhausted = gExhaustOnFirstWrite;
  return kStdOut;
}
BOOL WINAPI WriteFile(HANDLE hFile, const void* bytes, DWORD size, DWORD* written, OVERLAPPED*) {
  gCalls.push_back("WriteFile:" + std::string(static_cast<const char*>(bytes), size));
  *written = gWriteFails || hFile != kStdOut ? 0 : size;
  return *written == size;
}
void WINAPI Sleep(DWORD milliseconds) {
  gExhausted = false;
  gCalls.push_back("Sleep:" + std::to_string(milliseconds));
}
void WINAPI InitCommonControls(void) {
  gCalls.push_back("InitCommonControls");
}
HRESULT WINAPI ksRegisterAppPath(char16_t* path, std::int32_t capacity, std::int32_t* length) {
  if (capacity == 0) gCalls.push_back("ksRegisterAppPath");
  return support::GiveText(u"/waitms", path, capacity, length);
}
HRESULT WINAPI ksIsInIDE(std::int16_t* inIde) {
  gCalls.push_back("ksIsInIDE");
  *inIde = gInIde ? -1 : 0;  // any nonzero value is true
  return S_OK;
}
HRESULT WINAPI ksGetThunderMainHandle(HWND* hWnd) {
  gCalls.push_back("ksGetThunderMainHandle");
  *hWnd = kMainWindow;
  return S_OK;
}
HRESULT WINAPI ksSetWindowResIconAll(HWND hWnd, const char16_t* name) {
  gCalls.push_back(std::string("ksSetWindowResIconAll:") + (hWnd == kMainWindow ? "main:" : "?:") +
                   std::string(name, name + std::char_traits<char16_t>::length(name)));
  return S_OK;
}
HRESULT WINAPI ksAnsiToOem(char16_t*, std::int32_t, std::int32_t*) {
  return S_OK;
}
HRESULT WINAPI ksFormatVersion(std::int16_t major, std::int16_t minor, std::int16_t revision,
                               char16_t* version, std::int32_t capacity, std::int32_t* length) {
  return support::FormatVersion(major, minor, revision, version, capacity, length);
}
}  // extern "C"

namespace {

using Calls = std::vector<std::string>;

TEST(ModMain, CallsInOrderAndWaitsPastAFailedWaitingMessage) {
  const Calls startUp = {"ksRegisterAppPath", "InitCommonControls", "ksIsInIDE"};
  const Calls icons = {"ksGetThunderMainHandle", "ksSetWindowResIconAll:main:A_MAIN"};
  const Calls waits = {"GetStdHandle", "WriteFile:Waiting 30 ms... ", "Sleep:30",
                       "WriteFile:Ok\r\n"};
  struct Row {
    const char* name;
    bool inIde, writeFails, exhaust;
    Calls after;  // the calls after the start-up's first three
  } const table[] = {
      {"outside the IDE", false, false, false, icons},
      {"inside the IDE", true, false, false, {}},
      {"every write fails", false, true, false, icons},
      // Converting the message runs out of memory: the failure is raised inside the step.
      {"no memory for the message", false, false, true, icons},
  };
  for (const Row& row : table) {
    gCalls.clear();
    gWriteFails = row.writeFails;
    gExhaustOnFirstWrite = row.exhaust;
    modMain::hStdOut = nullptr;
    gInIde = row.inIde;
    char name[] = "waitms", interval[] = "30";
    char* argv[] = {name, interval, nullptr};
    runtime::Start(2, argv);
    modMain::Main();
    Calls expected = startUp;
    expected.insert(expected.end(), row.after.begin(), row.after.end());
    expected.insert(expected.end(), waits.begin(), waits.end());
    if (row.exhaust) expected.erase(expected.end() - 3);  // nothing to write
    EXPECT_EQ(gCalls, expected) << row.name;
  }
  gInIde = gExhaustOnFirstWrite = gWriteFails = false;
}

}  // namespace
