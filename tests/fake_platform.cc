#include "fake_platform.h"

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <new>

#include "buffer.h"
#include "console.h"
#include "process.h"
#include "support.h"
#include "text.h"

namespace fake {

namespace {

Platform gState;
bool gExhausted = false;

std::string Narrow(const char16_t* text) {
  std::string out;
  for (; text != nullptr && *text != 0; ++text) out += static_cast<char>(*text);
  return out;
}

bool Fails(const std::string& name) {
  gState.calls.push_back(name);
  const auto& failing = gState.failing;
  return std::find(failing.begin(), failing.end(), name) != failing.end();
}

}  // namespace

Platform& State() {
  return gState;
}

void Reset() {
  gState = Platform{};
  gExhausted = false;
  modMain::hStdOut = nullptr;
}

void SetCommandLine(const std::vector<std::string>& args) {
  static std::vector<std::string> storage;
  static std::vector<char*> argv;
  storage = args;
  argv.clear();
  for (auto& arg : storage) argv.push_back(arg.data());
  argv.push_back(nullptr);
  runtime::Start(static_cast<int>(storage.size()), argv.data());
  std::setlocale(LC_ALL, "C.UTF-8");
}

std::string Output() {
  std::string all;
  for (const auto& bytes : gState.writes) all += bytes;
  return all;
}

}  // namespace fake

// All out of line: inlined into a caller, the malloc() or free() would meet the other side's
// operator and GCC would report a mismatched pair (-Wmismatched-new-delete).
[[gnu::noinline]] void* operator new(std::size_t size) {
  if (fake::gExhausted) throw std::bad_alloc();
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* block) noexcept {
  std::free(block);
}
[[gnu::noinline]] void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}

using fake::gState;

extern "C" {

HANDLE WINAPI GetStdHandle(DWORD nStdHandle) {
  gState.calls.push_back(nStdHandle == STD_OUTPUT_HANDLE ? "GetStdHandle" : "GetStdHandle:other");
  if (gState.exhaustMemoryOnFirstWrite) {
    gState.exhaustMemoryOnFirstWrite = false;
    fake::gExhausted = true;
  }
  return gState.stdOut;
}

BOOL WINAPI WriteFile(HANDLE hFile, const void* lpBuffer, DWORD nNumberOfBytesToWrite,
                      DWORD* lpNumberOfBytesWritten, OVERLAPPED* lpOverlapped) {
  const std::string bytes(static_cast<const char*>(lpBuffer), nNumberOfBytesToWrite);
  gState.calls.push_back("WriteFile:" + bytes);
  if (hFile != gState.stdOut || lpOverlapped != nullptr) return FALSE;
  if (gState.writeFails) {
    *lpNumberOfBytesWritten = 0;
    return FALSE;
  }
  gState.writes.push_back(bytes);
  *lpNumberOfBytesWritten = nNumberOfBytesToWrite;
  return TRUE;
}

void WINAPI Sleep(DWORD dwMilliseconds) {
  fake::gExhausted = false;
  gState.calls.push_back("Sleep:" + std::to_string(dwMilliseconds));
}

void WINAPI InitCommonControls(void) {
  gState.calls.push_back("InitCommonControls");
}

HRESULT WINAPI ksRegisterAppPath(char16_t* path, std::int32_t capacity, std::int32_t* length) {
  if (capacity == 0 && fake::Fails("ksRegisterAppPath")) return E_FAIL;  // the size query
  return support::GiveText(u"/opt/waitms/waitms", path, capacity, length);
}

HRESULT WINAPI ksIsInIDE(std::int16_t* inIde) {
  if (fake::Fails("ksIsInIDE")) return E_FAIL;
  *inIde = gState.inIde;
  return S_OK;
}

HRESULT WINAPI ksGetThunderMainHandle(HWND* hWnd) {
  if (fake::Fails("ksGetThunderMainHandle")) return E_FAIL;
  *hWnd = gState.mainWindow;
  return S_OK;
}

HRESULT WINAPI ksSetWindowResIconAll(HWND hWnd, const char16_t* resourceName) {
  // The handle goes into the record, so that a test sees it passed on unchanged.
  const bool same = hWnd == gState.mainWindow;
  if (fake::Fails("ksSetWindowResIconAll:" + fake::Narrow(resourceName) +
                  (same ? "" : ":other window")))
    return E_FAIL;
  return S_OK;
}

HRESULT WINAPI ksAnsiToOem(char16_t* text, std::int32_t capacity, std::int32_t* length) {
  const std::u16string before(text, static_cast<std::size_t>(*length));
  const bool isTitle = before.find(u"WaitMs") != std::u16string::npos;
  if (fake::Fails(isTitle ? "ksAnsiToOem:title" : "ksAnsiToOem:copyright")) return E_FAIL;
  if (!isTitle && gState.copyrightAfterOem != nullptr) {
    return support::GiveText(gState.copyrightAfterOem, text, capacity, length);
  }
  return S_OK;
}

HRESULT WINAPI ksFormatVersion(std::int16_t major, std::int16_t minor, std::int16_t revision,
                               char16_t* version, std::int32_t capacity, std::int32_t* length) {
  const std::string args =
      std::to_string(major) + "," + std::to_string(minor) + "," + std::to_string(revision);
  // The wrapper asks for the size first; only the first of the two calls is recorded.
  if (capacity == 0 && fake::Fails("ksFormatVersion:" + args)) return E_FAIL;
  return support::GiveText(u"9.87.6543", version, capacity, length);
}

}  // extern "C"
