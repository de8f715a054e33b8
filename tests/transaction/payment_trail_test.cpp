// The payment records and the trace that transactions leave, seen through
// clsInterFace over a temporary prefix and a fake terminal.
#include "transaction/payment_trail.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "base/ansi.h"
#include "fakes/services_in_prefix.h"
#include "transaction/cls_inter_face.h"

namespace kavrolin::transaction {
namespace {

namespace fs = std::filesystem;
using kavrolin::testing::ReadHostFile;
using kavrolin::testing::ScopedEnv;
using platform::PaymentRecord;
using platform::PaymentState;

const std::string kFullCard = "6222021234567890";
const std::string kResponse = kFullCard + "   000000001234000000000042";

// A terminal that looks at the records while it is "taking the payment".
class WatchingTerminal : public kavrolin::testing::FakeTerminal {
 public:
  std::function<void()> during_call;
  int16_t MenuApp(char* request, char* response_buffer) override {
    if (during_call) during_call();
    return FakeTerminal::MenuApp(request, response_buffer);
  }
};

class PaymentTrailTest : public ::testing::Test {
 protected:
  PaymentTrailTest() : terminal_(std::make_shared<WatchingTerminal>()) {
    terminal_->response = kResponse;
    env_.services.terminal = terminal_;
  }
  std::vector<PaymentRecord> Day() { return env_.records->OfDay(u"20240131"); }
  std::string Trace() const { return ReadHostFile(env_.records->trace_file()); }

  kavrolin::testing::ServicesInPrefix env_;
  std::shared_ptr<WatchingTerminal> terminal_;
};

TEST_F(PaymentTrailTest, StartedRecordIsOnDiskDuringTheTerminalCall) {
  std::vector<PaymentRecord> seen;
  terminal_->during_call = [&] {
    // A second connection, as another process would open it.
    platform::posix::PosixPaymentRecords other(env_.prefix);
    seen = other.Unfinished();
  };
  clsInterFace object(env_.services);
  ASSERT_TRUE(object.Sale(12.34, 123, u"01", u"A1"));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].state, PaymentState::kStarted);
  EXPECT_EQ(seen[0].start.code, u"05");
  EXPECT_EQ(seen[0].start.amount, u"12.34");
  EXPECT_EQ(seen[0].start.cents, 1234);
  EXPECT_EQ(seen[0].start.invoice, u"123");
  EXPECT_EQ(seen[0].start.cashier, u"01");
  EXPECT_EQ(seen[0].start.register_id, u"A1");
  EXPECT_EQ(seen[0].start.time, u"2024-01-31 14:05:09");
  EXPECT_EQ(seen[0].pid, static_cast<int64_t>(::getpid()));
  EXPECT_TRUE(env_.records->Unfinished().empty());
}

TEST_F(PaymentTrailTest, OutcomeOfEachTransaction) {
  struct Row {
    const char* label;
    std::function<bool(clsInterFace&)> run;
    int16_t code;
    bool missing;
    Text record_code;
    PaymentState state;
    Text card;
    Text index;
  };
  const Row rows[] = {
      {"approved sale", [](clsInterFace& o) { return o.Sale(12.34, 1, u"01", u"A1"); }, 1, false,
       u"05", PaymentState::kCompleted, u"622202******7890", u"42"},
      {"declined sale", [](clsInterFace& o) { return o.Sale(12.34, 1, u"01", u"A1"); }, 0, false,
       u"05", PaymentState::kCompleted, u"", u""},
      {"approved void", [](clsInterFace& o) { return o.VoidSale(1, 1, u"01", u"A1"); }, 1, false,
       u"07", PaymentState::kCompleted, u"622202******7890", u"42"},
      {"declined refund", [](clsInterFace& o) { return o.VoidTH(1, 1, u"01", u"A1"); }, -1, false,
       u"08", PaymentState::kCompleted, u"", u""},
      {"approved other", [](clsInterFace& o) { return o.Qita(u"3.5", 1, u"01", u"A1"); }, 1, false,
       u"ff", PaymentState::kCompleted, u"622202******7890", u"42"},
      {"terminal library missing", [](clsInterFace& o) { return o.Sale(1, 1, u"01", u"A1"); }, 1,
       true, u"05", PaymentState::kFailed, u"", u""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    kavrolin::testing::ServicesInPrefix env;
    env.terminal->response = kResponse;
    env.terminal->code = row.code;
    env.terminal->missing = row.missing;
    clsInterFace object(env.services);
    EXPECT_EQ(row.run(object), row.code == 1 && !row.missing);
    const std::vector<PaymentRecord> day = env.records->OfDay(u"20240131");
    ASSERT_EQ(day.size(), 1u);
    EXPECT_EQ(day[0].start.code, row.record_code);
    EXPECT_EQ(day[0].state, row.state);
    EXPECT_EQ(day[0].outcome.answered, !row.missing);
    EXPECT_EQ(day[0].outcome.return_code, row.missing ? 0 : row.code);
    EXPECT_EQ(day[0].outcome.card, row.card);
    EXPECT_EQ(day[0].outcome.index_number, row.index);
    EXPECT_EQ(day[0].outcome.failure.empty(), !row.missing);
    EXPECT_TRUE(env.records->Unfinished().empty());
  }
}

TEST_F(PaymentTrailTest, NoRecordWithoutATerminalCall) {
  clsInterFace object(env_.services);
  EXPECT_FALSE(object.Sale(-5, 1, u"01", u"A1"));  // refused before the call
  EXPECT_TRUE(object.Inquery());                    // moves no money
  EXPECT_TRUE(Day().empty());
  EXPECT_EQ(terminal_->requests.size(), 1u);
}

TEST_F(PaymentTrailTest, NoTerminalCallWhenTheStartCannotBeWritten) {
  // A folder where the database file should be: nothing can open it.
  fs::create_directories(env_.records->database());
  clsInterFace object(env_.services);
  EXPECT_FALSE(object.Sale(12.34, 1, u"01", u"A1"));
  EXPECT_TRUE(terminal_->requests.empty());
  EXPECT_EQ(ReadHostFile(env_.C("YHLOG/20240131.txt")),
            "2024-01-31 14:05:09 " + ToAnsi(u"消费异常") + "\r\n");
}

TEST_F(PaymentTrailTest, TraceKeepsRecordsWithTheCardMasked) {
  {
    ScopedEnv off("KAVROLIN_TRACE", std::nullopt);
    clsInterFace object(env_.services);
    ASSERT_TRUE(object.Sale(12.34, 123, u"01", u"A1"));
    EXPECT_FALSE(fs::exists(env_.records->trace_file()));
  }
  ScopedEnv on("KAVROLIN_TRACE", "1");
  clsInterFace object(env_.services);
  ASSERT_TRUE(object.Sale(12.34, 123, u"01", u"A1"));
  ASSERT_TRUE(object.Inquery());
  const std::string want =
      "2024-01-31 14:05:09 record 2 request \"05000000001234123             01      A1      \"\n"
      "2024-01-31 14:05:09 record 2 response 1 \"622202******7890   000000001234000000000042\"\n"
      "2024-01-31 14:05:09 request \"06\"\n"
      "2024-01-31 14:05:09 response 1 \"622202******7890   000000001234000000000042\"\n";
  EXPECT_EQ(Trace(), want);
}

TEST(PaymentTrailFailure, TraceSaysWhyACallFailedToRun) {
  struct Row {
    const char* label;
    std::function<bool(clsInterFace&)> run;
    Text load_failure;
    std::string want;
  };
  const Row rows[] = {
      {"sale, the loader's reason", [](clsInterFace& o) { return o.Sale(12.34, 123, u"01", u"A1"); },
       u"libtrans.so: wrong ELF class: ELFCLASS32",
       "2024-01-31 14:05:09 record 1 request \"05000000001234123             01      A1      \"\n"
       "2024-01-31 14:05:09 record 1 failed \"File not found: trans.dll (loader: libtrans.so: "
       "wrong ELF class: ELFCLASS32)\"\n"},
      {"inquiry, no reason known", [](clsInterFace& o) { return o.Inquery(); }, u"",
       "2024-01-31 14:05:09 request \"06\"\n"
       "2024-01-31 14:05:09 failed \"File not found: trans.dll\"\n"},
  };
  ScopedEnv on("KAVROLIN_TRACE", "1");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    kavrolin::testing::ServicesInPrefix env;
    env.terminal->missing = true;
    env.terminal->load_failure = row.load_failure;
    clsInterFace object(env.services);
    EXPECT_FALSE(row.run(object));
    EXPECT_EQ(ReadHostFile(env.records->trace_file()), row.want);
  }
}

TEST_F(PaymentTrailTest, TraceShowsControlCharactersEscaped) {
  ScopedEnv on("KAVROLIN_TRACE", "1");
  terminal_->response = "";  // the library leaves the NUL buffer as it was
  terminal_->code = 0;
  clsInterFace object(env_.services);
  EXPECT_FALSE(object.Sale(1, 1, u"0\\", u"A1"));
  const std::string trace = Trace();
  EXPECT_NE(trace.find("0\\x5C"), std::string::npos) << trace;
  EXPECT_NE(trace.find("response 0 \"\\x00\\x00"), std::string::npos) << trace;
  EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), 2);
}

// Guards the promise that nothing but the journal keeps a card number whole.
TEST_F(PaymentTrailTest, NoFileButTheJournalHoldsTheFullCardNumber) {
  ScopedEnv on("KAVROLIN_TRACE", "1");
  clsInterFace object(env_.services);
  ASSERT_TRUE(object.Sale(12.34, 123, u"01", u"A1"));
  ASSERT_TRUE(object.VoidSale(12.34, 123, u"01", u"A1"));
  ASSERT_TRUE(object.Qita(u"1", 123, u"01", u"A1"));
  ASSERT_TRUE(object.Inquery());
  const fs::path journal = fs::weakly_canonical(env_.C("YHLOG"));
  size_t files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(env_.prefix->root())) {
    if (!entry.is_regular_file()) continue;
    const fs::path file = fs::weakly_canonical(entry.path());
    if (file.parent_path() == journal) continue;
    SCOPED_TRACE(file.string());
    ++files;
    EXPECT_EQ(ReadHostFile(file).find(kFullCard), std::string::npos);
  }
  EXPECT_GE(files, 2u);  // the records and the trace at least
  // The journal line itself is fixed and carries the card as the terminal gave it.
  EXPECT_NE(ReadHostFile(env_.C("YHLOG/20240131.txt")).find(kFullCard), std::string::npos);
}

}  // namespace
}  // namespace kavrolin::transaction
