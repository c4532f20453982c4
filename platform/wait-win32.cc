// The wait on Windows. Sleep wakes on a tick of the system timer, 15.6 ms unless the timer's
// period is lowered, and may end up to a tick early. So the period is lowered to its least for the
// length of the wait (since Windows 10 2004 every process that has not asked gets the default
// one), and the performance counter decides when the wait is over.

#include "wait.h"  // first: windows.h, which mmsystem.h takes for granted

#include <mmsystem.h>

#include <cstddef>
#include <cstdint>

#include "deadline.h"

namespace {

using TimeGetDevCaps = MMRESULT(WINAPI*)(TIMECAPS*, UINT);
using TimePeriod = MMRESULT(WINAPI*)(UINT);

template <class Function>
Function Find(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

std::int64_t Count() {
  LARGE_INTEGER count{};
  ::QueryPerformanceCounter(&count);
  return static_cast<std::int64_t>(count.QuadPart);
}

// winmm.dll from the system folder alone. winmm is no KnownDLL, so by its bare name it would be
// looked for in the program's folder first, and a winmm.dll left there would run; the altered
// search path takes its own imports from the system folder too.
HMODULE LoadWinmm() {
  static constexpr wchar_t kName[] = L"\\winmm.dll";
  wchar_t path[MAX_PATH + sizeof kName / sizeof kName[0]];
  const UINT size = ::GetSystemDirectoryW(path, MAX_PATH);
  if (size == 0 || size >= MAX_PATH) return nullptr;
  for (std::size_t i = 0; i < sizeof kName / sizeof kName[0]; ++i) path[size + i] = kName[i];
  return ::LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

void SleepAtLeast(DWORD milliseconds) {
  if (milliseconds == 0) {
    ::Sleep(0);  // nothing to be exact about
    return;
  }
  // The interval starts here, so that loading winmm and raising the period count toward it.
  const std::int64_t start = Count();
  LARGE_INTEGER frequency{};
  if (!::QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) {
    ::Sleep(milliseconds);  // no counter to be exact with
    return;
  }
  // winmm.dll only once a wait begins: the usage text doesn't pay for loading it. It stays loaded
  // for the little that is left of the process.
  const HMODULE winmm = LoadWinmm();
  TimeGetDevCaps getDevCaps = nullptr;
  TimePeriod begin = nullptr, end = nullptr;
  if (winmm != nullptr) {
    getDevCaps = Find<TimeGetDevCaps>(winmm, "timeGetDevCaps");
    begin = Find<TimePeriod>(winmm, "timeBeginPeriod");
    end = Find<TimePeriod>(winmm, "timeEndPeriod");
  }
  TIMECAPS caps{};
  // Refused, the wait is still never early; it may then end up to a tick late.
  const bool raised = getDevCaps != nullptr && begin != nullptr && end != nullptr &&
                      getDevCaps(&caps, sizeof caps) == TIMERR_NOERROR &&
                      begin(caps.wPeriodMin) == TIMERR_NOERROR;
  SleepUntilElapsed(milliseconds, static_cast<std::uint64_t>(frequency.QuadPart), start, Count,
                    [](std::uint32_t ms) { ::Sleep(ms); });
  if (raised) end(caps.wPeriodMin);
}
