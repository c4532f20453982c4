// The command-line split that only Windows runs, natively: what follows the program's name.
#include <gtest/gtest.h>

#include "process.h"

TEST(TailAfterProgramName, SplitsAsWindowsReadsTheName) {
  for (const auto& [line, tail] : std::initializer_list<std::pair<std::u16string, std::u16string>>{
           {u"\"C:\\Program Files\\waitms.exe\"  250 ", u"250 "},  // a quoted name with a blank
           {u"\"C:\\w\\waitms.exe\"\"250\"", u"\"250\""},          // ends at its closing quote
           {u"\"waitms 250", u""},            // unclosed: the whole line is the name
           {u"waitms\t\t250\t1", u"250\t1"},  // tabs are blanks
           {u" \t ", u""},                    // blanks only
           {u"waitms", u""}})                 // nothing after the name
    EXPECT_EQ(runtime::TailAfterProgramName(line), tail) << std::string(line.begin(), line.end());
}
