#include "transaction/records.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <iomanip>
#include <random>
#include <vector>

#include "base/automation_error.h"
#include "base/number_rules.h"
#include "support/sample_amounts.h"

namespace kavrolin::transaction {
namespace {

TEST(AmountField, WholeHundredthsOnly) {
  const struct {
    const char* label;
    double amount;
    std::string field;  // empty: refused
  } rows[] = {
      {"zero", 0, "000000000000"},
      {"negative_zero", -0.0, "000000000000"},
      {"one_hundredth", 0.01, "000000000001"},
      {"typical", 12.34, "000000001234"},
      {"binary_inexact_product", 0.29, "000000000029"},
      {"largest", 9999999999.99, "999999999999"},
      {"thirteen_digits", 10000000000.0, ""},
      {"fraction_of_a_hundredth", 12.345, ""},
      {"tiny", 0.001, ""},
      {"negative", -5, ""},
      {"infinite", std::numeric_limits<double>::infinity(), ""},
      {"not_a_number", std::nan(""), ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    if (row.field.empty()) {
      EXPECT_THROW(AmountField(row.amount), AutomationError);
    } else {
      EXPECT_EQ(AmountField(row.amount), row.field);
    }
  }
}

TEST(AmountField, FromTextReadsTheLeadingNumber) {
  const struct {
    const char* label;
    Text amount;
    std::string field;
  } rows[] = {
      {"plain", u"12.34", "000000001234"},
      {"no_number", u"abc", "000000000000"},
      {"empty", u"", "000000000000"},
      {"blanks_inside", u" 1 2.5元", "000000001250"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(AmountField(TextView(row.amount)), row.field);
  }
  EXPECT_THROW(AmountField(TextView(u"-1")), AutomationError);
  EXPECT_EQ(AmountField(TextView(u"12.34")), AmountField(12.34));
}

TEST(BuildRequest, FieldsNeverShift) {
  const struct {
    const char* label;
    int32_t invoice;
    Text cashier, register_id;
    std::string request;
  } rows[] = {
      {"ascii", 123, u"01", u"A1", "05000000001234123             01      A1      "},
      {"negative_invoice", -5, u"01", u"A1", "05000000001234-5              01      A1      "},
      {"lowest_invoice", INT32_MIN, u"", u"", "05000000001234-2147483648                     "},
      {"cashier_cut_after_8", 1, u"123456789", u"A1",
       "050000000012341               12345678A1      "},
      {"chinese_cut_on_whole_characters", 1, u"收银员张三", u"A1",
       "050000000012341               \xCA\xD5\xD2\xF8\xD4\xB1\xD5\xC5" "A1      "},
      {"chinese_odd_byte_filled", 1, u"收银员A张", u"机1",
       "050000000012341               \xCA\xD5\xD2\xF8\xD4\xB1" "A \xBB\xFA" "1     "},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const std::string request =
        BuildRequest(kSaleCode, "000000001234", row.invoice, row.cashier, row.register_id);
    EXPECT_EQ(request.size(), kRequestBytes);
    EXPECT_EQ(request, row.request);
  }
}

TEST(ReadResponse, SplitsTheThreeFields) {
  const struct {
    const char* label;
    Text response;
    Text card, amount, index;
  } rows[] = {
      {"typical", u"6222021234567890   000000001234000000123456", u"6222021234567890   ",
       u"12.34", u"123456"},
      {"five_hundredths", u"6222021234567890123000000000005000000000001",
       u"6222021234567890123", u"0.05", u"1"},
      {"blank_numbers", Text(u"1234567890123456789") + Text(24, u' '), u"1234567890123456789",
       u"0.00", u"0"},
      {"short_reads_as_blanks", u"12", Text(u"12") + Text(17, u' '), u"0.00", u"0"},
      {"nul_fields", Text(43, u'\0'), Text(19, u'\0'), u"0.00", u"0"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const ResponseFields fields = ReadResponse(row.response);
    EXPECT_EQ(fields.card_number, row.card);
    EXPECT_EQ(fields.amount, row.amount);
    EXPECT_EQ(fields.index_number, row.index);
  }
}

// What the amount's own text gives: the number-text rule, then the
// leading-number reading; "refused" when that throws.
std::string FieldOfItsText(double amount) {
  try {
    return AmountField(TextView(NumberText(amount)));
  } catch (const AutomationError&) {
    return "refused";
  }
}

std::string FieldOf(double amount) {
  try {
    return AmountField(amount);
  } catch (const AutomationError&) {
    return "refused";
  }
}

TEST(AmountField, AgreesWithTheAmountsText) {
  const std::vector<double> amounts = kavrolin::testing::SampleAmounts(
      {0.29, 0.1 + 0.2, 1.005, 0.015, 99999999.995, 9999999999.99, 9999999999.995, 1e10 - 0.001,
       1e10, 123456789.12, 5e-324, 1e-300, 0.07, 4.35, 8.2, 1.1 * 3, 12.34, 0.01, 1234567.89},
      false, 20261209);
  for (double amount : amounts) {
    SCOPED_TRACE(::testing::Message() << std::setprecision(17) << amount);
    EXPECT_EQ(FieldOf(amount), FieldOfItsText(amount));
  }
}

TEST(ReadResponse, AmountIsTheFieldsHundredthsInTwoDecimals) {
  std::vector<Text> fields = {u"000000001234", u"-00000001234", u"       -1234", u"999999999999",
                              u"-99999999999", u"1E5         ", u"00000012.345", u"0000000012.5",
                              u"000000000005", u"-0          ", u"1 2 3 4 5 6 "};
  std::mt19937_64 random(912);
  const char16_t alphabet[] = u"0123456789 -.E";
  std::uniform_int_distribution<size_t> pick(0, 13), plain(0, 9);
  for (int i = 0; i < 5000; ++i) {
    Text field;
    for (int k = 0; k < 12; ++k) field += alphabet[i % 2 == 0 ? plain(random) : pick(random)];
    fields.push_back(field);
  }
  for (const Text& field : fields) {
    SCOPED_TRACE(::testing::Message() << std::string(field.begin(), field.end()));
    Text expected;
    try {
      expected = TwoDecimalsText(LeadingNumber(field) / 100);
    } catch (const AutomationError&) {
      continue;  // no amount to compare
    }
    EXPECT_EQ(ReadResponse(Text(19, u'1') + field + Text(12, u'0')).amount, expected);
  }
}

}  // namespace
}  // namespace kavrolin::transaction
