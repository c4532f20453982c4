// The Windows wait's deadline loop over a fake performance counter and a fake Sleep that, like
// Windows' own, wakes on a tick of the system timer: up to a tick before or after the time asked.
#include "deadline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>

TEST(SleepUntilElapsed, NeverEarlyAndLateByAtMostATick) {
  enum Wake { kLate, kEarly, kBackwards };  // backwards: early, and the counter loses a second
  // An ACPI timer, Windows 10's 10 MHz, a 2.4 GHz TSC and one beyond what 64-bit `ms * frequency`
  // can hold for the longest wait; the timer's default period and its least; the time the caller
  // spent after reading the counter (loading winmm), in ns.
  for (const std::uint64_t frequency : {3579545ULL, 10000000ULL, 2400000000ULL, 10000000000ULL})
    for (const std::int64_t tick : {15625000LL, 1000000LL})
      for (const std::int64_t ms : {0LL, 1LL, 16LL, 1500LL, 2147483647LL})
        for (const std::int64_t phase : {std::int64_t{0}, tick / 3, tick - 1})
          for (const std::int64_t spent : {0LL, 3000000LL})
            for (const Wake wake : {kLate, kEarly, kBackwards}) {
              std::int64_t now = phase;  // ns
              int sleeps = 0;
              const auto counter = [&] {  // from a second in, in two parts to stay within 64 bits
                const auto t = static_cast<std::uint64_t>(
                    now + (wake == kBackwards && sleeps > 0 ? 0 : 1000000000));
                return static_cast<std::int64_t>(t / 1000000000 * frequency +
                                                 t % 1000000000 * frequency / 1000000000);
              };
              const auto sleep = [&](std::uint32_t asked) {
                if (++sleeps > 100) throw std::runtime_error("spins");  // Sleep(0) over and over
                const std::int64_t due = (now + asked * std::int64_t{1000000} + tick - 1) / tick;
                if (asked > 0) now = std::max(due - (wake == kLate ? 0 : 1), now / tick + 1) * tick;
              };
              const std::int64_t start = counter();
              now += spent;
              SleepUntilElapsed(static_cast<std::uint32_t>(ms), frequency, start, counter, sleep);
              const std::int64_t rounds = wake == kBackwards ? 2 : 1;  // the lost second: once more
              SCOPED_TRACE(testing::Message() << frequency << "Hz " << tick << "ns " << ms << "ms "
                                              << phase << "+" << spent << "ns " << wake);
              EXPECT_GE(now - phase, ms * 1000000);
              EXPECT_LT(now - phase, std::max(spent + 1, rounds * (ms * 1000000 + tick) + 1000000));
              EXPECT_LE(sleeps, 2 * rounds + 1);
            }
}
