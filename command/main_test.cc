#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "failure.h"
#include "fake_platform.h"
#include "modmain.h"

namespace {

using Calls = std::vector<std::string>;

const Calls kStartUp = {"ksRegisterAppPath", "InitCommonControls", "ksIsInIDE",
                        "ksGetThunderMainHandle", "ksSetWindowResIconAll:A_MAIN"};

class ModMain : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }
  void Run(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {"waitms"};
    argv.insert(argv.end(), args.begin(), args.end());
    fake::SetCommandLine(argv);
    modMain::Main();
  }
  const Calls& calls() { return fake::State().calls; }
};

TEST_F(ModMain, StartsUpThenWaits) {
  Run({"250"});
  Calls expected = kStartUp;
  expected.insert(expected.end(), {"GetStdHandle", "WriteFile:Waiting 250 ms... ", "Sleep:250",
                                   "WriteFile:Ok\r\n"});
  EXPECT_EQ(calls(), expected);
}

TEST_F(ModMain, SkipsTheIconsInsideTheDevelopmentEnvironment) {
  for (std::int16_t inIde : {std::int16_t{1}, std::int16_t{-1}}) {
    fake::Reset();
    fake::State().inIde = inIde;
    Run({"0"});
    const Calls expected = {"ksRegisterAppPath", "InitCommonControls",         "ksIsInIDE",
                            "GetStdHandle",      "WriteFile:Waiting 0 ms... ", "Sleep:0",
                            "WriteFile:Ok\r\n"};
    EXPECT_EQ(calls(), expected) << "inIde " << inIde;
  }
}

TEST_F(ModMain, StartUpFailureStopsEverythingAndReachesTheRunTime) {
  for (std::size_t failing = 0; failing < kStartUp.size(); ++failing) {
    if (kStartUp[failing] == "InitCommonControls") continue;  // returns nothing to fail with
    SCOPED_TRACE(kStartUp[failing]);
    fake::Reset();
    fake::State().failing = {kStartUp[failing]};
    fake::SetCommandLine({"waitms", "250"});
    try {
      modMain::Main();
      ADD_FAILURE() << "no failure raised";
    } catch (const runtime::RuntimeError& error) {
      EXPECT_EQ(error.number(), static_cast<std::int32_t>(0x80004005u));
    }
    const Calls expected(kStartUp.begin(), kStartUp.begin() + static_cast<long>(failing) + 1);
    EXPECT_EQ(calls(), expected);
    EXPECT_TRUE(fake::State().writes.empty());
  }
}

struct Decision {
  const char* tail;
  std::vector<std::string> writes;  // "usage" stands for the usage text
  std::vector<std::string> sleeps;
};

// One row for each way through the decision; which texts are numbers is the conversion's own
// table (runtime/number_test.cc).
TEST_F(ModMain, DecidesOnTheInterval) {
  const std::vector<Decision> table = {
      {"0", {"Waiting 0 ms... ", "Ok\r\n"}, {"Sleep:0"}},
      {"250", {"Waiting 250 ms... ", "Ok\r\n"}, {"Sleep:250"}},
      {"2147483647", {"Waiting 2147483647 ms... ", "Ok\r\n"}, {"Sleep:2147483647"}},
      {"2.5", {"Waiting 2 ms... ", "Ok\r\n"}, {"Sleep:2"}},
      {"3.5", {"Waiting 4 ms... ", "Ok\r\n"}, {"Sleep:4"}},
      {"-0.4", {"Waiting 0 ms... ", "Ok\r\n"}, {"Sleep:0"}},
      {"-1", {"INFINITE value not supported!\r\n"}, {}},
      {"-0.6", {"INFINITE value not supported!\r\n"}, {}},
      {"-2", {"usage"}, {}},
      {"-2147483648", {"usage"}, {}},
      {"", {"usage"}, {}},
      {"2147483648", {"usage"}, {}},
      {"abc", {"usage"}, {}},
  };
  for (const Decision& row : table) {
    SCOPED_TRACE(std::string("tail \"") + row.tail + "\"");
    fake::Reset();
    fake::SetCommandLine(*row.tail != 0 ? std::vector<std::string>{"waitms", row.tail}
                                        : std::vector<std::string>{"waitms"});
    modMain::RunWait();
    std::vector<std::string> writes = fake::State().writes;
    for (auto& text : writes) {
      if (text.rfind("Korvane - WaitMs", 0) == 0) text = "usage";
    }
    EXPECT_EQ(writes, row.writes);
    std::vector<std::string> sleeps;
    for (const auto& call : calls()) {
      if (call.rfind("Sleep:", 0) == 0) sleeps.push_back(call);
    }
    EXPECT_EQ(sleeps, row.sleeps);
  }
}

TEST_F(ModMain, JoinsTheArgumentsIntoOneTail) {
  fake::SetCommandLine({"waitms", "1", "2"});
  modMain::RunWait();
  ASSERT_EQ(fake::State().writes.size(), 1u);
  EXPECT_EQ(fake::State().writes[0].rfind("Korvane - WaitMs", 0), 0u);  // the usage text
}

TEST_F(ModMain, AFailingUsageTextEndsTheCommandSilently) {
  for (const char* failing :
       {"ksAnsiToOem:title", "ksFormatVersion:1,0,4", "ksAnsiToOem:copyright"}) {
    SCOPED_TRACE(failing);
    fake::Reset();
    fake::State().failing = {failing};
    fake::SetCommandLine({"waitms", "nonsense"});
    modMain::RunWait();  // lets nothing out
    EXPECT_TRUE(fake::State().writes.empty());
    EXPECT_EQ(calls().back(), failing);
  }
}

TEST_F(ModMain, AFailedWaitingMessageStillWaitsAndConfirms) {
  // The write itself fails: not even seen by the command.
  fake::State().writeFails = true;
  fake::SetCommandLine({"waitms", "30"});
  modMain::RunWait();
  EXPECT_EQ(calls(),
            (Calls{"GetStdHandle", "WriteFile:Waiting 30 ms... ", "Sleep:30", "WriteFile:Ok\r\n"}));

  // The conversion of the message runs out of memory: a failure raised inside the step.
  fake::Reset();
  fake::State().exhaustMemoryOnFirstWrite = true;
  fake::SetCommandLine({"waitms", "30"});
  modMain::RunWait();
  EXPECT_EQ(calls(), (Calls{"GetStdHandle", "Sleep:30", "WriteFile:Ok\r\n"}));
  EXPECT_EQ(fake::Output(), "Ok\r\n");
}

TEST_F(ModMain, AnInvalidCommandLineShowsTheUsage) {
  fake::SetCommandLine({"waitms", "\xC3\x28"});  // not UTF-8
  modMain::RunWait();
  ASSERT_EQ(fake::State().writes.size(), 1u);
  EXPECT_EQ(fake::State().writes[0].rfind("Korvane - WaitMs", 0), 0u);
}

}  // namespace
