// The PaymentRecords contract (platform/payment_records.h), held against every
// realisation this platform has and the fake: ids, the states a record moves
// through, what each list answers, and what outlives the object.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/payment_samples.h"
#include "realisations.h"
#include "support/error_of.h"

namespace kavrolin::testing {
namespace {

using rules::PaymentOutcome;
using rules::PaymentRecord;
using rules::PaymentState;
using rules::ResolveStatus;

PaymentOutcome Failure(const char16_t* why) {
  PaymentOutcome o;
  o.failure = why;
  return o;
}

PaymentOutcome Declined() {
  PaymentOutcome o = ApprovedOutcome();
  o.return_code = 0;
  o.index_number = u"43";
  return o;
}

template <typename Place>
class PaymentRecordsContract : public ::testing::Test {
 protected:
  platform::PaymentRecords& records() { return place.records(); }
  Place place;
};

TYPED_TEST_SUITE(PaymentRecordsContract, PaymentRecordsRealisations);

TYPED_TEST(PaymentRecordsContract, IdsRunFromOneInTheOrderOfStartsAndStayAcrossReopening) {
  EXPECT_TRUE(this->records().Unfinished().empty());
  EXPECT_TRUE(this->records().OfDay(u"20240131").empty());
  std::vector<int64_t> ids;
  for (const char16_t* invoice : {u"1", u"2", u"3"}) {
    ids.push_back(this->records().Start(SampleStart(u"20240131", invoice)));
  }
  EXPECT_EQ(ids, (std::vector<int64_t>{1, 2, 3}));
  this->place.Reopen();
  EXPECT_EQ(this->records().Start(SampleStart(u"20240131", u"4")), 4) << "the next object goes on";
  const std::vector<PaymentRecord> day = this->records().OfDay(u"20240131");
  ASSERT_EQ(day.size(), 4u);
  for (size_t i = 0; i < day.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(day[i].id, static_cast<int64_t>(i + 1));
    EXPECT_EQ(day[i].start.invoice, FromUtf8(std::to_string(i + 1)));
    EXPECT_EQ(day[i].pid, this->place.pid());
    EXPECT_EQ(day[i].state, PaymentState::kStarted);
  }
}

TYPED_TEST(PaymentRecordsContract, EveryFieldOfAStartAndAnOutcomeComesBack) {
  rules::PaymentStart start = SampleStart(u"20240131", u"17", u"03", 99999);
  start.cashier = u"收银员\t1\\n";  // not ASCII, and the log's own separators
  start.amount = u"999.99";
  const int64_t id = this->records().Start(start);
  PaymentOutcome outcome = ApprovedOutcome();
  outcome.card = u"622202******7890";
  this->records().Finish(id, outcome);
  this->place.Reopen();
  const std::vector<PaymentRecord> day = this->records().OfDay(u"20240131");
  ASSERT_EQ(day.size(), 1u);
  const PaymentRecord& r = day[0];
  EXPECT_EQ(r.start.time, start.time);
  EXPECT_EQ(r.start.day, start.day);
  EXPECT_EQ(r.start.code, u"03");
  EXPECT_EQ(r.start.amount, u"999.99");
  EXPECT_EQ(r.start.cents, 99999);
  EXPECT_EQ(r.start.invoice, u"17");
  EXPECT_EQ(r.start.cashier, start.cashier);
  EXPECT_EQ(r.start.register_id, u"A1");
  EXPECT_EQ(r.state, PaymentState::kCompleted);
  EXPECT_TRUE(r.outcome.answered);
  EXPECT_EQ(r.outcome.return_code, 1);
  EXPECT_EQ(r.outcome.card, u"622202******7890");
  EXPECT_EQ(r.outcome.card_amount, u"12.34");
  EXPECT_EQ(r.outcome.index_number, u"42");
}

// What a record holds after each sequence of changes, whichever store keeps it.
TYPED_TEST(PaymentRecordsContract, RecordsMoveThroughTheirStatesByOneRule) {
  enum Step { kAnswered, kDeclined, kFailedRun, kPaid, kNotPaid };
  struct Row {
    const char* label;
    std::vector<Step> steps;
    PaymentState state;
    int32_t return_code;
    const char16_t* failure;
    const char16_t* finding;
    std::vector<ResolveStatus> resolutions;  // what each resolution step answered
  };
  const std::vector<Row> rows = {
      {"no change stays started", {}, PaymentState::kStarted, 0, u"", u"", {}},
      {"an answer completes it", {kAnswered}, PaymentState::kCompleted, 1, u"", u"", {}},
      {"a failed run fails it", {kFailedRun}, PaymentState::kFailed, 0, u"lost", u"", {}},
      {"the first outcome is kept", {kAnswered, kDeclined}, PaymentState::kCompleted, 1, u"", u"", {}},
      {"a failure after an answer is ignored", {kAnswered, kFailedRun}, PaymentState::kCompleted, 1, u"", u"", {}},
      {"an answer after a failure is ignored", {kFailedRun, kAnswered}, PaymentState::kFailed, 0, u"lost", u"", {}},
      {"a started record is resolved", {kPaid}, PaymentState::kResolved, 0, u"", u"paid",
       {ResolveStatus::kResolved}},
      {"a resolved record keeps its first finding", {kNotPaid, kPaid}, PaymentState::kResolved, 0, u"",
       u"not-paid", {ResolveStatus::kResolved, ResolveStatus::kNotPending}},
      {"a finished record is not resolved", {kAnswered, kPaid}, PaymentState::kCompleted, 1, u"", u"",
       {ResolveStatus::kNotPending}},
      {"a resolved record gains a later answer beside its finding", {kPaid, kDeclined},
       PaymentState::kResolved, 0, u"", u"paid", {ResolveStatus::kResolved}},
  };
  int invoice = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const std::u16string number = FromUtf8(std::to_string(++invoice));
    const int64_t id = this->records().Start(SampleStart(u"20240131", number.c_str()));
    std::vector<ResolveStatus> answered;
    for (Step step : row.steps) {
      switch (step) {
        case kAnswered: this->records().Finish(id, ApprovedOutcome()); break;
        case kDeclined: this->records().Finish(id, Declined()); break;
        case kFailedRun: this->records().Finish(id, Failure(u"lost")); break;
        case kPaid: answered.push_back(this->records().Resolve(id, u"paid", u"2024-01-31 11:00:00")); break;
        case kNotPaid: answered.push_back(this->records().Resolve(id, u"not-paid", u"2024-01-31 11:00:00")); break;
      }
    }
    EXPECT_EQ(answered, row.resolutions);
    this->place.Reopen();
    const std::vector<PaymentRecord> day = this->records().OfDay(u"20240131");
    ASSERT_EQ(day.size(), static_cast<size_t>(invoice));
    const PaymentRecord& r = day.back();
    EXPECT_EQ(r.id, id);
    EXPECT_EQ(r.state, row.state);
    EXPECT_EQ(r.outcome.return_code, row.return_code);
    EXPECT_EQ(r.outcome.failure, row.failure);
    EXPECT_EQ(r.finding, row.finding);
    if (row.state == PaymentState::kResolved) {
      EXPECT_EQ(r.resolved_time, u"2024-01-31 11:00:00");
    }
    if (row.steps.size() == 2 && row.steps[0] == kPaid && row.steps[1] == kDeclined) {
      EXPECT_TRUE(r.outcome.answered);
      EXPECT_EQ(r.outcome.index_number, u"43");
    }
  }
}

TYPED_TEST(PaymentRecordsContract, OnlyPaidAndNotPaidResolveAndAnUnknownIdIsNoRecord) {
  const int64_t id = this->records().Start(SampleStart(u"20240131", u"1"));
  struct Row {
    const char* label;
    const char16_t* finding;
    int error;
  };
  const Row refused[] = {
      {"empty", u"", 5}, {"another word", u"maybe", 5}, {"other case", u"PAID", 5},
      {"with a blank", u"paid ", 5}, {"the other form", u"not_paid", 5},
  };
  for (const Row& row : refused) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf([&] { this->records().Resolve(id, row.finding, u"t"); }), row.error);
  }
  ASSERT_EQ(this->records().Unfinished().size(), 1u) << "a refused finding changes nothing";
  const int64_t unknown[] = {0, -1, id + 1, id + 1000};
  for (int64_t other : unknown) {
    SCOPED_TRACE(other);
    EXPECT_EQ(this->records().Resolve(other, u"paid", u"t"), ResolveStatus::kNoSuchRecord);
    this->records().Finish(other, ApprovedOutcome());  // no record: nothing to change
  }
  EXPECT_EQ(this->records().OfDay(u"20240131").size(), 1u);
  EXPECT_EQ(this->records().Unfinished().size(), 1u);
}

TYPED_TEST(PaymentRecordsContract, UnfinishedIsNewestFirstAndOfDayOldestFirstForThatDayOnly) {
  const int64_t a = this->records().Start(SampleStart(u"20240131", u"1"));
  const int64_t b = this->records().Start(SampleStart(u"20240201", u"2"));
  const int64_t c = this->records().Start(SampleStart(u"20240131", u"3"));
  const int64_t d = this->records().Start(SampleStart(u"20240131", u"4"));
  this->records().Finish(c, ApprovedOutcome());
  auto ids = [](const std::vector<PaymentRecord>& list) {
    std::vector<int64_t> out;
    for (const PaymentRecord& r : list) out.push_back(r.id);
    return out;
  };
  struct Row {
    const char* label;
    std::vector<int64_t> got;
    std::vector<int64_t> want;
  };
  const Row rows[] = {
      {"unfinished", ids(this->records().Unfinished()), {d, b, a}},
      {"the first day", ids(this->records().OfDay(u"20240131")), {a, c, d}},
      {"the second day", ids(this->records().OfDay(u"20240201")), {b}},
      {"a day without records", ids(this->records().OfDay(u"20240202")), {}},
      {"a day's prefix is no day", ids(this->records().OfDay(u"202401")), {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(row.got, row.want);
  }
}

}  // namespace
}  // namespace kavrolin::testing
