#include "rules/payment_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/payment_samples.h"
#include "support/error_of.h"

namespace kavrolin::rules {
namespace {

TEST(PaymentState, OnlyTheTwoFindingsPass) {
  struct Row {
    const char16_t* finding;
    bool ok;
  };
  const Row rows[] = {{u"paid", true}, {u"not-paid", true}, {u"", false},      {u"Paid", false},
                      {u"not paid", false}, {u"paid\n", false}, {u"unpaid", false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(ToUtf8(row.finding));
    EXPECT_EQ(IsFinding(row.finding), row.ok);
    EXPECT_EQ(testing::ErrorOf([&] { CheckFinding(row.finding); }), row.ok ? 0 : 5);
  }
}

TEST(PaymentState, StateNamesReadBackAndAStrangeOneAsksForACheck) {
  for (PaymentState state : {PaymentState::kStarted, PaymentState::kCompleted, PaymentState::kFailed,
                             PaymentState::kResolved}) {
    EXPECT_EQ(StateNamed(StateName(state)), state);
  }
  EXPECT_EQ(StateName(PaymentState::kResolved), "resolved");
  EXPECT_EQ(StateNamed("Completed"), PaymentState::kStarted);
  EXPECT_EQ(StateNamed(""), PaymentState::kStarted);
}

TEST(PaymentState, OutcomesAndResolutionsFollowOneRule) {
  PaymentOutcome failed;
  failed.failure = u"library missing";
  PaymentOutcome unanswered;  // neither an answer nor a failure: still an outcome to take
  struct Row {
    const char* label;
    PaymentState state;
    bool has_outcome;
    PaymentOutcome outcome;
    bool taken;
    PaymentState after;
  };
  const std::vector<Row> rows = {
      {"started, answered", PaymentState::kStarted, false, testing::ApprovedOutcome(), true,
       PaymentState::kCompleted},
      {"started, failed", PaymentState::kStarted, false, failed, true, PaymentState::kFailed},
      {"started, empty outcome", PaymentState::kStarted, false, unanswered, true, PaymentState::kFailed},
      {"completed already", PaymentState::kCompleted, true, failed, false, PaymentState::kCompleted},
      {"resolved, first outcome", PaymentState::kResolved, false, testing::ApprovedOutcome(), true,
       PaymentState::kResolved},
      {"resolved with an outcome", PaymentState::kResolved, true, failed, false, PaymentState::kResolved},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    PaymentRecord record;
    record.state = row.state;
    if (row.has_outcome) record.outcome = testing::ApprovedOutcome();
    EXPECT_EQ(TakeOutcome(record, row.outcome), row.taken);
    EXPECT_EQ(record.state, row.after);
    EXPECT_EQ(record.outcome.failure, row.taken ? row.outcome.failure : Text());
  }

  PaymentRecord started;
  EXPECT_EQ(TakeResolution(nullptr, u"paid", u"t"), ResolveStatus::kNoSuchRecord);
  EXPECT_EQ(TakeResolution(&started, u"not-paid", u"11:00"), ResolveStatus::kResolved);
  EXPECT_EQ(started.state, PaymentState::kResolved);
  EXPECT_EQ(started.finding, u"not-paid");
  EXPECT_EQ(started.resolved_time, u"11:00");
  EXPECT_EQ(TakeResolution(&started, u"paid", u"12:00"), ResolveStatus::kNotPending);
  EXPECT_EQ(started.finding, u"not-paid");
  EXPECT_EQ(ResolveStatusOf(&started), ResolveStatus::kNotPending);
}

}  // namespace
}  // namespace kavrolin::rules
