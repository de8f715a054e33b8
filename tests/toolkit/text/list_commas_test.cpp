#include "toolkit/text/list_commas.h"

#include <gtest/gtest.h>

#include "support/error_of.h"

namespace kavrolin::toolkit::text {
namespace {

using kavrolin::testing::ErrorOf;

TEST(StrReplaceComma, GuardsCommasOutsideValueEdges) {
  const struct {
    const char* label;
    Variant text;
    Text expected;
  } rows[] = {
      {"empty_text", Variant(u""), u""},
      {"comma_alone", Variant(u","), u"，"},
      {"two_commas", Variant(u",,"), u"，，"},
      {"no_comma", Variant(u"abc"), u"abc"},
      {"leading_comma_before_text", Variant(u",a"), u"，a"},
      {"leading_comma_before_digit", Variant(u",1"), u"，1"},
      {"leading_comma_then_other_commas", Variant(u",1,2,a"), u"，1,2，a"},
      {"trailing_comma", Variant(u"x,"), u"x，"},
      {"trailing_comma_after_digit", Variant(u"1,"), u"1，"},
      {"digits", Variant(u"1,2"), u"1,2"},
      {"words", Variant(u"a,b"), u"a，b"},
      {"null_words_any_case", Variant(u"NULL,null"), u"NULL,null"},
      {"null_word_mixed_case", Variant(u"nUlL,'x'"), u"nUlL,'x'"},
      {"null_word_needs_four_units", Variant(u"ULL,1"), u"ULL，1"},
      {"null_word_inside_longer_word", Variant(u"xnull,1"), u"xnull,1"},
      {"null_word_on_right_only", Variant(u"1,NULLx"), u"1,NULLx"},
      {"quote_then_text", Variant(u"'a',b"), u"'a'，b"},
      {"quotes_both_sides", Variant(u"'a','b'"), u"'a','b'"},
      {"blank_is_ordinary", Variant(u"1, 2"), u"1， 2"},
      {"full_width_digit_is_ordinary", Variant(u"1,\uFF12"), u"1，\uFF12"},
      {"chinese", Variant(u"'中,文',5,收银"), u"'中，文',5，收银"},
      {"list_example", Variant(u"'a,b',12,NULL,'c',x"), u"'a，b',12,NULL,'c'，x"},
      {"number_in_text_form", Variant(1.5), u"1.5"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(StrReplaceComma(row.text), row.expected);
  }
}

TEST(StrReplaceComma, TextWithoutTextFormFails) {
  const struct {
    const char* label;
    Variant text;
    int error;
  } rows[] = {
      {"null", Variant(NullValue{}), 94},
      {"text_array", Variant(TextArray{true, 0, {u"a,b"}}), 13},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf([&] { StrReplaceComma(row.text); }), row.error);
  }
}

}  // namespace
}  // namespace kavrolin::toolkit::text
