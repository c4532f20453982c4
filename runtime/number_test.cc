// The conversion with separators passed in: the rows that running the program can't show.
#include "number.h"

#include <gtest/gtest.h>

#include <string>

#include "failure.h"

namespace {

constexpr int kMismatch = runtime::kTypeMismatch;
constexpr int kOverflow = runtime::kOverflow;

struct Row {
  std::u16string text;
  std::int64_t expected;
  int failure = 0;  // kMismatch or kOverflow when the text is refused
};

void Check(std::u16string_view decimal, std::u16string_view group, const std::vector<Row>& table) {
  for (const Row& row : table) {
    SCOPED_TRACE(std::string(row.text.begin(), row.text.end()));
    try {
      EXPECT_EQ(runtime::ParseLong(row.text, decimal, group), row.expected);
      EXPECT_EQ(row.failure, 0);
    } catch (const runtime::RuntimeError& error) {
      EXPECT_EQ(error.number(), row.failure);
    }
  }
}

TEST(ParseLong, JudgesTheRangeAfterRounding) {
  Check(u".", u",",
        {{u"2147483647", 2147483647},
         {u"2147483647.4", 2147483647},
         {u"2147483647.5", 0, kOverflow},
         {u"-2147483648.5", -2147483648LL},
         {u"-2147483648.6", 0, kOverflow},
         {u"-2147483649", 0, kOverflow},
         {u"99999999999999999999999999", 0, kOverflow},
         {u"2147483646.5", 2147483646},
         {u"2.50000000000000000001", 3},
         {u"-2.5", -2},
         {u"-3.5", -4},
         {u"-0.5", 0}});
}

TEST(ParseLong, TakesSeparatorsOfSeveralCharacters) {
  Check(u"cd", u"ab",
        {{u"1ab500cd5", 1500},
         {u"1ab500cd6", 1501},
         {u"1a500", 0, kMismatch},
         {u"1ab", 0, kMismatch},
         {u"1cd", 1}});
  // A blank that groups digits still leaves blanks around the number.
  Check(u",", u" ", {{u" 1 500 ", 1500}, {u"1  500", 0, kMismatch}});
}

}  // namespace
