// The conversion with separators passed in, for the rows that running the program can't show.
#include <gtest/gtest.h>

#include "failure.h"
#include "number.h"

namespace {

// Reads each text with the separators given; a failure gives its number negated (-6, -13).
void Check(std::u16string_view decimal, std::u16string_view group,
           std::initializer_list<std::pair<std::u16string_view, std::int64_t>> table) {
  for (const auto& [text, expected] : table) {
    std::int64_t got = 0;
    try {
      got = runtime::ParseLong(text, decimal, group);
    } catch (const runtime::RuntimeError& error) {
      got = -error.number();
    }
    EXPECT_EQ(got, expected) << std::string(text.begin(), text.end());
  }
}

TEST(ParseLong, JudgesTheRangeAfterRoundingAndTakesSeparatorsOfSeveralCharacters) {
  Check(u".", u",",
        {{u"2147483647.4", 2147483647}, {u"2147483647.5", -6}, {u"2147483646.5", 2147483646}});
  // A group separator stands between digits of the integer part only.
  Check(u".", u",", {{u"99999999999999999999999999", -6}, {u",500", -13}, {u"1.5,0", -13}});
  // Only a half rounds to even, however many zeros follow it.
  Check(u".", u",", {{u"2.50000000000000000001", 3}, {u"2.51", 3}, {u"2.50", 2}});
  // Negative values show only as the usage text; these are told apart here.
  Check(u".", u"", {{u"-2147483648.5", -2147483648LL}, {u"-2147483648.6", -6}, {u"-3.5", -4}});
  Check(u"cd", u"ab", {{u"1ab500cd5", 1500}, {u"1ab500cd6", 1501}, {u"1a500", -13}, {u"1ab", -13}});
  Check(u",", u".", {{u"5,", 5}, {u",5", 0}, {u",", -13}});  // digits on one side suffice
  // A blank that groups digits still leaves blanks around the number.
  Check(u",", u" ", {{u" 1 500 ", 1500}, {u"1  500", -13}});
}

}  // namespace
