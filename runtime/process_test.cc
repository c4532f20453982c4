#include "process.h"

#include <gtest/gtest.h>

namespace {

TEST(TailAfterProgramName, TakesWhatFollowsTheNameWhole) {
  struct Row {
    std::u16string line;
    std::u16string tail;
  };
  const Row table[] = {
      {u"waitms 250", u"250"},
      {u"waitms   250  ", u"250  "},
      {u"waitms\t250", u"250"},
      {u"C:\\Tools\\waitms.exe 1 2", u"1 2"},
      {u"\"C:\\Program Files\\waitms.exe\" 250", u"250"},
      {u"\"C:\\Program Files\\waitms.exe\"250", u"250"},
      {u"waitms \"250\"", u"\"250\""},
      {u"\"waitms\" \"2 5 0\"", u"\"2 5 0\""},
      {u"waitms", u""},
      {u"\"waitms", u""},
      {u"", u""},
  };
  for (const Row& row : table) {
    EXPECT_EQ(runtime::TailAfterProgramName(row.line), row.tail)
        << std::string(row.line.begin(), row.line.end());
  }
}

}  // namespace
