// Runs a program as a child process and records what it writes, when, and how it ends.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace child {

enum class Output {
  kPipe,              // a pipe that the test reads
  kClosed,            // descriptor 1 closed
  kDevFull,           // /dev/full: every write fails with ENOSPC
  kBrokenPipe,        // a pipe whose reader is gone before the program starts
  kPipeReaderLeaves,  // a pipe whose reader goes away once the first bytes have arrived
  kFullPipe,  // a non-blocking pipe, full before the program starts and not read while it runs
};

enum class Errors {
  kPipe,     // a pipe that the test reads
  kDevNull,  // /dev/null
  kClosed,   // descriptor 2 closed
};

struct Options {
  std::string program;  // path of the executable
  std::vector<std::string> args;
  std::string locale = "C";              // LC_ALL for the child; LANG and LC_* are cleared
  std::vector<std::string> environment;  // more NAME=value entries
  Output output = Output::kPipe;
  bool closeInput = false;  // descriptor 0 closed instead of /dev/null
  Errors errors = Errors::kPipe;
  bool ignoreHangup = false;          // SIGHUP ignored, as nohup leaves it
  std::size_t addressSpaceLimit = 0;  // RLIMIT_AS in bytes (ulimit -v); 0 leaves it
  double killAfterMs = 0;             // SIGKILL once this long has passed; 0: never
  // Called once, after the first bytes arrive on standard output (or at once when none can).
  std::function<void(pid_t)> onFirstOutput;
};

struct Chunk {
  std::string bytes;
  double atMs;  // since the child started
};

struct Result {
  // Standard output, as the reads returned it. For a full pipe: what the program added to it, read
  // after the exit.
  std::vector<Chunk> chunks;
  std::string errors;    // standard error
  int exitCode = -1;     // -1 when ended by a signal; 127 when it could not be started
  int signal = 0;        // the signal that ended it
  double elapsedMs = 0;  // start to exit
  double cpuMs = 0;      // user and system time of the child

  std::string output() const;
};

Result Run(const Options& options);

// The environment variable `name`, or `builtIn` when it is unset or empty: how a test learns which
// programs to run.
std::string FromEnvironment(const char* name, const char* builtIn);

}  // namespace child
