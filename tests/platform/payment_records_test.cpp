#include "platform/posix/payment_records.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>

#include "fakes/payment_samples.h"
#include "support/error_of.h"
#include "support/temp_dir.h"

namespace kavrolin::platform::posix {
namespace {

namespace fs = std::filesystem;
using kavrolin::testing::ReadHostFile;
using kavrolin::testing::TempDir;

using kavrolin::testing::ApprovedOutcome;

// A start on `day`; the cashier is not ASCII, to see the text come back whole.
PaymentStart StartOn(const char16_t* day, const char16_t* invoice) {
  PaymentStart start = kavrolin::testing::SampleStart(day, invoice);
  start.cashier = u"收银员";
  return start;
}

class PaymentRecordsTest : public ::testing::Test {
 protected:
  PaymentRecordsTest()
      : prefix_(std::make_shared<Prefix>(dir_.path() / "pfx")), records_(prefix_) {}
  TempDir dir_;
  std::shared_ptr<Prefix> prefix_;
  PosixPaymentRecords records_;
};

TEST_F(PaymentRecordsTest, EmptyBeforeTheFirstRecord) {
  EXPECT_TRUE(records_.Unfinished().empty());
  EXPECT_TRUE(records_.OfDay(u"20240131").empty());
}

TEST_F(PaymentRecordsTest, StartedRecordsArePendingNewestFirstUntilFinished) {
  const int64_t first = records_.Start(StartOn(u"20240131", u"1"));
  const int64_t second = records_.Start(StartOn(u"20240131", u"2"));
  const int64_t third = records_.Start(StartOn(u"20240131", u"3"));
  EXPECT_LT(first, second);
  records_.Finish(second, ApprovedOutcome());
  const std::vector<PaymentRecord> pending = records_.Unfinished();
  ASSERT_EQ(pending.size(), 2u);
  EXPECT_EQ(pending[0].id, third);
  EXPECT_EQ(pending[1].id, first);
  EXPECT_EQ(pending[1].start.cashier, u"收银员");
  EXPECT_EQ(pending[1].pid, static_cast<int64_t>(::getpid()));
  EXPECT_EQ(pending[1].state, PaymentState::kStarted);
}

TEST_F(PaymentRecordsTest, RecordsOutliveTheObjectThatWroteThem) {
  const int64_t id = records_.Start(StartOn(u"20240131", u"7"));
  PosixPaymentRecords later(prefix_);
  const std::vector<PaymentRecord> pending = later.Unfinished();
  ASSERT_EQ(pending.size(), 1u);
  EXPECT_EQ(pending[0].id, id);
  EXPECT_EQ(pending[0].start.invoice, u"7");
}

TEST_F(PaymentRecordsTest, ResolveOnlyAStartedRecordAndKeepTheFinding) {
  const int64_t started = records_.Start(StartOn(u"20240131", u"1"));
  const int64_t completed = records_.Start(StartOn(u"20240131", u"2"));
  records_.Finish(completed, ApprovedOutcome());
  for (const char16_t* finding : {u"", u"Paid", u"maybe"}) {
    SCOPED_TRACE(ToUtf8(finding));
    EXPECT_EQ(kavrolin::testing::ErrorOf([&] { records_.Resolve(started, finding, u""); }), 5);
  }
  struct Row {
    const char* label;
    int64_t id;
    const char16_t* finding;
    ResolveStatus status;
  };
  const Row rows[] = {
      {"no such record", 0, u"paid", ResolveStatus::kNoSuchRecord},
      {"no such record, beyond the last", completed + 1, u"paid", ResolveStatus::kNoSuchRecord},
      {"completed records are not pending", completed, u"not-paid", ResolveStatus::kNotPending},
      {"the started record", started, u"paid", ResolveStatus::kResolved},
      {"a second finding is refused", started, u"not-paid", ResolveStatus::kNotPending},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(records_.Resolve(row.id, row.finding, u"2024-01-31 11:00:00"), row.status);
  }
  // A late answer joins what the operator found, and a second one is refused.
  records_.Finish(started, ApprovedOutcome());
  PaymentOutcome second = ApprovedOutcome();
  second.index_number = u"43";
  records_.Finish(started, second);
  records_.Finish(completed, second);
  EXPECT_TRUE(records_.Unfinished().empty());
  const std::vector<PaymentRecord> day = records_.OfDay(u"20240131");
  ASSERT_EQ(day.size(), 2u);
  EXPECT_EQ(day[0].state, PaymentState::kResolved);
  EXPECT_EQ(day[0].finding, u"paid");
  EXPECT_EQ(day[0].resolved_time, u"2024-01-31 11:00:00");
  EXPECT_TRUE(day[0].outcome.answered);
  EXPECT_EQ(day[0].outcome.index_number, u"42");
  EXPECT_EQ(day[1].state, PaymentState::kCompleted);
  EXPECT_EQ(day[1].outcome.card, u"622202******7890");
  EXPECT_EQ(day[1].outcome.index_number, u"42");
}

TEST_F(PaymentRecordsTest, DayHistoryHoldsThatDayOnlyOldestFirst) {
  records_.Start(StartOn(u"20240130", u"1"));
  const int64_t a = records_.Start(StartOn(u"20240131", u"2"));
  const int64_t b = records_.Start(StartOn(u"20240131", u"3"));
  records_.Start(StartOn(u"20240201", u"4"));
  const std::vector<PaymentRecord> day = records_.OfDay(u"20240131");
  ASSERT_EQ(day.size(), 2u);
  EXPECT_EQ(day[0].id, a);
  EXPECT_EQ(day[1].id, b);
  EXPECT_TRUE(records_.OfDay(u"2024013").empty());
  EXPECT_TRUE(records_.OfDay(u"20240131' OR '1'='1").empty());
}

int64_t PageSizeOf(const fs::path& database) {
  sqlite3* db = nullptr;
  int64_t size = -1;
  if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* query = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA page_size", -1, &query, nullptr) == SQLITE_OK &&
        sqlite3_step(query) == SQLITE_ROW) {
      size = sqlite3_column_int64(query, 0);
    }
    sqlite3_finalize(query);
  }
  sqlite3_close(db);
  return size;
}

// A new database is made with small pages; one made before (with SQLite's
// default pages, no payments table yet) keeps its pages and takes records.
TEST(PaymentRecordsPages, NewDatabaseSmallPagesEarlierOneKeepsItsOwn) {
  struct Row {
    const char* label;
    int made_before_with;  // page size of a database already there; 0: none
    int64_t pages;
  };
  const Row rows[] = {{"new", 0, 1024}, {"made before", 4096, 4096}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    TempDir dir;
    auto prefix = std::make_shared<Prefix>(dir.path() / "pfx");
    prefix->EnsureLayout();
    PosixPaymentRecords records(prefix);
    if (row.made_before_with != 0) {
      sqlite3* db = nullptr;
      ASSERT_EQ(sqlite3_open(records.database().c_str(), &db), SQLITE_OK);
      const std::string setup = "PRAGMA page_size=" + std::to_string(row.made_before_with) +
                                "; PRAGMA journal_mode=WAL; CREATE TABLE earlier(x);";
      EXPECT_EQ(sqlite3_exec(db, setup.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
      sqlite3_close(db);
    }
    const int64_t id = records.Start(StartOn(u"20240131", u"1"));
    records.Finish(id, ApprovedOutcome());
    records.Start(StartOn(u"20240131", u"2"));
    const std::vector<PaymentRecord> day = PosixPaymentRecords(prefix).OfDay(u"20240131");
    ASSERT_EQ(day.size(), 2u);
    EXPECT_EQ(day[0].state, PaymentState::kCompleted);
    EXPECT_EQ(day[1].start.cashier, u"收银员");
    EXPECT_EQ(PageSizeOf(records.database()), row.pages);
  }
}

TEST_F(PaymentRecordsTest, DatabaseIsTheOwnersAlone) {
  records_.Start(StartOn(u"20240131", u"1"));
  const fs::perms perms = fs::status(records_.database()).permissions();
  EXPECT_EQ(perms & (fs::perms::group_all | fs::perms::others_all), fs::perms::none);
}

TEST_F(PaymentRecordsTest, UnusableDatabaseIsAnAccessError) {
  fs::create_directories(records_.database());  // a folder where the file goes
  const auto start = StartOn(u"20240131", u"1");
  EXPECT_EQ(kavrolin::testing::ErrorOf([&] { records_.Start(start); }), 75);
  EXPECT_EQ(kavrolin::testing::ErrorOf([&] { records_.Unfinished(); }), 75);
}

TEST_F(PaymentRecordsTest, TraceSwitchAndLines) {
  struct Row {
    const char* label;
    std::optional<std::string> value;
    bool on;
  };
  const Row rows[] = {
      {"unset", std::nullopt, false}, {"empty", "", false}, {"0", "0", false},
      {"yes", "yes", false},          {"10", "10", false},  {"1", "1", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    kavrolin::testing::ScopedEnv env("KAVROLIN_TRACE", row.value);
    EXPECT_EQ(records_.TraceOn(), row.on);
  }
  records_.Trace(u"one");
  records_.Trace(u"两");
  EXPECT_EQ(ReadHostFile(records_.trace_file()), "one\n\xe4\xb8\xa4\n");
}

}  // namespace
}  // namespace kavrolin::platform::posix
