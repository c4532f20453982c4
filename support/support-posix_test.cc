#include <limits.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "support.h"

namespace {

TEST(Support, RegistersTheRunningExecutablesPath) {
  std::u16string path;
  ASSERT_EQ(ksRegisterAppPath(path), S_OK);
  char target[PATH_MAX];
  const ssize_t size = ::readlink("/proc/self/exe", target, sizeof target);
  ASSERT_GT(size, 0);
  EXPECT_EQ(std::string(path.begin(), path.end()), std::string(target, static_cast<size_t>(size)));
  EXPECT_EQ(path.front(), u'/');
}

TEST(Support, HasNoDevelopmentEnvironmentWindowOrIcons) {
  std::int16_t inIde = 7;
  EXPECT_EQ(ksIsInIDE(&inIde), S_OK);
  EXPECT_EQ(inIde, 0);
  HWND window = reinterpret_cast<HWND>(1);
  EXPECT_EQ(ksGetThunderMainHandle(&window), S_OK);
  EXPECT_EQ(window, nullptr);
  EXPECT_EQ(ksSetWindowResIconAll(nullptr, u"A_MAIN"), S_OK);
  EXPECT_LT(ksSetWindowResIconAll(reinterpret_cast<HWND>(8), u"A_MAIN"), 0);
  EXPECT_LT(ksIsInIDE(nullptr), 0);
  EXPECT_LT(ksGetThunderMainHandle(nullptr), 0);
}

TEST(Support, LeavesTextsAsTheyAreForTheConsole) {
  for (std::u16string text : {std::u16string(), std::u16string(u"Korvane - WaitMs"),
                              std::u16string(u"(c) Корване, 2010")}) {
    const std::u16string before = text;
    EXPECT_EQ(ksAnsiToOem(text), S_OK);
    EXPECT_EQ(text, before);
  }
}

TEST(Support, FormatsVersions) {
  struct Row {
    std::int16_t major, minor, revision;
    std::u16string text;
  } const table[] = {{1, 0, 4, u"1.00.0004"},
                     {12, 34, 5678, u"12.34.5678"},
                     {0, 5, 12345, u"0.05.12345"},
                     {32767, 99, 32767, u"32767.99.32767"}};
  for (const Row& row : table) {
    std::u16string text;
    EXPECT_EQ(ksFormatVersion(row.major, row.minor, row.revision, text), S_OK);
    EXPECT_EQ(text, row.text);
  }
  std::u16string text = u"unchanged";
  EXPECT_EQ(ksFormatVersion(1, -1, 4, text), E_INVALIDARG);
  EXPECT_EQ(text, u"unchanged");
}

TEST(Support, ReportsTheSizeNeededWithoutTouchingASmallBuffer) {
  char16_t buffer[4] = {u'x', u'x', u'x', u'x'};
  std::int32_t length = 0;
  EXPECT_EQ(ksFormatVersion(1, 0, 4, nullptr, 0, &length), E_NOT_SUFFICIENT_BUFFER);
  EXPECT_EQ(length, 9);
  EXPECT_EQ(ksFormatVersion(1, 0, 4, buffer, 4, &length), E_NOT_SUFFICIENT_BUFFER);
  EXPECT_EQ(std::u16string(buffer, 4), u"xxxx");
  EXPECT_EQ(ksFormatVersion(1, 0, 4, buffer, 4, nullptr), E_POINTER);
}

}  // namespace
