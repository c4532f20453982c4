#include "console.h"

#include <gtest/gtest.h>

#include "fake_platform.h"

namespace {

using Calls = std::vector<std::string>;

class Console : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    fake::SetCommandLine({"waitms"});
  }
  const Calls& calls() { return fake::State().calls; }
};

TEST_F(Console, FetchesTheHandleOnceAndWritesEachTextWhole) {
  modMain::ConsoleWrite(u"one\r\n");
  modMain::ConsoleWrite(u"two");
  EXPECT_EQ(calls(), (Calls{"GetStdHandle", "WriteFile:one\r\n", "WriteFile:two"}));
  EXPECT_EQ(modMain::hStdOut, fake::State().stdOut);
}

TEST_F(Console, WithoutStandardOutputWritesNothingAndDoesNotAskAgain) {
  fake::State().stdOut = INVALID_HANDLE_VALUE;
  modMain::ConsoleWrite(u"one");
  modMain::ConsoleWrite(u"two");
  EXPECT_EQ(calls(), (Calls{"GetStdHandle"}));
}

TEST_F(Console, AsksAgainAfterANullHandle) {
  fake::State().stdOut = nullptr;
  modMain::ConsoleWrite(u"one");
  modMain::ConsoleWrite(u"two");
  EXPECT_EQ(calls(), (Calls{"GetStdHandle", "WriteFile:one", "GetStdHandle", "WriteFile:two"}));
}

TEST_F(Console, WritesNothingForAnEmptyText) {
  modMain::ConsoleWrite(u"");
  EXPECT_EQ(calls(), (Calls{"GetStdHandle"}));
}

TEST_F(Console, IgnoresAFailedWrite) {
  fake::State().writeFails = true;
  modMain::ConsoleWrite(u"lost");
  modMain::ConsoleWrite(u"lost too");
  EXPECT_EQ(calls(), (Calls{"GetStdHandle", "WriteFile:lost", "WriteFile:lost too"}));
}

TEST_F(Console, LeavesTheCallersTextAlone) {
  const std::u16string text = u"Waiting 5 ms... ";
  modMain::ConsoleWrite(text);
  EXPECT_EQ(text, u"Waiting 5 ms... ");
  EXPECT_EQ(fake::Output(), "Waiting 5 ms... ");
}

}  // namespace
