#include "base/variant.h"

#include <gtest/gtest.h>

#include "support/error_of.h"

namespace kavrolin {
namespace {

using kavrolin::testing::ErrorOf;

TEST(Variant, TextForm) {
  const struct {
    const char* label;
    Variant value;
    Text text;
    int error;
  } rows[] = {
      {"empty", Variant(), u"", 0},
      {"null", Variant(NullValue{}), u"", 94},
      {"int16", Variant(int16_t{-5}), u"-5", 0},
      {"int32", Variant(int32_t{70000}), u"70000", 0},
      {"double_by_number_text", Variant(0.1 + 0.2), u"0.3", 0},
      {"true", Variant(true), u"True", 0},
      {"false", Variant(false), u"False", 0},
      {"date_and_time", Variant(Date{45322.5}), u"2024/1/31 12:00:00", 0},
      {"date_only_at_midnight", Variant(Date{45322.0}), u"2024/1/31", 0},
      {"time_only_on_day_zero", Variant(Date{0.25}), u"6:00:00", 0},
      {"date_out_of_range", Variant(Date{3e6}), u"", 6},
      {"text", Variant(u"收银"), u"收银", 0},
      {"text_array", Variant(TextArray{}), u"", 13},
      {"byte_array", Variant(ByteArray::WithoutBounds()), u"", 13},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf([&] { row.value.ToText(); }), row.error);
    if (row.error == 0) {
      EXPECT_EQ(row.value.ToText(), row.text);
    }
  }
}

TEST(Variant, NumbersFromEveryType) {
  const struct {
    const char* label;
    Variant value;
    double number;
    int error;
  } rows[] = {
      {"empty", Variant(), 0, 0},
      {"null", Variant(NullValue{}), 0, 94},
      {"true_is_minus_one", Variant(true), -1, 0},
      {"date", Variant(Date{2.5}), 2.5, 0},
      {"text_decimal", Variant(u" 12.5 "), 12.5, 0},
      {"text_exponent_d", Variant(u"1d3"), 1000, 0},
      {"text_signed", Variant(u"-0.25"), -0.25, 0},
      {"text_hex_16_bit", Variant(u"&HFFFF"), -1, 0},
      {"text_hex_32_bit", Variant(u"&H10000"), 65536, 0},
      {"text_octal", Variant(u"&O17"), 15, 0},
      {"text_hex_too_big", Variant(u"&H100000000"), 0, 6},
      {"text_bad_hex_digit", Variant(u"&HG"), 0, 13},
      {"text_not_a_number", Variant(u"abc"), 0, 13},
      {"text_trailing_letters", Variant(u"12x"), 0, 13},
      {"text_empty", Variant(u""), 0, 13},
      {"text_too_big", Variant(u"1e400"), 0, 6},
      {"array", Variant(TextArray{}), 0, 13},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf([&] { row.value.ToDouble(); }), row.error);
    if (row.error == 0) {
      EXPECT_EQ(row.value.ToDouble(), row.number);
    }
  }
}

TEST(Variant, IntegersRoundHalfToEven) {
  const struct {
    const char* label;
    Variant value;
    int32_t int32;
    int error32;
    int error16;
  } rows[] = {
      {"half_down_to_even", Variant(2.5), 2, 0, 0},
      {"half_up_to_even", Variant(3.5), 4, 0, 0},
      {"negative_half", Variant(-2.5), -2, 0, 0},
      {"int16_limit", Variant(32767.4), 32767, 0, 0},
      {"beyond_int16", Variant(u"70000"), 70000, 0, 6},
      {"beyond_int32", Variant(3e9), 0, 6, 6},
      {"lowest_int32", Variant(-2147483648.0), INT32_MIN, 0, 6},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf([&] { row.value.ToInt32(); }), row.error32);
    EXPECT_EQ(ErrorOf([&] { row.value.ToInt16(); }), row.error16);
    if (row.error32 == 0) {
      EXPECT_EQ(row.value.ToInt32(), row.int32);
    }
  }
}

TEST(Variant, Booleans) {
  const struct {
    const char* label;
    Variant value;
    bool result;
    int error;
  } rows[] = {
      {"empty", Variant(), false, 0},
      {"nonzero", Variant(0.5), true, 0},
      {"true_text_any_case", Variant(u"tRUE"), true, 0},
      {"false_text", Variant(u" False "), false, 0},
      {"numeric_text", Variant(u"-1"), true, 0},
      {"other_text", Variant(u"yes"), false, 13},
      {"null", Variant(NullValue{}), false, 94},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf([&] { row.value.ToBool(); }), row.error);
    if (row.error == 0) {
      EXPECT_EQ(row.value.ToBool(), row.result);
    }
  }
}

TEST(Variant, ArraysKeepTheirBounds) {
  const TextArray receipt{true, 0, {u"", u"a"}};
  EXPECT_EQ(receipt.ubound(), 1);
  EXPECT_EQ((TextArray{true, 5, {}}).ubound(), 4);
  const ByteArray none = ByteArray::WithoutBounds();
  EXPECT_FALSE(none.has_bounds);
  EXPECT_NE(Variant(none), Variant(ByteArray{}));
  EXPECT_EQ(ErrorOf([] { Variant(u"x").get<int32_t>(); }), 13);
}

}  // namespace
}  // namespace kavrolin
