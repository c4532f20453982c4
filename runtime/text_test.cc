// The bytes of texts that the program's own never contain: lone surrogates and characters the
// charset lacks that take two UTF-16 units.
#include "text.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

TEST(ToAnsi, WritesOneQuestionMarkPerCharacterItCantWrite) {
  struct Row {
    const char* locale;
    std::u16string text;
    std::string bytes;
  } const table[] = {
      {"C", u"a\U0001F600b", "a?b"},
      {"C.UTF-8", u"a\xD800z\xDC00", "a?z?"},
      {"C.UTF-8", u"\xDC00\xD800", "??"},  // a pair in the wrong order is two
  };
  for (const Row& row : table) {
    ASSERT_NE(std::setlocale(LC_ALL, row.locale), nullptr) << row.locale;
    EXPECT_EQ(runtime::ToAnsi(row.text), row.bytes) << row.locale << " " << row.bytes;
  }
  std::setlocale(LC_ALL, "C");
}

}  // namespace
