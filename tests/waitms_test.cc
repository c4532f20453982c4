// The built program, run as a process: its exact bytes, its exit status and when each write
// arrives.

#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "child.h"
#include "expected_output.h"

namespace {

using child::FromEnvironment;

std::string Program() {
  return FromEnvironment("WAITMS_PROGRAM", WAITMS_PROGRAM);
}

// The Windows build runs the same suite under Wine: WAITMS_LAUNCHER names the command that starts
// it, and WAITMS_PLATFORM=windows picks the expectations where Windows answers differently.
bool OnWindows() {
  return FromEnvironment("WAITMS_PLATFORM", "") == "windows";
}

// How long a start may take: Wine (and an emulated CPU beneath it) start far more slowly.
double StartMs() {
  return OnWindows() ? 120000 : 1000;
}

// Options that start `program` with `args`, through the launcher when there is one.
child::Options Launch(const std::string& program, std::vector<std::string> args) {
  child::Options options;
  const std::string launcher = FromEnvironment("WAITMS_LAUNCHER", "");
  options.program = launcher.empty() ? program : launcher;
  if (!launcher.empty()) args.insert(args.begin(), program);
  options.args = std::move(args);
  return options;
}

// The end of a line on standard error.
std::string LineEnd() {
  return OnWindows() ? "\r\n" : "\n";
}

using expected_output::kCopyrightAscii;
using expected_output::kCopyrightUtf8;
using expected_output::kInfinite;
using expected_output::Usage;

child::Result RunWaitms(std::vector<std::string> args, const std::string& locale = "C") {
  child::Options options = Launch(Program(), std::move(args));
  options.locale = locale;
  return child::Run(options);
}

// "Waiting ..." first, then "Ok" at least the interval later, exit 0.
void ExpectWait(const child::Result& result, const std::string& shown, double ms) {
  ASSERT_EQ(result.chunks.size(), 2u) << result.output();
  EXPECT_EQ(result.chunks[0].bytes, "Waiting " + shown + " ms... ");
  EXPECT_EQ(result.chunks[1].bytes, "Ok\r\n");
  // Each write is seen when this process gets round to reading it, so the gap between two reads
  // can fall short of the wait by that latency; the time since the start can't.
  EXPECT_GE(result.chunks[1].atMs, ms);
  EXPECT_GE(result.chunks[1].atMs - result.chunks[0].atMs, ms - 20);
  EXPECT_LT(result.chunks[1].atMs - result.chunks[0].atMs, ms + StartMs());
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.errors, "");
}

TEST(Waitms, AnnouncesWaitsAndConfirms) {
  const auto result = RunWaitms({"250"});
  ExpectWait(result, "250", 250);
  // Announced before the pause, not after it.
  EXPECT_LT(result.chunks[0].atMs, result.chunks[1].atMs - 200);
}

TEST(Waitms, WaitsNothingForZero) {
  const auto result = RunWaitms({"0"});
  EXPECT_EQ(result.output(), "Waiting 0 ms... Ok\r\n");
  EXPECT_EQ(result.exitCode, 0);
}

TEST(Waitms, RefusesInfiniteAndAnswersTheRestWithTheUsage) {
  struct Row {
    std::vector<std::string> args;
    std::string output;
  } const table[] = {
      {{"-1"}, kInfinite}, {{}, Usage(kCopyrightAscii)},
      {{"-2"}, ""},        {{"2147483648"}, ""},
      {{"1", "2"}, ""},    {{"12abc"}, ""},
      {{"\"250\""}, ""},   {{"\xC3\x28"}, ""},
  };
  for (const Row& row : table) {
    const auto result = RunWaitms(row.args);
    const std::string expected = row.output.empty() ? Usage(kCopyrightAscii) : row.output;
    EXPECT_EQ(result.output(), expected) << ::testing::PrintToString(row.args);
    EXPECT_EQ(result.chunks.size(), 1u);  // one write
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_LT(result.elapsedMs, StartMs());
  }
}

TEST(Waitms, ReadsNumbersTheLocalesWay) {
  struct Row {
    const char* locale;
    std::string arg;
    std::string shown;  // empty: refused
  } const table[] = {
      // Wine quotes an argument with blanks as it makes the command line, and the quotation marks
      // are part of the tail, as when a Windows user types them.
      {"C", " 42 ", OnWindows() ? "" : "42"},
      {"C", "2.5", "2"},
      {"C", "3.5", "4"},
      {"C", "-0.4", "0"},
      // Wine takes the C locale for English (United States), which groups with commas.
      {"C", "1,500", OnWindows() ? "1500" : ""},
      {"en_US.UTF-8", "1,500", "1500"},
      {"en_US.UTF-8", "2.5", "2"},
      {"de_DE.UTF-8", "2,5", "2"},
      {"de_DE.UTF-8", "1.500", "1500"},
      // glibc's Russian groups with U+202F, Windows' with U+00A0.
      {"ru_RU.UTF-8", "1\u202F500", OnWindows() ? "" : "1500"},
      {"ru_RU.UTF-8", "1\u00A0500", OnWindows() ? "1500" : ""},
      {"ru_RU.UTF-8", "1 500", ""},
      {"ru_RU.UTF-8", "2,5", "2"},
      {"ru_RU.CP1251",
       "1\xA0"
       "500",
       "1500"},
      {"ru_RU.CP1251", "1\u202F500", ""},  // UTF-8 bytes are other characters in CP1251
  };
  for (const Row& row : table) {
    SCOPED_TRACE(std::string(row.locale) + " \"" + row.arg + "\"");
    const auto result = RunWaitms({row.arg}, row.locale);
    ASSERT_FALSE(result.chunks.empty());
    if (row.shown.empty()) {
      EXPECT_EQ(result.chunks[0].bytes.rfind("Korvane - WaitMs 1.00.0004\r\n", 0), 0u);
    } else {
      EXPECT_EQ(result.output(), "Waiting " + row.shown + " ms... Ok\r\n");
    }
  }
  const auto result = RunWaitms({"1,500"}, "en_US.UTF-8");
  ExpectWait(result, "1500", 1500);
}

// The copyright line in code page 866, as a Russian console shows it.
const std::string kCopyright866 =
    "(c) \x8A\xAE\xE0\xA2\xA0\xAD\xA5, 2010. "
    "\x8F\xAE\xE1\xA2\xEF\xE9\xA0\xA5\xE2\xE1\xEF \xA2\xE1\xA5\xAC, "
    "\xAA\xE2\xAE \xE3\xAC\xA5\xA5\xE2 \xA6\xA4\xA0\xE2\xEC.";

TEST(Waitms, WritesTheCopyrightInTheConsolesCharset) {
  if (OnWindows()) {
    // ANSI 1251, OEM 866: the support library recodes the line for the console; the title, plain
    // ASCII, stays as it is.
    EXPECT_EQ(RunWaitms({}, "ru_RU.UTF-8").output(), Usage(kCopyright866));
    return;
  }
  EXPECT_EQ(RunWaitms({}, "ru_RU.UTF-8").output(), Usage(kCopyrightUtf8));
  EXPECT_EQ(RunWaitms({}, "C.UTF-8").output(), Usage(kCopyrightUtf8));
  EXPECT_EQ(RunWaitms({}, "ru_RU.CP1251").output(),
            Usage("(c) \xCA\xEE\xF0\xE2\xE0\xED\xE5, 2010. "
                  "\xCF\xEE\xF1\xE2\xFF\xF9\xE0\xE5\xF2\xF1\xFF \xE2\xF1\xE5\xEC, "
                  "\xEA\xF2\xEE \xF3\xEC\xE5\xE5\xF2 \xE6\xE4\xE0\xF2\xFC."));
}

TEST(Waitms, ShowsTheNameItWasStartedUnder) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("waitms-name-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto copy = dir / "pause.exe";
  const auto link = dir / "hold-on";
  std::filesystem::copy_file(Program(), copy, std::filesystem::copy_options::overwrite_existing);
  if (OnWindows()) {  // the copy finds its support library beside it
    std::filesystem::copy_file(
        std::filesystem::path(Program()).parent_path() / "KORVANESUPPORT0100.DLL",
        dir / "KORVANESUPPORT0100.DLL");
  }
  std::filesystem::remove(link);
  std::filesystem::create_symlink(copy, link);
  for (const auto& [path, name] : {std::pair{copy, "pause"}, std::pair{link, "hold-on"}}) {
    if (OnWindows() && path == link) continue;  // Wine runs what a link points to, by that name
    const auto result = child::Run(Launch(path, {}));
    EXPECT_EQ(result.output(), Usage(kCopyrightAscii, name));
  }
  std::filesystem::remove_all(dir);
}

TEST(Waitms, WaitsSilentlyWithoutAUsableStandardOutput) {
  for (auto output :
       {child::Output::kClosed, child::Output::kDevFull, child::Output::kBrokenPipe}) {
    for (const bool closeInput : {false, true}) {
      child::Options options = Launch(Program(), {"300"});
      options.output = output;
      options.closeInput = closeInput;
      const auto result = child::Run(options);
      EXPECT_EQ(result.exitCode, 0) << static_cast<int>(output) << " signal " << result.signal;
      EXPECT_EQ(result.errors, "");
      EXPECT_GE(result.elapsedMs, 300);
      EXPECT_LT(result.elapsedMs, 300 + StartMs());
    }
  }
}

TEST(Waitms, SignalsThatDoNotEndItDoNotShortenTheWait) {
  child::Options options;
  options.program = Program();
  options.args = {"500"};
  options.onFirstOutput = [](pid_t pid) {
    for (int i = 0; i < 50; ++i) {
      ::kill(pid, SIGWINCH);
      ::kill(pid, SIGCHLD);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::kill(pid, SIGSTOP);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ::kill(pid, SIGCONT);
  };
  const auto result = child::Run(options);
  ExpectWait(result, "500", 500);
  // Stopped and continued well before the deadline, it still wakes at the deadline.
  EXPECT_LT(result.chunks[1].atMs - result.chunks[0].atMs, 800);
}

TEST(Waitms, AnInterruptEndsItBeforeOk) {
  for (const int signal : {SIGINT, SIGTERM}) {
    child::Options options;
    options.program = Program();
    options.args = {"5000"};
    options.onFirstOutput = [signal](pid_t pid) { ::kill(pid, signal); };
    const auto result = child::Run(options);
    EXPECT_EQ(result.output(), "Waiting 5000 ms... ");
    EXPECT_EQ(result.signal, signal);
    EXPECT_LT(result.elapsedMs, 2000);
  }
}

// The support library's calls that the program made, as the failing library logged them.
class CallLog {
 public:
  CallLog()
      : path_(std::filesystem::temp_directory_path() /
              ("waitms-calls-" + std::to_string(::getpid()))) {}
  ~CallLog() { std::filesystem::remove(path_); }
  // The log's name as the program sees it: under Wine, a path on drive Z: (the root).
  std::string variable() const {
    std::string name = path_.string();
    if (OnWindows()) {
      std::replace(name.begin(), name.end(), '/', '\\');
      name = "Z:" + name;
    }
    return "WAITMS_CALL_LOG=" + name;
  }
  std::vector<std::string> Take() {
    std::vector<std::string> calls;
    std::ifstream file(path_);
    for (std::string line; std::getline(file, line);) calls.push_back(line);
    std::filesystem::remove(path_);
    return calls;
  }

 private:
  std::filesystem::path path_;
};

TEST(Waitms, ReportsAStartUpFailureOnStandardError) {
  const std::string program = FromEnvironment("WAITMS_FAILING_SUPPORT", WAITMS_FAILING_SUPPORT);
  const std::vector<std::string> startUp = {"ksRegisterAppPath", "ksIsInIDE",
                                            "ksGetThunderMainHandle", "ksSetWindowResIconAll"};
  CallLog log;
  for (std::size_t failing = 0; failing < startUp.size(); ++failing) {
    const std::string& call = startUp[failing];
    child::Options options = Launch(program, {"0"});
    options.environment = {"WAITMS_FAIL=" + call, log.variable()};
    const auto result = child::Run(options);
    EXPECT_EQ(result.output(), "") << call;
    EXPECT_EQ(result.errors, "waitms: run-time error -2147467259 (0x80004005)" + LineEnd()) << call;
    EXPECT_EQ(result.exitCode, 1) << call;
    // No call after the failing one.
    EXPECT_EQ(log.Take(), std::vector<std::string>(
                              startUp.begin(), startUp.begin() + static_cast<long>(failing) + 1));
  }
  // A failing usage text is silent, and the wait command still ends normally.
  for (const char* call : {"ksAnsiToOem", "ksFormatVersion"}) {
    child::Options options = Launch(program, {"x"});
    options.environment = {std::string("WAITMS_FAIL=") + call, log.variable()};
    const auto result = child::Run(options);
    EXPECT_EQ(result.output(), "") << call;
    EXPECT_EQ(result.errors, "") << call;
    EXPECT_EQ(result.exitCode, 0) << call;
    EXPECT_EQ(log.Take().back(), call);
  }
}

}  // namespace
