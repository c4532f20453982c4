// The wait on Windows. Sleep wakes on a tick of the system timer, 15.6 ms unless the timer's
// period is lowered, and may end up to a tick early. So the period is lowered to its least for the
// length of the wait (since Windows 10 2004 every process that has not asked gets the default
// one), and the performance counter decides when the wait is over.

#include "wait.h"  // first: windows.h, which mmsystem.h takes for granted

#include <mmsystem.h>

#include <cstdint>

#include "deadline.h"

namespace {

using TimeGetDevCaps = MMRESULT(WINAPI*)(TIMECAPS*, UINT);
using TimePeriod = MMRESULT(WINAPI*)(UINT);

template <class Function>
Function Find(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace

void SleepAtLeast(DWORD milliseconds) {
  LARGE_INTEGER frequency{};
  if (milliseconds == 0 || !::QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) {
    ::Sleep(milliseconds);  // nothing to be exact about, or no counter to be exact with
    return;
  }
  // winmm.dll only once a wait begins: the usage text doesn't pay for loading it. It stays loaded
  // for the little that is left of the process.
  const HMODULE winmm = ::LoadLibraryW(L"winmm.dll");
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
  SleepUntilElapsed(
      milliseconds, static_cast<std::uint64_t>(frequency.QuadPart),
      [] {
        LARGE_INTEGER count{};
        ::QueryPerformanceCounter(&count);
        return static_cast<std::int64_t>(count.QuadPart);
      },
      [](std::uint32_t ms) { ::Sleep(ms); });
  if (raised) end(caps.wPeriodMin);
}
