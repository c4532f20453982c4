#include <fcntl.h>
#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "kernel32.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Points a standard descriptor somewhere else for the length of a test, then puts it back.
class Redirect {
 public:
  Redirect(int fd, int to) : fd_(fd), saved_(::dup(fd)) { to >= 0 ? ::dup2(to, fd) : ::close(fd); }
  ~Redirect() {
    ::dup2(saved_, fd_);
    ::close(saved_);
  }

 private:
  int fd_;
  int saved_;
};

TEST(WriteFile, WritesToTheDescriptorBehindTheHandle) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  {
    Redirect out(STDOUT_FILENO, fds[1]);
    HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    ASSERT_NE(handle, nullptr);
    DWORD written = 99;
    EXPECT_TRUE(WriteFile(handle, "Ok\r\n", 4, &written, nullptr));
    EXPECT_EQ(written, 4u);
  }
  ::close(fds[1]);
  char buffer[16];
  EXPECT_EQ(::read(fds[0], buffer, sizeof buffer), 4);
  EXPECT_EQ(std::string(buffer, 4), "Ok\r\n");
  ::close(fds[0]);
}

TEST(WriteFile, NeverTakesANullOrInvalidHandleForADescriptor) {
  // Descriptor 0 (and -1) behind a pipe: nothing may arrive there.
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  {
    Redirect in(STDIN_FILENO, fds[1]);
    for (HANDLE handle : {HANDLE{nullptr}, INVALID_HANDLE_VALUE, reinterpret_cast<HANDLE>(1)}) {
      DWORD written = 99;
      EXPECT_FALSE(WriteFile(handle, "x", 1, &written, nullptr));
      EXPECT_EQ(written, 0u);
    }
  }
  ::close(fds[1]);
  char buffer[4];
  EXPECT_EQ(::read(fds[0], buffer, sizeof buffer), 0);  // end of file: nothing written
  ::close(fds[0]);
}

TEST(WriteFile, FailsOnAFullOrBrokenOutputWithoutDyingOrRetrying) {
  ::signal(SIGPIPE, SIG_IGN);  // as the run-time sets it at start
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  ::close(fds[0]);
  {
    Redirect out(STDOUT_FILENO, fds[1]);
    DWORD written = 99;
    EXPECT_FALSE(WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "x", 1, &written, nullptr));
    EXPECT_EQ(written, 0u);
  }
  ::close(fds[1]);

  const int full = ::open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  {
    Redirect out(STDOUT_FILENO, full);
    DWORD written = 99;
    EXPECT_FALSE(WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "x", 1, &written, nullptr));
  }
  ::close(full);
}

TEST(GetStdHandle, AnswersInvalidForAClosedDescriptor) {
  Redirect out(STDOUT_FILENO, -1);
  EXPECT_EQ(GetStdHandle(STD_OUTPUT_HANDLE), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetStdHandle(12345), INVALID_HANDLE_VALUE);
}

TEST(Sleep, WaitsAtLeastTheInterval) {
  for (DWORD ms : {0u, 1u, 120u}) {
    const auto start = Clock::now();
    Sleep(ms);
    const double elapsed = MillisecondsSince(start);
    EXPECT_GE(elapsed, ms) << ms;
    EXPECT_LT(elapsed, ms + 1000.0) << ms;
  }
}

extern "C" void CountSignal(int) {}

TEST(Sleep, IsNotShortenedBySignals) {
  // A handler without SA_RESTART makes each signal interrupt the wait with EINTR.
  struct sigaction action {};
  action.sa_handler = CountSignal;
  ASSERT_EQ(::sigaction(SIGALRM, &action, nullptr), 0);
  itimerval every5ms{{0, 5000}, {0, 5000}};
  ASSERT_EQ(::setitimer(ITIMER_REAL, &every5ms, nullptr), 0);
  const auto start = Clock::now();
  Sleep(300);
  const double elapsed = MillisecondsSince(start);
  itimerval off{};
  ::setitimer(ITIMER_REAL, &off, nullptr);
  ::signal(SIGALRM, SIG_DFL);
  EXPECT_GE(elapsed, 300.0);
  EXPECT_LT(elapsed, 1300.0);
}

}  // namespace
