#include "base/number_rules.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iomanip>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "support/error_of.h"
#include "support/sample_amounts.h"

namespace kavrolin {
namespace {

using kavrolin::testing::ErrorOf;

TEST(LeadingNumber, ReadsTheNumberAtTheStart) {
  const struct {
    const char* label;
    Text text;
    double value;
  } rows[] = {
      {"empty", u"", 0},
      {"ampersand", u"&", 0},
      {"no_number", u"abc", 0},
      {"sign_only", u"+", 0},
      {"point_only", u".", 0},
      {"blanks_only", u" \t\n", 0},
      {"blanks_anywhere", u" 1 2.5e1x", 125},
      {"trailing_text", u"12.34abc", 12.34},
      {"d_exponent", u"1d2", 100},
      {"exponent_without_digits", u"1e", 1},
      {"exponent_sign_without_digits", u"1e+", 1},
      {"negative", u"-5", -5},
      {"leading_zeros", u"000000001234", 1234},
      {"fraction_only", u".5", 0.5},
      {"point_at_end", u"5.", 5},
      {"carriage_return_stops", u"1\r2", 1},
      {"second_sign_stops", u"1-2", 1},
      {"underflow_is_zero", u"1e-400", 0},
      // Past 15 digits or with an exponent the number's characters are read
      // as decimal text, the blanks between them left out.
      {"blanks_in_the_exponent", u"1 e - 2 x", 0.01},
      {"long_number_with_blanks", u"-1234567890 123456.5x", -1234567890123456.5},
      {"long_number_point_at_end", u"12345678901234567. ", 12345678901234567.0},
      {"exponent_after_point_at_end", u"2.e3", 2000},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(LeadingNumber(row.text), row.value);
  }
  EXPECT_EQ(ErrorOf([] { LeadingNumber(u"1e400"); }), 6);
  EXPECT_EQ(ErrorOf([] { LeadingNumber(u"-9e9999999999"); }), 6);
  EXPECT_DOUBLE_EQ(LeadingNumber(Text(500, u'1') + u"e-480"), 1.1111111111111111e19);
}

// Short numbers (up to 15 digits) are read without the decimal conversion;
// they must read exactly as it reads them, bit for bit, whatever the blanks,
// sign and place of the point.
TEST(LeadingNumber, ShortNumbersReadAsTheDecimalFormReadsThem) {
  std::mt19937_64 random(20261209);
  for (int round = 0; round < 20000; ++round) {
    const int digits = 1 + static_cast<int>(random() % 16);  // 16: past the short form
    const int point = static_cast<int>(random() % (digits + 2)) - 1;  // -1: none
    Text text;
    std::string plain;
    if (random() % 3 == 0) {
      const char sign = random() % 2 ? '-' : '+';
      text += static_cast<char16_t>(sign);
      plain += sign;
    }
    for (int d = 0; d < digits; ++d) {
      if (d == point) {
        text += u'.';
        plain += '.';
      }
      if (random() % 8 == 0) text += u' ';
      const char digit = static_cast<char>('0' + random() % 10);
      text += static_cast<char16_t>(digit);
      plain += digit;
    }
    if (point == digits) {
      text += u'.';
      plain += '.';
    }
    text += random() % 2 ? u"x" : u" -7";  // what follows the number
    SCOPED_TRACE(plain);
    EXPECT_EQ(std::bit_cast<uint64_t>(LeadingNumber(text)),
              std::bit_cast<uint64_t>(DecimalValue(plain)));
  }
  // The edges of the short form, and an exponent, which it leaves alone.
  for (const char16_t* text : {u"999999999999999", u"0.000000000000001", u"-0", u"-.0",
                               u"9007199254740993", u"1.5e3", u"1 .5 E-1", u"123456789012345.6"}) {
    SCOPED_TRACE(ToUtf8(text));
    Text plain;
    for (const char16_t* c = text; *c != 0; ++c) {
      if (*c != u' ') plain += *c == u'E' ? u'e' : *c;
    }
    EXPECT_EQ(std::bit_cast<uint64_t>(LeadingNumber(text)),
              std::bit_cast<uint64_t>(DecimalValue(std::string(plain.begin(), plain.end()))));
  }
}

TEST(DecimalValue, TakesOnlyTheDecimalForm) {
  const struct {
    const char* label;
    const char* text;
    double value;  // NaN: error 13
  } rows[] = {
      {"integer", "12", 12},
      {"signed_fraction", "-12.5", -12.5},
      {"point_first", ".5", 0.5},
      {"point_last", "5.", 5},
      {"exponent", "1.5E+2", 150},
      {"underflow_is_zero", "1e-400", 0},
      {"smallest_subnormal", "4.9e-324", 4.9e-324},
      {"correctly_rounded", "0.1", 0.1},
      {"more_digits_than_a_double_holds", "12345678901234567890", 12345678901234567890.0},
      {"plus_sign", "+7.25", 7.25},
      {"plus_exponent_sign_only", "+", NAN},
      {"two_signs", "+-5", NAN},
      {"two_minus_signs", "--5", NAN},
      {"empty", "", NAN},
      {"sign_only", "-", NAN},
      {"point_only", ".", NAN},
      {"exponent_without_digits", "1e", NAN},
      {"leading_blank", " 1", NAN},
      {"trailing_blank", "1 ", NAN},
      {"infinity", "inf", NAN},
      {"signed_infinity", "-INFINITY", NAN},
      {"not_a_number", "nan", NAN},
      {"hexadecimal", "0x1p3", NAN},
      {"d_exponent", "1d2", NAN},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    if (std::isnan(row.value)) {
      EXPECT_EQ(ErrorOf([&] { DecimalValue(row.text); }), 13);
    } else {
      EXPECT_EQ(DecimalValue(row.text), row.value);
    }
  }
  EXPECT_EQ(ErrorOf([] { DecimalValue("1e400"); }), 6);
}

TEST(NumberText, FifteenDigitsAndTheExponentSwitches) {
  const struct {
    const char* label;
    double value;
    Text text;
  } rows[] = {
      {"zero", 0.0, u"0"},
      {"negative_zero", -0.0, u"0"},
      {"below_one", 0.5, u"0.5"},
      {"negative_below_one", -0.5, u"-0.5"},
      {"sum_rounded_to_15_digits", 0.1 + 0.2, u"0.3"},
      {"plain", 1234.5, u"1234.5"},
      {"whole", 1234.0, u"1234"},
      {"largest_plain", 999999999999999.0, u"999999999999999"},
      {"rounds_into_exponent", 999999999999999.5, u"1E+15"},
      {"exponent_at_1e15", 1e15, u"1E+15"},
      {"exponent_with_fraction", 1.5e20, u"1.5E+20"},
      {"three_digit_exponent", 1.5e300, u"1.5E+300"},
      {"smallest_plain", 0.0001, u"0.0001"},
      {"below_1e-4", 0.00001, u"1E-05"},
      {"negative_small", -1.25e-7, u"-1.25E-07"},
      {"fifteen_significant", 123456789012345.6, u"123456789012346"},
      {"fifteen_digits_after_one", -1.23456789012345, u"-1.23456789012345"},
      {"zeros_after_the_point", 0.000123, u"0.000123"},
      {"zeros_before_the_point", 1.5e14, u"150000000000000"},
      {"negative_three_digit_exponent", -2.5e-300, u"-2.5E-300"},
      {"largest", std::numeric_limits<double>::max(), u"1.79769313486232E+308"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(NumberText(row.value), row.text);
  }
  EXPECT_EQ(ErrorOf([] { NumberText(std::numeric_limits<double>::infinity()); }), 6);
  EXPECT_EQ(ErrorOf([] { NumberText(std::nan("")); }), 6);
}

// The text stands for the value rounded to 15 significant digits, as
// printf's "%.14e" rounds it, for any double: amounts, sums and bit patterns.
TEST(NumberText, StandsForTheFifteenDigitRounding) {
  std::mt19937_64 random(91);
  auto check = [](double value) {
    char rounded[40];
    std::snprintf(rounded, sizeof rounded, "%.14e", value);
    SCOPED_TRACE(rounded);
    EXPECT_EQ(std::bit_cast<uint64_t>(LeadingNumber(NumberText(value)) + 0.0),
              std::bit_cast<uint64_t>(DecimalValue(rounded) + 0.0));
  };
  for (int round = 0; round < 20000; ++round) {
    const uint64_t bits = random();
    const double pattern = std::bit_cast<double>(bits);
    if (std::isfinite(pattern)) check(pattern);
    check(static_cast<double>(random() % 100000000000) / 100);                  // an amount
    check(static_cast<double>(random() % 1000) / 100 + static_cast<double>(random() % 1000) / 100);
    check(1 / static_cast<double>(1 + random() % 1000000));  // 16 and 17 digits
  }
}

TEST(TwoDecimalsText, RoundsTheDecimalFormHalfAwayFromZero) {
  const struct {
    const char* label;
    double value;
    Text text;
  } rows[] = {
      {"zero", 0, u"0.00"},
      {"hundredths", 12.34, u"12.34"},
      {"five_hundredths", 0.05, u"0.05"},
      {"decimal_half_up", 1.005, u"1.01"},
      {"half_away_negative", -0.125, u"-0.13"},
      {"tiny_negative_is_zero", -0.001, u"0.00"},
      {"large", 9999999999.99, u"9999999999.99"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(TwoDecimalsText(row.value), row.text);
  }
}

// The rule as it is written, from the other two rules: the hundredths'
// 15-digit text, read back and rounded half away from zero.
Text TwoDecimalsByDefinition(double value) {
  const double hundredths = std::round(LeadingNumber(NumberText(value * 100)));
  const auto magnitude = static_cast<long long>(std::fabs(hundredths));
  char text[40];
  std::snprintf(text, sizeof text, "%s%lld.%02lld", hundredths < 0 ? "-" : "", magnitude / 100,
                magnitude % 100);
  return Text(text, text + std::char_traits<char>::length(text));
}

TEST(TwoDecimalsText, WholeHundredthsAgreeWithTheRule) {
  const std::vector<double> values = kavrolin::testing::SampleAmounts(
      {0.29, -0.29, 0.1 + 0.2, 1.005, -1.005, 0.015, 99999999.995, 9999999999.99, -9999999999.99,
       9999999999.995, 1e10, 5e-324, -0.0, 4.35, 8.2, 1.1 * 3},
      true, 1209);
  for (double value : values) {
    SCOPED_TRACE(::testing::Message() << std::setprecision(17) << value);
    EXPECT_EQ(TwoDecimalsText(value), TwoDecimalsByDefinition(value));
  }
}

// Regression (found by fuzzing): a finite value whose hundredths pass the
// largest double threw Overflow instead of being written.
TEST(TwoDecimalsText, WritesTheLargestFiniteValues) {
  const struct {
    const char* label;
    double value;
  } rows[] = {
      {"hundredths_just_fit", 1e306},
      {"hundredths_overflow", 1e307},
      {"largest", std::numeric_limits<double>::max()},
      {"largest_negative", std::numeric_limits<double>::lowest()},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const Text text = TwoDecimalsText(row.value);
    ASSERT_GE(text.size(), 300u);
    EXPECT_EQ(text.substr(text.size() - 3), u".00");
    EXPECT_EQ(text.find(u'E'), Text::npos);
    // Every digit written: the text reads back as the very value.
    EXPECT_EQ(LeadingNumber(text), row.value);
  }
  for (double not_finite : {std::numeric_limits<double>::infinity(), std::nan("")}) {
    SCOPED_TRACE(not_finite);
    EXPECT_THROW(TwoDecimalsText(not_finite), AutomationError);
  }
}

}  // namespace
}  // namespace kavrolin
