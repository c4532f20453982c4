// The conversion's refusals, which the fuzz target never writes, with separators of any length.
#include <gtest/gtest.h>

#include "failure.h"
#include "number.h"

// Reads each text with the separators given; a failure gives its number negated (-6, -13).
static void Check(std::u16string_view decimal, std::u16string_view group,
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

TEST(ParseLong, RefusesSeparatorsOutOfPlace) {
  // A group separator stands between two digits of the integer part only, never doubled.
  Check(u".", u",", {{u",500", -13}, {u"1.5,0", -13}, {u"99999999999999999999999999", -6}});
  Check(u"cd", u"ab", {{u"1a500", -13}, {u"1ab", -13}});
  Check(u",", u" ", {{u"1  500", -13}});
  Check(u",", u".", {{u",5", 0}, {u",", -13}});    // digits on one side suffice
  Check(u".", u"", {{u"2.50", 2}, {u"2.51", 3}});  // zeros after a half leave it a half
}
