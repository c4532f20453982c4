#include "appinfo.h"

#include <gtest/gtest.h>

namespace {

TEST(BaseName, DropsDirectoryAndExtension) {
  struct Row {
    std::u16string path;
    bool backslash;
    std::u16string name;
  };
  const Row table[] = {
      {u"waitms", false, u"waitms"},
      {u"./waitms", false, u"waitms"},
      {u"/usr/local/bin/pause-now", false, u"pause-now"},
      {u"waitms.exe", false, u"waitms"},
      {u"my.wait.exe", false, u"my.wait"},
      {u"/opt/v1.2/waitms", false, u"waitms"},
      {u".hidden", false, u".hidden"},
      {u"dir\\waitms", false, u"dir\\waitms"},
      {u"C:\\Tools\\WAITMS.EXE", true, u"WAITMS"},
      {u"C:\\Tools/sub\\Wait.Exe", true, u"Wait"},
      {u"", false, u""},
  };
  for (const Row& row : table) {
    EXPECT_EQ(runtime::BaseName(row.path, row.backslash), row.name)
        << std::string(row.path.begin(), row.path.end());
  }
}

}  // namespace
