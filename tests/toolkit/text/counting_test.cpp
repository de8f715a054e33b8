#include "toolkit/text/counting.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "support/error_of.h"

namespace kavrolin::toolkit::text {
namespace {

using kavrolin::testing::ErrorOf;

constexpr int16_t kMax = std::numeric_limits<int16_t>::max();
constexpr int16_t kMin = std::numeric_limits<int16_t>::min();

TEST(CalculateStr, CountsOneUnitFromCallersCounter) {
  const struct {
    const char* label;
    Text text;
    Variant find;
    int16_t counter;
    int16_t expected;
    int error;
  } rows[] = {
      {"empty_text", u"", Variant(u"a"), 3, 3, 0},
      {"null_find", u"aaa", Variant(NullValue{}), 3, 3, 0},
      {"empty_find", u"aaa", Variant(u""), 3, 3, 0},
      {"empty_variant_find", u"aaa", Variant(), 3, 3, 0},
      {"two_unit_find", u"abab", Variant(u"ab"), 3, 3, 0},
      {"lowest_counter", u"a", Variant(u"a"), kMin, kMin + 1, 0},
      {"reaches_highest", u"xa", Variant(u"a"), kMax - 1, kMax, 0},
      {"highest_without_match", u"xyz", Variant(u"a"), kMax, kMax, 0},
      {"passes_highest", u"a", Variant(u"a"), kMax, kMax, 6},
      {"passes_highest_midway", u"aaaa", Variant(u"a"), kMax - 2, kMax, 6},
      {"counts_from_callers_value", u"aba", Variant(u"a"), 10, 12, 0},
      {"case_matters", u"aba", Variant(u"A"), 10, 10, 0},
      {"negative_start", u"aaa", Variant(u"a"), -2, 1, 0},
      {"number_through_text", u"152535", Variant(int16_t{5}), 0, 3, 0},
      {"double_through_text", u"2.5", Variant(2.0), 0, 1, 0},
      {"chinese", u"中文中国", Variant(u"中"), 0, 2, 0},
      {"nul_unit", Text(u"\0a\0", 3), Variant(Text(1, u'\0')), 0, 2, 0},
      {"array_find", u"a", Variant(TextArray{true, 0, {u"a"}}), 4, 4, 13},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    int16_t counter = row.counter;
    Variant result;
    EXPECT_EQ(ErrorOf([&] { result = CalculateStr(row.text, row.find, counter); }), row.error);
    EXPECT_EQ(counter, row.expected);
    if (row.error == 0) {
      EXPECT_EQ(result, Variant(row.expected));
      EXPECT_EQ(result.type(), VariantType::kInt16);
    }
  }
}

TEST(CalculateStr, LongTextOverflowsAtHighest) {
  int16_t counter = 0;
  const Text text(40000, u'x');
  EXPECT_EQ(ErrorOf([&] { CalculateStr(text, Variant(u"x"), counter); }), 6);
  EXPECT_EQ(counter, kMax);
}

}  // namespace
}  // namespace kavrolin::toolkit::text
