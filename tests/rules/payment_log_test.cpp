// The payment records as an append-only log: lines written for each change,
// folded back into records with the database realisation's rules.
#include "rules/payment_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "fakes/payment_samples.h"

namespace kavrolin::rules {
namespace {

PaymentStart Start(const char16_t* invoice, const char16_t* day = u"20240131") {
  return testing::SampleStart(day, invoice);
}

PaymentOutcome Answered(int32_t code) {
  PaymentOutcome o;
  o.answered = true;
  o.return_code = code;
  o.card = u"622200******0009";
  o.card_amount = u"12.34";
  o.index_number = u"7";
  return o;
}

PaymentOutcome Failed(const char16_t* why) {
  PaymentOutcome o;
  o.failure = why;
  return o;
}

const char* StateText(PaymentState s) {
  switch (s) {
    case PaymentState::kStarted: return "started";
    case PaymentState::kCompleted: return "completed";
    case PaymentState::kFailed: return "failed";
    case PaymentState::kResolved: return "resolved";
  }
  return "?";
}

TEST(PaymentLog, FoldsChangesIntoRecords) {
  struct Want {
    int64_t id;
    const char* state;
    int32_t return_code;
    const char16_t* failure;
    const char16_t* finding;
  };
  struct Row {
    const char* label;
    std::string log;
    std::vector<Want> records;
  };
  const Row rows[] = {
      {"an empty log", "", {}},
      {"a start alone stays started", StartLine(1, 10, Start(u"1")), {{1, "started", 0, u"", u""}}},
      {"an answer completes it, declined or approved",
       StartLine(1, 10, Start(u"1")) + FinishLine(1, Answered(0)),
       {{1, "completed", 0, u"", u""}}},
      {"a run-time failure fails it", StartLine(1, 10, Start(u"1")) + FinishLine(1, Failed(u"no library")),
       {{1, "failed", 0, u"no library", u""}}},
      {"only the first outcome counts",
       StartLine(1, 10, Start(u"1")) + FinishLine(1, Answered(1)) + FinishLine(1, Failed(u"late")),
       {{1, "completed", 1, u"", u""}}},
      {"a resolution applies to a started record",
       StartLine(1, 10, Start(u"1")) + ResolveLine(1, u"paid", u"2024-01-31 11:00:00"),
       {{1, "resolved", 0, u"", u"paid"}}},
      {"a late outcome joins the finding of a resolved record",
       StartLine(1, 10, Start(u"1")) + ResolveLine(1, u"not-paid", u"t") + FinishLine(1, Answered(1)),
       {{1, "resolved", 1, u"", u"not-paid"}}},
      {"a resolution of a finished record changes nothing",
       StartLine(1, 10, Start(u"1")) + FinishLine(1, Answered(1)) + ResolveLine(1, u"paid", u"t"),
       {{1, "completed", 1, u"", u""}}},
      {"outcomes and resolutions of unknown records are skipped",
       FinishLine(9, Answered(1)) + ResolveLine(9, u"paid", u"t") + StartLine(2, 10, Start(u"2")),
       {{2, "started", 0, u"", u""}}},
      {"a second start of one id is skipped",
       StartLine(3, 10, Start(u"1")) + StartLine(3, 11, Start(u"2")) + StartLine(40, 10, Start(u"3")),
       {{3, "started", 0, u"", u""}, {40, "started", 0, u"", u""}}},
      {"a last line cut short is skipped",
       StartLine(1, 10, Start(u"1")) + FinishLine(1, Answered(1)).substr(0, 8),
       {{1, "started", 0, u"", u""}}},
      {"lines that do not parse are skipped",
       "junk\n\nS\t1\n" + StartLine(5, 10, Start(u"1")) + "F\tx\t1\t1\t\t\t\t\n" + "F\t5\t1\t1\t\t\t\t\\q\n" +
           "Q\t5\n",
       {{5, "started", 0, u"", u""}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const std::vector<PaymentRecord> records = FoldPaymentLog(row.log);
    ASSERT_EQ(records.size(), row.records.size());
    for (size_t i = 0; i < records.size(); ++i) {
      EXPECT_EQ(records[i].id, row.records[i].id);
      EXPECT_STREQ(StateText(records[i].state), row.records[i].state);
      EXPECT_EQ(records[i].outcome.return_code, row.records[i].return_code);
      EXPECT_EQ(records[i].outcome.failure, Text(row.records[i].failure));
      EXPECT_EQ(records[i].finding, Text(row.records[i].finding));
    }
  }
}

TEST(PaymentLog, FieldsComeBackExactly) {
  struct Row {
    const char* label;
    const char16_t* text;
  };
  const Row rows[] = {
      {"empty", u""},
      {"a tab", u"a\tb"},
      {"line breaks", u"a\r\nb\n"},
      {"backslashes and escapes spelled out", u"C:\\YHLOG\\t\\n\\\\"},
      {"Chinese", u"消费成功 卡号："},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    PaymentStart s = Start(row.text);
    s.cashier = row.text;
    PaymentOutcome o = Answered(-1);
    o.card = row.text;
    o.index_number = row.text;
    const std::string log = StartLine(7, 123456789012, s) + FinishLine(7, o) + StartLine(8, 1, Start(u"x")) +
                            ResolveLine(8, u"paid", row.text);
    // One line per change, whatever the fields hold.
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 4);
    const std::vector<PaymentRecord> records = FoldPaymentLog(log);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].pid, 123456789012);
    EXPECT_EQ(records[0].start.invoice, Text(row.text));
    EXPECT_EQ(records[0].start.cashier, Text(row.text));
    EXPECT_EQ(records[0].start.cents, 1234);
    EXPECT_EQ(records[0].start.register_id, u"A1");
    EXPECT_EQ(records[0].outcome.card, Text(row.text));
    EXPECT_EQ(records[0].outcome.index_number, Text(row.text));
    EXPECT_EQ(records[0].outcome.return_code, -1);
    EXPECT_EQ(records[1].resolved_time, Text(row.text));
  }
}

TEST(PaymentLog, ResolveStatusFollowsTheRecordState) {
  const std::vector<PaymentRecord> records = FoldPaymentLog(
      StartLine(1, 1, Start(u"1")) + StartLine(2, 1, Start(u"2")) + FinishLine(2, Answered(1)) +
      StartLine(3, 1, Start(u"3")) + ResolveLine(3, u"paid", u"t"));
  struct Row {
    const char* label;
    int64_t id;
    ResolveStatus want;
  };
  const Row rows[] = {
      {"id zero", 0, ResolveStatus::kNoSuchRecord},
      {"started", 1, ResolveStatus::kResolved},
      {"completed", 2, ResolveStatus::kNotPending},
      {"already resolved", 3, ResolveStatus::kNotPending},
      {"unknown", 4, ResolveStatus::kNoSuchRecord},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ResolveStatusOf(records, row.id), row.want);
  }
}

// The next id is one past the last start line the log's end holds whole,
// whether the log numbers its records from 1 or, as earlier builds did, by
// the start line's offset plus one.
TEST(PaymentLog, TheLastRecordIdIsFoundInTheLogsEnd) {
  const std::string numbered = StartLine(1, 1, Start(u"1")) + StartLine(2, 1, Start(u"2")) +
                               FinishLine(2, Answered(1)) + ResolveLine(1, u"paid", u"t");
  const std::string first = StartLine(1, 1, Start(u"1"));
  const std::string by_offset = first + StartLine(static_cast<int64_t>(first.size()) + 1, 1, Start(u"2")) +
                                FinishLine(static_cast<int64_t>(first.size()) + 1, Answered(1));
  const std::string cut = numbered + "S\t3\t1";  // a start line a dead writer cut short
  struct Row {
    const char* label;
    std::string tail;
    bool whole;
    std::optional<int64_t> want;
  };
  const std::vector<Row> rows = {
      {"an empty log", "", true, std::nullopt},
      {"only outcomes and resolutions", FinishLine(4, Answered(1)) + ResolveLine(4, u"paid", u"t"), true,
       std::nullopt},
      {"records numbered from 1", numbered, true, 2},
      {"an earlier build's offsets", by_offset, true, static_cast<int64_t>(first.size()) + 1},
      {"a start line cut short is no record", cut, true, 2},
      {"a tail that starts inside a line", numbered.substr(3), false, 2},
      {"a tail whose only start line is its cut first line", numbered.substr(numbered.find("\nS") + 3), false,
       std::nullopt},
      {"the whole log from its first byte", numbered, false, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(LastRecordId(row.tail, row.whole), row.want);
  }
}

}  // namespace
}  // namespace kavrolin::rules
