// Runs a program as a child process and records what it writes, when, and how it ends.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace child {

enum class Output {
  kPipe,        // a pipe that the test reads
  kClosed,      // descriptor 1 closed
  kDevFull,     // /dev/full: every write fails with ENOSPC
  kBrokenPipe,  // a pipe whose reader is gone before the program starts
};

struct Options {
  std::string program;  // path of the executable
  std::string argv0;    // empty: the program's path
  std::vector<std::string> args;
  std::string locale = "C";              // LC_ALL for the child; LANG and LC_* are cleared
  std::vector<std::string> environment;  // more NAME=value entries
  Output output = Output::kPipe;
  bool closeInput = false;  // descriptor 0 closed instead of /dev/null
  // Called once, after the first bytes arrive on standard output (or at once when none can).
  std::function<void(pid_t)> onFirstOutput;
};

struct Chunk {
  std::string bytes;
  double atMs;  // since the child started
};

struct Result {
  std::vector<Chunk> chunks;  // standard output, as the reads returned it
  std::string errors;         // standard error
  int exitCode = -1;          // -1 when ended by a signal
  int signal = 0;             // the signal that ended it
  double elapsedMs = 0;       // start to exit
  double cpuMs = 0;           // user and system time of the child

  std::string output() const;
};

Result Run(const Options& options);

}  // namespace child
