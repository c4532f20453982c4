#include <gtest/gtest.h>

#include "fake_platform.h"
#include "modmain.h"

namespace {

class Usage : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }
};

TEST_F(Usage, IsEightLinesInOneWrite) {
  fake::SetCommandLine({"/usr/local/bin/pause-now", "x"});
  modMain::ShowUsage();
  ASSERT_EQ(fake::State().writes.size(), 1u);
  EXPECT_EQ(fake::State().writes[0],
            "Korvane - WaitMs 9.87.6543\r\n"
            "(c) Корване, 2010. Посвящается всем, кто умеет ждать.\r\n"
            "\r\n"
            "Usage: pause-now[.EXE] Interval\r\n"
            "\r\n"
            "  Interval - Number of miliseconds to wait.\r\n"
            "             Must be greather or equal zero.\r\n"
            "             Can't be INFINITE.\r\n");
}

TEST_F(Usage, ConvertsTitleAndCopyrightAndFormatsTheBuildVersion) {
  fake::SetCommandLine({"waitms"});
  modMain::ShowUsage();
  const std::vector<std::string> expected = {"ksAnsiToOem:title", "ksFormatVersion:1,0,4",
                                             "ksAnsiToOem:copyright", "GetStdHandle"};
  ASSERT_GE(fake::State().calls.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(fake::State().calls.begin(), fake::State().calls.begin() + 4),
            expected);
}

TEST_F(Usage, AnEmptyCopyrightLeavesLineTwoEmpty) {
  fake::State().copyrightAfterOem = u"";
  fake::SetCommandLine({"./waitms.exe"});
  modMain::ShowUsage();
  ASSERT_EQ(fake::State().writes.size(), 1u);
  const std::string& text = fake::State().writes[0];
  EXPECT_EQ(text.substr(0, text.find("  Interval")),
            "Korvane - WaitMs 9.87.6543\r\n\r\n\r\nUsage: waitms[.EXE] Interval\r\n\r\n");
}

}  // namespace
