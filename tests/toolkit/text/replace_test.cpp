#include "toolkit/text/replace.h"

#include <gtest/gtest.h>

#include "support/error_of.h"

namespace kavrolin::toolkit::text {
namespace {

using kavrolin::testing::ErrorOf;

const Text kNul(1, u'\0');

TEST(StrReplaceRepeat, ReplacesUntilNoneLeft) {
  const struct {
    const char* label;
    Variant text;
    Text find;
    Text replacement;
    Text expected;
  } rows[] = {
      {"empty_text", Variant(u""), u"a", u"b", u""},
      {"empty_variant", Variant(), u"a", u"b", u""},
      {"not_found", Variant(u"abc"), u"x", u"y", u"abc"},
      {"whole_text", Variant(u"ab"), u"ab", u"", u""},
      {"single_pass", Variant(u"a-b-c"), u"-", u"+", u"a+b+c"},
      {"blank_runs_collapse", Variant(u"a     b"), u"  ", u" ", u"a b"},
      {"many_blank_runs", Variant(u"  x    y      z "), u"  ", u" ", u" x y z "},
      {"removal_recreates_occurrence", Variant(u"((()))"), u"()", u"", u""},
      {"swap_until_sorted", Variant(u"bbaa"), u"ba", u"ab", u"aabb"},
      {"longer_replacement_that_ends", Variant(u"aab"), u"ab", u"bba", u"bbbbaa"},
      {"nul_removed", Variant(Text(u"a\0\0b\0", 5)), kNul, u"", u"ab"},
      {"case_matters", Variant(u"AaA"), u"a", u"", u"AA"},
      {"chinese", Variant(u"中中中文"), u"中中", u"中", u"中文"},
      {"number_in_text_form", Variant(int32_t{1000}), u"00", u"0", u"10"},
      // A replacement that never ends answers the text unchanged.
      {"empty_find", Variant(u"abc"), u"", u"x", u"abc"},
      {"empty_find_empty_text", Variant(u""), u"", u"x", u""},
      {"replacement_contains_find", Variant(u"a b"), u" ", u"  ", u"a b"},
      {"replacement_equals_find", Variant(u"aXa"), u"X", u"X", u"aXa"},
      {"replacement_contains_find_not_present", Variant(u"abc"), u"x", u"xx", u"abc"},
      {"replacement_wraps_find", Variant(u"ab"), u"ab", u"aabb", u"ab"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Text result;
    EXPECT_EQ(ErrorOf([&] { result = StrReplaceRepeat(row.text, row.find, row.replacement); }),
              0);
    EXPECT_EQ(result, row.expected);
  }
}

TEST(StrReplaceRepeat, GrowthCap) {
  // Four units, each replaced by a quarter of the cap: the result lands exactly
  // on the cap, or a few units beyond it.
  const size_t quarter = static_cast<size_t>(kMaxReplacedLength) / 4;
  const size_t cap = static_cast<size_t>(kMaxReplacedLength);
  const struct {
    const char* label;
    Text text;
    size_t replacement_length;
    size_t result_length;  // 0: the text comes back unchanged
  } rows[] = {
      {"reaches_cap", u"aaaa", quarter, cap},
      {"passes_cap", u"aaaa", quarter + 1, 0},
      {"input_beyond_cap_may_keep_its_length", Text(cap + 8, u'x') + u"a", 1, cap + 9},
      {"input_beyond_cap_may_not_grow", Text(cap + 8, u'x') + u"a", 2, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const Text replacement(row.replacement_length, u'b');
    const Text result = StrReplaceRepeat(Variant(row.text), u"a", replacement);
    if (row.result_length != 0) {
      EXPECT_EQ(result.size(), row.result_length);
      EXPECT_EQ(result.find(u'a'), Text::npos);
    } else {
      EXPECT_EQ(result, row.text);
    }
  }
}

TEST(StrReplaceRepeat, TextWithoutTextFormFails) {
  const struct {
    const char* label;
    Variant text;
    int error;
  } rows[] = {
      {"null", Variant(NullValue{}), 94},
      {"null_with_empty_find", Variant(NullValue{}), 94},
      {"byte_array", Variant(ByteArray::WithoutBounds()), 13},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf([&] { StrReplaceRepeat(row.text, u"a", u""); }), row.error);
  }
}

}  // namespace
}  // namespace kavrolin::toolkit::text
