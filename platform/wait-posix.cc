// The wait on POSIX: to a deadline on the monotonic clock, so that a signal that interrupts it, or
// a stop and continue, resumes towards the same instant instead of starting over or ending it.

#include <poll.h>
#include <sys/prctl.h>
#include <time.h>

#include <cerrno>

#include "failure.h"
#include "wait.h"

void SleepAtLeast(DWORD milliseconds) {
  // The default timer slack (50 us) would let every wake come late by that much.
  ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  timespec deadline{};
  if (::clock_gettime(CLOCK_MONOTONIC, &deadline) != 0)
    throw runtime::RuntimeError(runtime::kCantPerform);
  deadline.tv_sec += static_cast<time_t>(milliseconds / 1000);
  deadline.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
  if (deadline.tv_nsec >= 1000000000L) {
    deadline.tv_sec += 1;
    deadline.tv_nsec -= 1000000000L;
  }
  int error;
  while ((error = ::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr)) == EINTR) {
  }
  if (error == 0) return;
  // Refused: strict container profiles answer EPERM or ENOSYS for calls they don't know. The same
  // deadline, then, by a relative timeout measured anew after every wake.
  for (timespec now{}; ::clock_gettime(CLOCK_MONOTONIC, &now) == 0;) {
    timespec left{deadline.tv_sec - now.tv_sec, deadline.tv_nsec - now.tv_nsec};
    if (left.tv_nsec < 0) {
      left.tv_sec -= 1;
      left.tv_nsec += 1000000000L;
    }
    if (left.tv_sec < 0 || (left.tv_sec == 0 && left.tv_nsec == 0)) return;
    if (::ppoll(nullptr, 0, &left, nullptr) < 0 && errno != EINTR) break;
  }
  // Every timed wait refused: nothing more is written, and the run-time reports the failure.
  throw runtime::RuntimeError(runtime::kCantPerform);
}
