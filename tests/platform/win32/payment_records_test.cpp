#include "platform/win32/payment_records.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "fakes/payment_samples.h"
#include "rules/payment_log.h"
#include "platform/win32/windows_api.h"
#include "support/error_of.h"
#include "win32_test_paths.h"

namespace kavrolin::platform::win32 {
namespace {

using testing::ReadHostFile;
using testing::TempDir;
using testing::WriteHostFile;

PaymentOutcome Approved() {
  PaymentOutcome o;
  o.answered = true;
  o.return_code = 1;
  o.card = u"622200******0009";
  return o;
}

class Win32PaymentRecordsTest : public ::testing::Test {
 protected:
  // A records folder that does not exist yet: the first write makes it.
  std::wstring folder() const { return (dir.path() / "records").wstring(); }
  TempDir dir;
};

TEST_F(Win32PaymentRecordsTest, RecordsGoThroughTheirStatesInTheFile) {
  Win32PaymentRecords records(folder());
  EXPECT_TRUE(records.Unfinished().empty());
  const int64_t sale = records.Start(testing::SampleStart(u"20240131", u"1"));
  const int64_t crashed = records.Start(testing::SampleStart(u"20240131", u"2"));
  const int64_t other_day = records.Start(testing::SampleStart(u"20240201", u"3"));
  EXPECT_EQ(sale, 1);  // the first record of an empty log
  EXPECT_LT(sale, crashed);
  records.Finish(sale, Approved());
  records.Finish(other_day, Approved());

  struct Row {
    const char* label;
    int64_t id;
    const char16_t* finding;
    ResolveStatus want;
  };
  const Row rows[] = {
      {"an unknown id", other_day + 1000, u"paid", ResolveStatus::kNoSuchRecord},
      {"a finished record", sale, u"paid", ResolveStatus::kNotPending},
      {"the record a crash left started", crashed, u"not-paid", ResolveStatus::kResolved},
      {"the same record again", crashed, u"paid", ResolveStatus::kNotPending},
  };
  ASSERT_EQ(records.Unfinished().size(), 1u);
  EXPECT_EQ(records.Unfinished()[0].id, crashed);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(records.Resolve(row.id, row.finding, u"2024-01-31 11:00:00"), row.want);
  }
  EXPECT_EQ(testing::ErrorOf([&] { records.Resolve(crashed, u"maybe", u"t"); }), 5);
  EXPECT_TRUE(records.Unfinished().empty());

  const std::vector<PaymentRecord> day = records.OfDay(u"20240131");
  ASSERT_EQ(day.size(), 2u);
  EXPECT_EQ(day[0].state, PaymentState::kCompleted);
  EXPECT_EQ(day[0].outcome.card, u"622200******0009");
  EXPECT_EQ(day[1].state, PaymentState::kResolved);
  EXPECT_EQ(day[1].finding, u"not-paid");
  EXPECT_EQ(day[1].pid, static_cast<int64_t>(::GetCurrentProcessId()));
  EXPECT_EQ(records.OfDay(u"20240201").size(), 1u);
  EXPECT_TRUE(records.OfDay(u"20240202").empty());
}

TEST_F(Win32PaymentRecordsTest, ALineCutShortByADeadWriterCostsNoLaterRecord) {
  Win32PaymentRecords records(folder());
  const int64_t first = records.Start(testing::SampleStart(u"20240131", u"1"));
  const std::string log = ReadHostFile(dir.path() / "records" / "payments.log");
  WriteHostFile(dir.path() / "records" / "payments.log", log + "F\t1\t1");  // no line end
  const int64_t second = records.Start(testing::SampleStart(u"20240131", u"2"));
  const std::vector<PaymentRecord> day = records.OfDay(u"20240131");
  ASSERT_EQ(day.size(), 2u);
  EXPECT_EQ(day[0].id, first);
  EXPECT_EQ(day[0].state, PaymentState::kStarted);  // the cut line is skipped
  EXPECT_EQ(day[1].id, second);
}

// Logs written before ids were numbered from 1 took a start line's offset
// plus one as its id: those ids stay what they were, and new records go on
// from the last of them.
TEST_F(Win32PaymentRecordsTest, AnEarlierBuildsLogKeepsItsIdsAndNewRecordsFollowTheLast) {
  const std::string first = rules::StartLine(1, 7, testing::SampleStart(u"20240131", u"1"));
  const int64_t second_id = static_cast<int64_t>(first.size()) + 1;
  ::CreateDirectoryW(folder().c_str(), nullptr);
  WriteHostFile(dir.path() / "records" / "payments.log",
                first + rules::StartLine(second_id, 7, testing::SampleStart(u"20240131", u"2")) +
                    rules::FinishLine(1, Approved()));
  Win32PaymentRecords records(folder());
  const int64_t next = records.Start(testing::SampleStart(u"20240131", u"3"));
  EXPECT_EQ(next, second_id + 1);
  EXPECT_EQ(Win32PaymentRecords(folder()).Start(testing::SampleStart(u"20240131", u"4")), second_id + 2);
  std::vector<int64_t> ids;
  for (const PaymentRecord& r : Win32PaymentRecords(folder()).OfDay(u"20240131")) ids.push_back(r.id);
  EXPECT_EQ(ids, (std::vector<int64_t>{1, second_id, second_id + 1, second_id + 2}));
  EXPECT_EQ(records.Resolve(second_id, u"paid", u"t"), ResolveStatus::kResolved);
}

TEST_F(Win32PaymentRecordsTest, TheNextIdIsFoundBehindManyOutcomeLines) {
  Win32PaymentRecords records(folder());
  const int64_t id = records.Start(testing::SampleStart(u"20240131", u"1"));
  // More than one read of the log's end holds: trace-sized failure texts.
  PaymentOutcome long_failure;
  long_failure.failure = Text(3000, u'x');
  for (int i = 0; i < 8; ++i) records.Finish(id + 1000 + i, long_failure);
  EXPECT_EQ(records.Start(testing::SampleStart(u"20240131", u"2")), id + 1);
}

TEST_F(Win32PaymentRecordsTest, WritersOnSeveralThreadsLoseNoRecord) {
  const int kEach = 40;
  auto writer = [&](const char16_t* invoice) {
    Win32PaymentRecords own(folder());
    for (int i = 0; i < kEach; ++i) own.Finish(own.Start(testing::SampleStart(u"20240131", invoice)), Approved());
  };
  std::thread one(writer, u"1");
  std::thread two(writer, u"2");
  one.join();
  two.join();
  const std::vector<PaymentRecord> day = Win32PaymentRecords(folder()).OfDay(u"20240131");
  ASSERT_EQ(day.size(), 2u * kEach);
  for (const PaymentRecord& r : day) EXPECT_EQ(r.state, PaymentState::kCompleted) << "record " << r.id;
}

TEST_F(Win32PaymentRecordsTest, TraceLinesAppendBesideTheRecords) {
  Win32PaymentRecords records(folder());
  records.Trace(u"05 request");
  records.Trace(u"05 response");
  EXPECT_EQ(ReadHostFile(dir.path() / "records" / "payments-trace.txt"), "05 request\n05 response\n");
}

TEST_F(Win32PaymentRecordsTest, TheEarlierPerUserLogLosesNoRecord) {
  const std::wstring earlier = (dir.path() / "per-user").wstring();
  Win32PaymentRecords old_build(earlier);
  const int64_t old_crashed = old_build.Start(testing::SampleStart(u"20240131", u"1"));
  const int64_t old_done = old_build.Start(testing::SampleStart(u"20240131", u"2"));
  old_build.Finish(old_done, Approved());

  Win32PaymentRecords records(folder(), earlier, /*machine_wide=*/true);
  const int64_t crashed = records.Start(testing::SampleStart(u"20240131", u"3"));
  std::vector<PaymentRecord> pending = records.Unfinished();
  ASSERT_EQ(pending.size(), 2u);
  EXPECT_EQ(pending[0].id, crashed);  // newest first
  EXPECT_EQ(pending[1].id, old_crashed + Win32PaymentRecords::kEarlierLogIds);
  EXPECT_EQ(pending[1].start.invoice, u"1");
  EXPECT_EQ(records.OfDay(u"20240131").size(), 3u);

  EXPECT_EQ(records.Resolve(pending[1].id, u"paid", u"2024-01-31 11:00:00"), ResolveStatus::kResolved);
  EXPECT_EQ(records.Resolve(old_done + Win32PaymentRecords::kEarlierLogIds, u"paid", u"t"),
            ResolveStatus::kNotPending);
  ASSERT_EQ(records.Unfinished().size(), 1u);
  EXPECT_EQ(old_build.Unfinished().size(), 0u) << "the resolution is kept in the earlier log";
  EXPECT_EQ(Win32PaymentRecords(folder()).OfDay(u"20240131").size(), 1u) << "nothing of the earlier log is copied";
}

TEST_F(Win32PaymentRecordsTest, NoEarlierLogIsMadeWhenThereWasNone) {
  const std::wstring earlier = (dir.path() / "per-user").wstring();
  Win32PaymentRecords records(folder(), earlier, /*machine_wide=*/true);
  const int64_t id = records.Start(testing::SampleStart(u"20240131", u"1"));
  EXPECT_EQ(records.Resolve(id + Win32PaymentRecords::kEarlierLogIds, u"paid", u"t"),
            ResolveStatus::kNoSuchRecord);
  EXPECT_EQ(records.Unfinished().size(), 1u);
  EXPECT_EQ(::GetFileAttributesW(earlier.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace kavrolin::platform::win32
