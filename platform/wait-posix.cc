// The wait on POSIX: to a deadline on the monotonic clock, so that a signal that interrupts it, or
// a stop and continue, resumes towards the same instant instead of starting over or ending it.
// Only the clock says that the deadline has passed: a sandbox's filter may answer a sleep with a
// success that didn't sleep, or with EINTR every time. Either then costs CPU, never the wait.

#include <poll.h>
#include <sys/prctl.h>
#include <time.h>

#include <cerrno>
#include <chrono>

#include "failure.h"
#include "wait.h"

namespace {

using std::chrono::nanoseconds;

nanoseconds Now() {
  timespec now{};
  if (::clock_gettime(CLOCK_MONOTONIC, &now) != 0)
    throw runtime::RuntimeError(runtime::kCantPerform);
  return std::chrono::seconds{now.tv_sec} + nanoseconds{now.tv_nsec};
}

// `time`, which is not negative, as the system calls take it.
timespec ToTimespec(nanoseconds time) {
  const auto seconds = std::chrono::floor<std::chrono::seconds>(time);
  return {static_cast<time_t>(seconds.count()), static_cast<long>((time - seconds).count())};
}

}  // namespace

void SleepAtLeast(DWORD milliseconds) {
  // The default timer slack (50 us) would let every wake come late by that much.
  ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  const nanoseconds deadline = Now() + std::chrono::milliseconds{milliseconds};
  const timespec until = ToTimespec(deadline);
  bool absolute = true;
  for (nanoseconds left; (left = deadline - Now()) > nanoseconds::zero();) {
    if (absolute) {
      const int error = ::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr);
      // Refused: strict container profiles answer EPERM or ENOSYS for calls they don't know. Then
      // ppoll, with what is left measured anew after every wake.
      absolute = error == 0 || error == EINTR;
    } else if (const timespec timeout = ToTimespec(left);
               ::ppoll(nullptr, 0, &timeout, nullptr) < 0 && errno != EINTR) {
      // Every timed wait refused: nothing more is written, and the run-time reports the failure.
      throw runtime::RuntimeError(runtime::kCantPerform);
    }
  }
}
