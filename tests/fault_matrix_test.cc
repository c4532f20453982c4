// The built program in hostile surroundings: standard streams that take nothing, signals during
// the wait, command lines at the system's limits, text that only looks like a number, too little
// memory, and the longest interval. Run as a process, as a user's shell would run it.

#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <thread>

#include "child.h"
#include "expected_output.h"

namespace {

using Clock = std::chrono::steady_clock;
using child::Errors;
using child::Output;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

using child::FromEnvironment;

child::Options Waitms(std::vector<std::string> args, const std::string& locale = "C") {
  child::Options options;
  options.program = FromEnvironment("WAITMS_PROGRAM", WAITMS_PROGRAM);
  options.args = std::move(args);
  options.locale = locale;
  options.killAfterMs = 60000;  // a hung program fails its test instead of the whole run
  return options;
}

std::string Usage(bool utf8) {
  return expected_output::Usage(utf8 ? expected_output::kCopyrightUtf8
                                     : expected_output::kCopyrightAscii);
}

using expected_output::kInfinite;

// The CPU time of a start and an immediate end: what any run costs at least (the sanitizers' own
// start and end make it tens of milliseconds). Waiting must add next to nothing to it.
double StartCpuMs() {
  static const double least = [] {
    double cpu = 1e9;
    for (int i = 0; i < 3; ++i) cpu = std::min(cpu, child::Run(Waitms({"0"})).cpuMs);
    return cpu;
  }();
  return least;
}

std::string Describe(const child::Result& result) {
  std::ostringstream text;
  text << "exit " << result.exitCode << ", signal " << result.signal << ", " << result.elapsedMs
       << " ms, output " << ::testing::PrintToString(result.output()) << ", errors "
       << ::testing::PrintToString(result.errors);
  return text.str();
}

// The state letter in /proc/<pid>/stat: "S" asleep, "R" running, "T" stopped, "Z" gone.
char ProcessState(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  const std::string line((std::istreambuf_iterator<char>(stat)), {});
  const std::size_t close = line.rfind(") ");
  return close == std::string::npos || close + 2 >= line.size() ? '?' : line[close + 2];
}

TEST(FaultMatrix, StandardOutputThatTakesNothingSilencesOnlyTheText) {
  struct Row {
    Output output;
    std::string arg;
  };
  std::vector<Row> table;
  for (Output output :
       {Output::kClosed, Output::kDevFull, Output::kBrokenPipe, Output::kFullPipe}) {
    for (const char* arg : {"x", "-1"}) table.push_back({output, arg});
  }
  // A full non-blocking pipe refuses the write with EAGAIN: not tried again, not waited on.
  table.push_back({Output::kFullPipe, "300"});
  for (const Row& row : table) {
    SCOPED_TRACE("output " + std::to_string(static_cast<int>(row.output)) + ", " + row.arg);
    child::Options options = Waitms({row.arg});
    options.output = row.output;
    const auto result = child::Run(options);
    EXPECT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_EQ(result.output(), "");  // for the full pipe: nothing added to it
    EXPECT_EQ(result.errors, "");
    const double waits = row.arg == "300" ? 300 : 0;
    EXPECT_GE(result.elapsedMs, waits);
    EXPECT_LT(result.elapsedMs, waits + 1000);
    EXPECT_LT(result.cpuMs, StartCpuMs() + 50) << "a spin on the refused write";
  }
}

TEST(FaultMatrix, AReaderThatLeavesDuringTheWaitDoesNotEndIt) {
  child::Options options = Waitms({"300"});
  options.output = Output::kPipeReaderLeaves;
  const auto result = child::Run(options);
  EXPECT_EQ(result.output(), "Waiting 300 ms... ");
  EXPECT_EQ(result.exitCode, 0) << Describe(result);  // not SIGPIPE, for the "Ok" that went nowhere
  EXPECT_EQ(result.errors, "");
  EXPECT_GE(result.elapsedMs, 300);
}

TEST(FaultMatrix, StandardInputAndErrorChangeNothing) {
  const std::map<std::string, std::string> outcomes = {
      {"40", "Waiting 40 ms... Ok\r\n"}, {"-1", kInfinite}, {"x", Usage(false)}};
  for (const bool closeInput : {false, true}) {
    for (Errors errors : {Errors::kPipe, Errors::kDevNull, Errors::kClosed}) {
      for (const auto& [arg, output] : outcomes) {
        SCOPED_TRACE("input " + std::string(closeInput ? "closed" : "/dev/null") + ", errors " +
                     std::to_string(static_cast<int>(errors)) + ", " + arg);
        child::Options options = Waitms({arg});
        options.closeInput = closeInput;
        options.errors = errors;
        const auto result = child::Run(options);
        EXPECT_EQ(result.output(), output);
        EXPECT_EQ(result.exitCode, 0) << Describe(result);
        EXPECT_EQ(result.errors, "");
      }
    }
  }
}

TEST(FaultMatrix, AStormOfWindowSizeSignalsNeitherShortensTheWaitNorCostsTime) {
  child::Options options = Waitms({"500"});
  int sent = 0;
  options.onFirstOutput = [&](pid_t pid) {
    for (; sent < 1000; ++sent) {
      ::kill(pid, SIGWINCH);
      if (sent % 4 == 3) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  };
  const auto result = child::Run(options);
  EXPECT_EQ(sent, 1000);
  ASSERT_EQ(result.chunks.size(), 2u) << Describe(result);
  EXPECT_EQ(result.output(), "Waiting 500 ms... Ok\r\n");
  EXPECT_GE(result.chunks[1].atMs, 500);
  EXPECT_EQ(result.exitCode, 0);
  // A handler that does work, or a wait that polls, would show here.
  EXPECT_LT(result.cpuMs, StartCpuMs() + 50);
}

TEST(FaultMatrix, AStopPastTheDeadlineEndsTheWaitAtTheContinue) {
  child::Options options = Waitms({"600"});
  double continuedAfterMs = 0;
  options.onFirstOutput = [&](pid_t pid) {
    const auto announced = Clock::now();
    // The wait's deadline is set after the announcement: a stop between the two would come before
    // the wait has begun. Asleep, the program is in the wait.
    while (ProcessState(pid) != 'S' && MsSince(announced) < 1000) {
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    ::kill(pid, SIGSTOP);
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    continuedAfterMs = MsSince(announced);
    ::kill(pid, SIGCONT);
  };
  const auto result = child::Run(options);
  ASSERT_EQ(result.chunks.size(), 2u) << Describe(result);
  EXPECT_EQ(result.chunks[1].bytes, "Ok\r\n");
  const double gap = result.chunks[1].atMs - result.chunks[0].atMs;
  EXPECT_GE(gap, continuedAfterMs);  // nothing while stopped
  // At once: a wait that counted only the time running would add most of its 600 ms.
  EXPECT_LT(gap, continuedAfterMs + 300);
  EXPECT_EQ(result.exitCode, 0);
}

TEST(FaultMatrix, AHangupIgnoredByTheParentIsIgnoredToo) {
  for (const bool ignored : {true, false}) {
    SCOPED_TRACE(ignored ? "SIGHUP ignored" : "SIGHUP by default");
    child::Options options = Waitms({"300"});
    options.ignoreHangup = ignored;
    options.onFirstOutput = [](pid_t pid) { ::kill(pid, SIGHUP); };
    const auto result = child::Run(options);
    if (ignored) {
      EXPECT_EQ(result.output(), "Waiting 300 ms... Ok\r\n");
      EXPECT_EQ(result.exitCode, 0) << Describe(result);
      EXPECT_GE(result.elapsedMs, 300);
    } else {  // the signal did arrive: by default it ends the wait
      EXPECT_EQ(result.output(), "Waiting 300 ms... ");
      EXPECT_EQ(result.signal, SIGHUP) << Describe(result);
    }
  }
}

TEST(FaultMatrix, TheLongestCommandLinesGetTheUsageQuickly) {
  constexpr std::size_t kLongest = 128 * 1024 - 1;  // one argument: 32 pages with its NUL
  // All that exec takes: arguments and environment with their pointers, a quarter of the stack
  // limit, here 2 MiB; the environment is measured, with room for what child::Run adds.
  std::size_t room =
      std::min<std::size_t>(static_cast<std::size_t>(::sysconf(_SC_ARG_MAX)), 2 * 1024 * 1024) -
      16 * 1024;
  for (char** entry = environ; *entry != nullptr; ++entry) room -= std::strlen(*entry) + 1 + 8;
  const std::size_t count = room / (kLongest + 1 + 8);
  ASSERT_GE(count, 8u);

  struct Row {
    std::string what;
    std::vector<std::string> args;
  } const table[] = {
      {"one argument of digits", {std::string(kLongest, '9')}},
      {"one argument ending in a letter", {std::string(kLongest - 1, '9') + "x"}},
      {"many arguments of digits", std::vector<std::string>(count, std::string(kLongest, '9'))},
      {"many arguments with a letter last",
       [&] {
         std::vector<std::string> args(count, std::string(kLongest, '1'));
         args.back().back() = 'x';
         return args;
       }()},
  };
  for (const Row& row : table) {
    SCOPED_TRACE(row.what);
    const auto result = child::Run(Waitms(row.args));
    EXPECT_EQ(result.output(), Usage(false));
    EXPECT_EQ(result.exitCode, 0) << Describe(result);
    // The benchmark has the figures (tens of milliseconds for 2 MB, growing linearly); this
    // bound only has to hold on a loaded machine and under the sanitizers.
    EXPECT_LT(result.elapsedMs, 1000);
  }
}

TEST(FaultMatrix, TextThatOnlyLooksLikeANumberGetsTheUsage) {
  struct Row {
    const char* locale;
    std::string arg;
  } const table[] = {
      // Not UTF-8: a lone continuation byte, a cut sequence, bytes no sequence starts with.
      {"C.UTF-8", "\x80"},
      {"C.UTF-8", "1\xC3"},
      {"C.UTF-8",
       "\xFF"
       "5"},
      // Overlong forms of "1", which a lax decoder turns into a digit, and a UTF-16 surrogate and
      // a code point past U+10FFFF written in UTF-8.
      {"C.UTF-8", "1\xC0\xB1"},
      {"C.UTF-8", "\xE0\x80\xB1"},
      {"C.UTF-8", "\xF0\x80\x80\xB1"},
      {"C.UTF-8", "5\xED\xA0\x80"},
      {"C.UTF-8",
       "\xF4\x90\x80\x80"
       "5"},
      // Control characters are not blanks.
      {"C.UTF-8",
       "\x01"
       "5"},
      {"C.UTF-8", "5\n"},
      {"C.UTF-8", "5\r"},
      {"C.UTF-8", "\v5"},
      {"C.UTF-8", "\f5"},
      {"C.UTF-8", "5\x1B"},
      {"C.UTF-8",
       "\x7F"
       "5"},
      // Characters that look like digits, blanks or signs.
      {"C.UTF-8",
       "\xEF\xBB\xBF"
       "5"},                                    // U+FEFF, a byte-order mark
      {"C.UTF-8", "\xEF\xBC\x91\xEF\xBC\x95"},  // fullwidth 15
      {"C.UTF-8", "\xD9\xA1\xD9\xA5"},          // Arabic-Indic 15
      {"C.UTF-8", "\xDB\xB1\xDB\xB5"},          // extended Arabic-Indic 15
      {"C.UTF-8",
       "\xC2\xA0"
       "5"},  // no-break space
      {"C.UTF-8",
       "\xE2\x80\x89"
       "5"},                         // thin space
      {"C.UTF-8", "5\xE2\x80\x8B"},  // zero-width space
      {"C.UTF-8",
       "\xE2\x88\x92"
       "5"},  // minus sign
      {"C.UTF-8",
       "\xEF\xBC\x8B"
       "5"},  // fullwidth plus
      {"en_US.UTF-8",
       "1\xEF\xBC\x8C"
       "500"},  // fullwidth comma as the group separator
      // The Russian group separator U+202F cut short, doubled, or replaced by U+00A0.
      {"ru_RU.UTF-8",
       "1\xE2\x80"
       "500"},
      {"ru_RU.UTF-8",
       "1\xE2\x80\xAF\xE2\x80\xAF"
       "500"},
      {"ru_RU.UTF-8",
       "1\xC2\xA0"
       "500"},
  };
  for (const Row& row : table) {
    SCOPED_TRACE(std::string(row.locale) + " " + ::testing::PrintToString(row.arg));
    const auto result = child::Run(Waitms({row.arg}, row.locale));
    EXPECT_EQ(result.output(), Usage(true));
    EXPECT_EQ(result.exitCode, 0) << Describe(result);
  }
}

TEST(FaultMatrix, TooLittleMemoryGivesTheOutcomeOrTheReportNeverASignal) {
#ifdef WAITMS_SANITIZED
  GTEST_SKIP() << "the sanitizers' shadow memory needs far more address space than any limit here";
#endif
  // The smallest limit at which the program's own libraries get as far as main. Below it the C
  // library gives up before waitms has run at all (static glibc even with SIGSEGV).
  child::Options idle;
  idle.program = FromEnvironment("WAITMS_IDLE", WAITMS_IDLE);
  auto reachesMain = [&](std::size_t limit) {
    idle.addressSpaceLimit = limit;
    return child::Run(idle).exitCode == 0;
  };
  std::size_t low = 64 * 1024, high = std::size_t{1} << 30;
  ASSERT_FALSE(reachesMain(low));
  ASSERT_TRUE(reachesMain(high));
  while (high - low > 4096) {
    const std::size_t middle = (low + high) / 2 / 4096 * 4096;
    (reachesMain(middle) ? high : low) = middle;
  }
  // The program itself is a page or so larger than the stand-in, and its arguments take stack.
  const std::size_t entry = high + 4 * 4096;

  // Separators and charset come from the locale, which is the first thing to need memory: these
  // give a different text in the C locale, so that a run that quietly lost its locale shows.
  struct Row {
    const char* locale;
    std::vector<std::string> args;
    std::string output;
  } const table[] = {
      {"C", {"x"}, Usage(false)},
      {"en_US.UTF-8", {"0,001"}, "Waiting 1 ms... Ok\r\n"},
      {"de_DE.UTF-8", {"0.001"}, "Waiting 1 ms... Ok\r\n"},
      {"ru_RU.UTF-8", {}, Usage(true)},
  };
  std::error_code ignored;
  const auto archive = std::filesystem::file_size("/usr/lib/locale/locale-archive", ignored);
  const std::size_t top =
      entry + (archive == static_cast<std::uintmax_t>(-1) ? 0 : archive) + 4 * 1024 * 1024;
  int normal = 0, reports = 0;
  for (std::size_t limit = entry; limit <= top;
       limit += limit < entry + 256 * 1024 ? 4096 : 64 * 1024) {
    for (const Row& row : table) {
      child::Options options = Waitms(row.args, row.locale);
      options.addressSpaceLimit = limit;
      const auto result = child::Run(options);
      if (result.exitCode == 0 && result.output() == row.output && result.errors.empty()) {
        ++normal;
      } else if (result.exitCode > 0 && result.output().empty() &&
                 result.errors == "waitms: run-time error 7 (0x00000007)\n") {
        ++reports;
      } else {
        ADD_FAILURE() << "limit " << limit / 1024 << " KiB (main from " << entry / 1024 << " KiB), "
                      << row.locale << " " << ::testing::PrintToString(row.args) << ": "
                      << Describe(result);
      }
    }
  }
  EXPECT_GT(normal, 0) << "no limit was large enough";
  if (archive != static_cast<std::uintmax_t>(-1)) {
    EXPECT_GT(reports, 0) << "no limit was small enough to keep the locales out of reach";
  }
  std::cout << "memory: main reached from " << entry / 1024 << " KiB; " << normal
            << " normal outcomes, " << reports << " reports\n";
}

TEST(FaultMatrix, TheLargestIntervalIsAcceptedAndSleptOn) {
  child::Options options = Waitms({"2147483647"});
  char state = '?';
  options.onFirstOutput = [&](pid_t pid) {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    state = ProcessState(pid);
    ::kill(pid, SIGKILL);
  };
  const auto result = child::Run(options);
  EXPECT_EQ(result.output(), "Waiting 2147483647 ms... ");
  EXPECT_EQ(state, 'S');                                  // asleep, not spinning and not gone
  EXPECT_EQ(result.signal, SIGKILL) << Describe(result);  // still there after a second
  EXPECT_LT(result.cpuMs, StartCpuMs() + 50);
}

}  // namespace
