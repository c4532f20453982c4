// The Windows run-time against the real system (under Wine in CI). The test executable carries
// the same version resource and icon group as waitms.exe.

#include <gtest/gtest.h>

#include "appinfo.h"
#include "build_info.h"
#include "kernel32.h"
#include "number.h"
#include "process.h"
#include "text.h"

namespace {

TEST(Win32RunTime, ReadsTheMetadataFromTheVersionResource) {
  EXPECT_EQ(App::Major(), build::kMajor);
  EXPECT_EQ(App::Minor(), build::kMinor);
  EXPECT_EQ(App::Revision(), build::kRevision);
  EXPECT_EQ(App::Major(), 1);
  EXPECT_EQ(App::Revision(), 4);
  // The Cyrillic line survives whatever the ANSI code page: the resource holds UTF-16.
  EXPECT_EQ(App::LegalCopyright(), build::kLegalCopyright);
  EXPECT_EQ(App::Title(), u"Korvane - WaitMs");
  EXPECT_EQ(App::EXEName(), u"win32_test");
}

TEST(Win32RunTime, TakesTheTailFromTheCommandLine) {
  // gtest's own flags are on this process's command line, after its name.
  const std::u16string whole(reinterpret_cast<const char16_t*>(::GetCommandLineW()));
  const std::u16string tail = runtime::CommandTail();
  ASSERT_LT(tail.size(), whole.size());
  EXPECT_EQ(whole.substr(whole.size() - tail.size()), tail);
  EXPECT_EQ(tail.find(u"win32_test.exe"), std::u16string::npos);
}

TEST(Win32RunTime, UsesTheUserLocalesSeparators) {
  wchar_t decimal[8], group[8];
  ASSERT_GT(::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 8), 0);
  ASSERT_GT(::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, group, 8), 0);
  const runtime::Separators separators = runtime::LocaleSeparators();
  EXPECT_EQ(separators.decimal, reinterpret_cast<const char16_t*>(decimal));
  EXPECT_EQ(separators.group, reinterpret_cast<const char16_t*>(group));
  // Whatever they are, a number written with them reads back.
  EXPECT_EQ(runtime::ToLong(u"1" + separators.group + u"500" + separators.decimal + u"5"), 1500);
}

TEST(Win32RunTime, WritesTheAnsiCodePage) {
  EXPECT_EQ(runtime::ToAnsi(u""), "");
  EXPECT_EQ(runtime::ToAnsi(u"Ok\r\n"), "Ok\r\n");  // no line-end translation
  EXPECT_EQ(runtime::ToAnsi(u"\u4E00"), "?");       // not in any single-byte code page
  switch (::GetACP()) {
    case 1251:
      EXPECT_EQ(runtime::ToAnsi(u"Ждать №"), "\xC6\xE4\xE0\xF2\xFC \xB9");
      break;
    case 1252:
      EXPECT_EQ(runtime::ToAnsi(u"café Ж"), "caf\xE9 ?");
      break;
    default:
      ADD_FAILURE() << "run this test with LANG=ru_RU.UTF-8 or LANG=en_US.UTF-8, not code page "
                    << ::GetACP();
  }
}

}  // namespace
