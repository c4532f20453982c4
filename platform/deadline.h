// Sleeping to a deadline on a performance counter, over a sleep that may end up to a tick of the
// system timer early or late. Templated over the counter and the sleep so that it can be tried
// against fakes of both.
#pragma once

#include <cstdint>

// Counter ticks in `ms` milliseconds, rounded up. Split at whole seconds so that nothing overflows
// for any `ms` below 2^32 at counter frequencies up to about 4.29 THz (1000 * 2^32 Hz, where the
// result itself fills 64 bits; 8.59 THz for the longest wait, 2^31 - 1 ms): `ms * frequency`
// would overflow from 4.29 GHz. Counters run at 10 MHz (Windows 10 on) or a few GHz at most.
constexpr std::uint64_t TicksIn(std::uint64_t ms, std::uint64_t frequency) {
  return ms / 1000 * frequency + (ms % 1000 * frequency + 999) / 1000;
}

// Whole milliseconds in `ticks` counter ticks, rounded up.
constexpr std::uint64_t MillisecondsIn(std::uint64_t ticks, std::uint64_t frequency) {
  return ticks / frequency * 1000 + (ticks % frequency * 1000 + frequency - 1) / frequency;
}

// Sleeps with `sleep(ms)` for as long as `counter()` (at `frequency` ticks per second,
// frequency > 0) says that `ms` milliseconds have not passed since it read `start`: what was done
// since then counts toward the interval. Never spins: each round sleeps at least a millisecond.
template <class Counter, class Sleep>
void SleepUntilElapsed(std::uint32_t ms, std::uint64_t frequency, std::int64_t start,
                       Counter counter, Sleep sleep) {
  const std::uint64_t needed = TicksIn(ms, frequency);
  std::uint64_t elapsed = 0;
  std::int64_t last = start;
  for (;;) {
    const std::int64_t now = counter();
    // A counter that runs backwards (faulty firmware on some old machines) counts as no time
    // passed: that can only lengthen the wait.
    if (now > last) elapsed += static_cast<std::uint64_t>(now - last);
    last = now;
    if (elapsed >= needed) return;
    sleep(static_cast<std::uint32_t>(MillisecondsIn(needed - elapsed, frequency)));
  }
}
