// The Windows wait's deadline loop over a fake performance counter and a fake Sleep that, like
// Windows' own, wakes on a tick of the system timer: up to a tick before or after the time asked.

#include "deadline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace {

TEST(SleepUntilElapsed, NeverEarlyAndLateByAtMostATick) {
  // An ACPI timer, Windows 10's 10 MHz, a 2.4 GHz TSC and one beyond what 64-bit `ms * frequency`
  // can hold for the longest wait.
  const std::int64_t frequencies[] = {3579545, 10000000, 2400000000, 10000000000};
  const std::int64_t ticks[] = {15625000, 1000000};  // ns: the default period, and the least
  const std::int64_t intervals[] = {0, 1, 16, 1500, 2147483647};
  enum Wake { kLate, kEarly, kBackwards };  // backwards: early, and the counter loses a second
  for (const std::int64_t frequency : frequencies)
    for (const std::int64_t tick : ticks)
      for (const std::int64_t ms : intervals)
        for (const std::int64_t phase : {std::int64_t{0}, tick / 3, tick - 1})
          for (const Wake wake : {kLate, kEarly, kBackwards}) {
            std::int64_t now = phase;  // ns
            int sleeps = 0;
            const auto counter = [&] {  // from a second in, in two parts to stay within 64 bits
              const auto t = static_cast<std::uint64_t>(
                  now + (wake == kBackwards && sleeps > 0 ? 0 : 1000000000));
              const auto hz = static_cast<std::uint64_t>(frequency);
              return static_cast<std::int64_t>(t / 1000000000 * hz +
                                               t % 1000000000 * hz / 1000000000);
            };
            const auto sleep = [&](std::uint32_t asked) {
              if (++sleeps > 100) throw std::runtime_error("spins");  // Sleep(0) over and over
              const std::int64_t due = (now + asked * std::int64_t{1000000} + tick - 1) / tick;
              if (asked > 0) now = std::max(due - (wake == kLate ? 0 : 1), now / tick + 1) * tick;
            };
            SleepUntilElapsed(static_cast<std::uint32_t>(ms), static_cast<std::uint64_t>(frequency),
                              counter, sleep);
            const std::int64_t rounds = wake == kBackwards ? 2 : 1;  // the lost second: once more
            SCOPED_TRACE(testing::Message() << frequency << " Hz " << tick << " ns " << ms << " ms "
                                            << phase << " ns " << wake);
            EXPECT_GE(now - phase, ms * 1000000);
            EXPECT_LT(now - phase, rounds * (ms * 1000000 + tick) + 1000000);
            EXPECT_LE(sleeps, 2 * rounds + 1);
          }
}

}  // namespace
