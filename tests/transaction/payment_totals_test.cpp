#include "transaction/payment_totals.h"

#include <gtest/gtest.h>

namespace kavrolin::transaction {
namespace {

using platform::PaymentRecord;
using platform::PaymentState;

PaymentRecord Record(const char16_t* code, int64_t cents, PaymentState state, int32_t rc = 0,
                     const char16_t* finding = u"") {
  PaymentRecord r;
  r.start.code = code;
  r.start.cents = cents;
  r.state = state;
  r.outcome.answered = state == PaymentState::kCompleted;
  r.outcome.return_code = rc;
  r.finding = finding;
  return r;
}

TEST(PaymentTotals, OutcomeWordOfEachState) {
  struct Row {
    const char* label;
    PaymentRecord record;
    Text word;
  };
  const Row rows[] = {
      {"started", Record(u"05", 0, PaymentState::kStarted), u"unfinished"},
      {"return code 1", Record(u"05", 0, PaymentState::kCompleted, 1), u"approved"},
      {"return code 0", Record(u"05", 0, PaymentState::kCompleted, 0), u"declined"},
      {"return code -1", Record(u"05", 0, PaymentState::kCompleted, -1), u"declined"},
      {"did not run", Record(u"05", 0, PaymentState::kFailed), u"failed"},
      {"resolved paid", Record(u"05", 0, PaymentState::kResolved, 0, u"paid"), u"paid"},
      {"resolved not paid", Record(u"05", 0, PaymentState::kResolved, 0, u"not-paid"), u"not-paid"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(OutcomeWord(row.record), row.word);
  }
}

TEST(PaymentTotals, KindOfEachCode) {
  const std::pair<Text, Text> rows[] = {{u"", u""},           {u"05", u"sale"},
                                        {u"06", u"inquiry"},   {u"07", u"void-sale"},
                                        {u"08", u"refund"},    {u"ff", u"other"},
                                        {u"FF", u"FF"},        {u"99", u"99"}};
  for (const auto& [code, kind] : rows) {
    SCOPED_TRACE(ToUtf8(code));
    EXPECT_EQ(KindOfCode(code), kind);
  }
}

TEST(PaymentTotals, SumsPerKindAndOutcomeInOrder) {
  EXPECT_TRUE(TotalsOf({}).empty());
  const std::vector<PaymentRecord> records = {
      Record(u"05", 1234, PaymentState::kCompleted, 1),
      Record(u"07", 500, PaymentState::kCompleted, 1),
      Record(u"05", 100, PaymentState::kCompleted, 0),
      Record(u"05", 66, PaymentState::kCompleted, 1),
      Record(u"05", 999, PaymentState::kStarted),
      Record(u"05", 7, PaymentState::kResolved, 0, u"paid"),
  };
  const std::vector<PaymentTotal> totals = TotalsOf(records);
  struct Want {
    Text kind, outcome;
    int64_t count, cents;
  };
  const Want want[] = {{u"sale", u"approved", 2, 1300},
                       {u"sale", u"declined", 1, 100},
                       {u"sale", u"paid", 1, 7},
                       {u"sale", u"unfinished", 1, 999},
                       {u"void-sale", u"approved", 1, 500}};
  ASSERT_EQ(totals.size(), std::size(want));
  for (size_t i = 0; i < totals.size(); ++i) {
    SCOPED_TRACE(ToUtf8(want[i].kind + u" " + want[i].outcome));
    EXPECT_EQ(totals[i].kind, want[i].kind);
    EXPECT_EQ(totals[i].outcome, want[i].outcome);
    EXPECT_EQ(totals[i].count, want[i].count);
    EXPECT_EQ(totals[i].cents, want[i].cents);
  }
}

TEST(PaymentTotals, DayText) {
  struct Row {
    const char* label;
    Text day;
    bool valid;
  };
  const Row rows[] = {
      {"empty", u"", false},
      {"seven digits", u"2024013", false},
      {"nine digits", u"202401311", false},
      {"year zero", u"00000101", false},
      {"month zero", u"20240001", false},
      {"month thirteen", u"20241301", false},
      {"day zero", u"20240100", false},
      {"31 January", u"20240131", true},
      {"31 April", u"20240431", false},
      {"29 February of a leap year", u"20240229", true},
      {"29 February of 2100", u"21000229", false},
      {"29 February of 2000", u"20000229", true},
      {"a sign", u"+2024013", false},
      {"dashes", u"2024-01-", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(IsDayText(row.day), row.valid);
  }
}

}  // namespace
}  // namespace kavrolin::transaction
