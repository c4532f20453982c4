// kernel32 and comctl32 for the wait-command fuzz target: writes are recorded and Sleep returns at
// once, so that a run costs microseconds whatever the interval.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fake {

enum class StdOut {
  kWorks,    // every write succeeds
  kMissing,  // GetStdHandle has no handle to give
  kFails,    // WriteFile fails; the attempts are still recorded
};

struct Kernel32 {
  StdOut stdOut = StdOut::kWorks;
  std::vector<std::string> attempts;  // the bytes of each WriteFile call
  std::vector<std::string> written;   // those that succeeded
  std::vector<std::uint32_t> sleeps;
};

// Cleared before each run, with the program's cached handle.
Kernel32& State();
void Reset(StdOut stdOut);

}  // namespace fake
