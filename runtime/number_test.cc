#include "number.h"

#include <gtest/gtest.h>

#include <optional>
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

// Runs the table against one locale's separators.
void Check(const std::vector<Row>& table, std::u16string_view decimal, std::u16string_view group) {
  for (const Row& row : table) {
    SCOPED_TRACE(std::string(row.text.begin(), row.text.end()));
    try {
      const std::int32_t value = runtime::ParseLong(row.text, decimal, group);
      EXPECT_EQ(row.failure, 0) << "accepted as " << value;
      EXPECT_EQ(value, row.expected);
    } catch (const runtime::RuntimeError& error) {
      EXPECT_EQ(error.number(), row.failure);
    }
  }
}

TEST(ParseLong, EnglishUnitedStates) {
  Check({{u"0", 0},
         {u"1500", 1500},
         {u"1,500", 1500},
         {u"1,5,0,0", 1500},  // the places of the separators are not checked, only their company
         {u"12,345,678", 12345678},
         {u"  1500  ", 1500},
         {u"\t+1500\t", 1500},
         {u"-2", -2},
         {u"007", 7},
         {u"2.5", 2},
         {u"3.5", 4},
         {u"2.50000000000000000001", 3},
         {u"2.4999999999999", 2},
         {u"-2.5", -2},
         {u"-3.5", -4},
         {u"-0.4", 0},
         {u"-0.5", 0},
         {u"-0.6", -1},
         {u".5", 0},
         {u".6", 1},
         {u"5.", 5},
         {u"1,500.5", 1500},
         {u"2147483647", 2147483647},
         {u"2147483647.4", 2147483647},
         {u"-2147483648", -2147483648LL},
         {u"-2147483648.5", -2147483648LL},
         {u"2147483646.5", 2147483646},
         {u"000000000000000000000000000001", 1},
         {u"2147483647.5", 0, kOverflow},
         {u"2147483648", 0, kOverflow},
         {u"-2147483649", 0, kOverflow},
         {u"-2147483648.6", 0, kOverflow},
         {u"99999999999999999999999999", 0, kOverflow},
         {u"", 0, kMismatch},
         {u"   ", 0, kMismatch},
         {u"+", 0, kMismatch},
         {u"-", 0, kMismatch},
         {u".", 0, kMismatch},
         {u"abc", 0, kMismatch},
         {u"12abc", 0, kMismatch},
         {u"1 2", 0, kMismatch},
         {u"\"250\"", 0, kMismatch},
         {u"+-1", 0, kMismatch},
         {u"--1", 0, kMismatch},
         {u"- 1", 0, kMismatch},
         {u"1-", 0, kMismatch},
         {u",500", 0, kMismatch},
         {u"1500,", 0, kMismatch},
         {u"1,,500", 0, kMismatch},
         {u"1.500,5", 0, kMismatch},
         {u"1.2.3", 0, kMismatch},
         {u"1.5,0", 0, kMismatch},
         {u"1e3", 0, kMismatch},
         {u"0x10", 0, kMismatch},
         {u"\uFF11", 0, kMismatch},   // fullwidth digit one
         {u"\u0661", 0, kMismatch},   // Arabic-Indic digit one
         {u"\uFEFF1", 0, kMismatch},  // byte-order mark
         {u"1\u00A0", 0, kMismatch},  // no-break space is not a blank
         {std::u16string(u"1\0", 2), 0, kMismatch},
         {u"99999999999x", 0, kMismatch}},  // malformed beats too large
        u".", u",");
}

TEST(ParseLong, German) {
  Check({{u"2,5", 2},
         {u"3,5", 4},
         {u"1.500", 1500},
         {u"1.500,75", 1501},
         {u"2.5", 25},   // the point groups digits here
         {u"1,500", 2},  // 1.5 rounded: in German the comma is the decimal separator
         {u"1,2,3", 0, kMismatch}},
        u",", u".");
}

TEST(ParseLong, RussianWithSeveralByteSeparators) {
  // glibc's ru_RU.UTF-8: decimal comma, group separator U+202F (narrow no-break space).
  Check({{u"1\u202F500", 1500},
         {u"1\u202F500,5", 1500},
         {u"1\u202F500,51", 1501},
         {u"1 500", 0, kMismatch},  // an ordinary blank is not the group separator
         {u"1\u202F\u202F500", 0, kMismatch},
         {u"\u202F1", 0, kMismatch},
         {u"1,5\u202F0", 0, kMismatch}},
        u",", u"\u202F");
  Check({{u"1ab500cd5", 1500},
         {u"1ab500cd6", 1501},
         {u"1a500", 0, kMismatch},
         {u"1cd", 1},
         {u"1ab", 0, kMismatch}},
        u"cd", u"ab");
}

TEST(ParseLong, LocalesWithoutSomeSeparators) {
  Check({{u"1500", 1500}, {u"1,500", 0, kMismatch}, {u"2.5", 2}}, u".", u"");
  Check({{u"1500", 1500}, {u"2.5", 0, kMismatch}, {u"1,500", 1500}}, u"", u",");
  // The same character for both is read as the decimal separator.
  Check({{u"2.5", 2}, {u"1.500", 2}, {u"1.5.0", 0, kMismatch}}, u".", u".");
  // A blank as the group separator (some locales have it) still leaves blanks around the number.
  Check({{u" 1 500 ", 1500}, {u"1  500", 0, kMismatch}}, u",", u" ");
}

TEST(ParseLong, RefusesAMegabyteQuickly) {
  // Linear time: a long text of digits, separators or garbage is refused without rescanning.
  const std::u16string digits(1 << 20, u'9');
  std::u16string grouped;
  for (int i = 0; i < (1 << 18); ++i) grouped += u"1\u202F";
  grouped += u"x";
  EXPECT_THROW(runtime::ParseLong(digits, u",", u"\u202F"), runtime::RuntimeError);
  EXPECT_THROW(runtime::ParseLong(grouped, u",", u"\u202F"), runtime::RuntimeError);
}

TEST(Decimal, WritesPlainDigits) {
  EXPECT_EQ(runtime::Decimal(0), u"0");
  EXPECT_EQ(runtime::Decimal(1500), u"1500");
  EXPECT_EQ(runtime::Decimal(2147483647), u"2147483647");
  EXPECT_EQ(runtime::Decimal(-1), u"-1");
  EXPECT_EQ(runtime::Decimal(-2147483647 - 1), u"-2147483648");
}

}  // namespace
