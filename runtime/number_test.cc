// The conversion with separators passed in, for the rows that running the program can't show.
#include <gtest/gtest.h>

#include "failure.h"
#include "number.h"

namespace {

// Reads each text with the separators given; -1 stands for kOverflow and -2 for kTypeMismatch.
void Check(std::u16string_view decimal, std::u16string_view group,
           std::initializer_list<std::pair<std::u16string_view, std::int64_t>> table) {
  for (const auto& [text, expected] : table) {
    std::int64_t got = 0;
    try {
      got = runtime::ParseLong(text, decimal, group);
    } catch (const runtime::RuntimeError& error) {
      got = error.number() == runtime::kOverflow       ? -1
            : error.number() == runtime::kTypeMismatch ? -2
                                                       : 0;
    }
    EXPECT_EQ(got, expected) << std::string(text.begin(), text.end());
  }
}

TEST(ParseLong, JudgesTheRangeAfterRoundingAndTakesSeparatorsOfSeveralCharacters) {
  Check(u".", u",",
        {{u"2147483647.4", 2147483647}, {u"2147483647.5", -1}, {u"2147483646.5", 2147483646}});
  Check(u".", u",", {{u"99999999999999999999999999", -1}, {u"2.50000000000000000001", 3}});
  Check(u".", u",", {{u"2.51", 3}, {u"2.50", 2}});  // a half, however many zeros follow
  // Negative values show only as the usage text; these are told apart here.
  Check(u".", u"", {{u"-2147483648.5", -2147483648LL}, {u"-2147483648.6", -1}, {u"-3.5", -4}});
  Check(u"cd", u"ab", {{u"1ab500cd5", 1500}, {u"1ab500cd6", 1501}, {u"1a500", -2}, {u"1ab", -2}});
  Check(u",", u".", {{u"5,", 5}, {u",5", 0}, {u",", -2}});  // digits on one side suffice
  // A blank that groups digits still leaves blanks around the number.
  Check(u",", u" ", {{u" 1 500 ", 1500}, {u"1  500", -2}});
}

}  // namespace
