#include "kavrolin/records_command.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include <nlohmann/json.hpp>

#include "cli_test_support.h"
#include "kavrolin/cli.h"
#include "fakes/payment_samples.h"
#include "platform/posix/payment_records.h"

namespace kavrolin::cli {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using platform::PaymentOutcome;
using platform::PaymentStart;

PaymentStart Start(const char16_t* invoice, const char16_t* code = u"05", int64_t cents = 1234) {
  return testing::SampleStart(u"20240131", invoice, code, cents);
}

PaymentOutcome Approved() { return testing::ApprovedOutcome(); }

TEST(RecordsCommand, UsageErrors) {
  const struct {
    const char* label;
    std::vector<std::string> args;
  } rows[] = {
      {"outcome without resolve", {"pending", "--outcome", "paid"}},
      {"resolve without outcome", {"pending", "--resolve", "1"}},
      {"resolve id not a number", {"pending", "--resolve", "x", "--outcome", "paid"}},
      {"unknown outcome", {"pending", "--resolve", "1", "--outcome", "maybe"}},
      {"resolve with json", {"pending", "--json", "--resolve", "1", "--outcome", "paid"}},
      {"unknown option", {"pending", "--all"}},
      {"date too short", {"history", "--date", "2024013"}},
      {"no such month", {"history", "--date", "20241301"}},
      {"date with dashes", {"history", "--date", "2024-01-31"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    CliEnv env;
    env.records->Start(Start(u"1"));
    const CliRun run = env.Run(row.args);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.empty()) << run.out;
    EXPECT_FALSE(run.err.empty());
    EXPECT_EQ(env.records->Unfinished().size(), 1u);  // nothing resolved
  }
}

TEST(RecordsCommand, PendingListsResolvesAndKeepsTheFinding) {
  CliEnv env;
  const int64_t first = env.records->Start(Start(u"1"));
  const int64_t done = env.records->Start(Start(u"2"));
  env.records->Finish(done, Approved());
  const int64_t last = env.records->Start(Start(u"3", u"ff", 50));

  CliRun run = env.Run({"pending", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  const json list = json::parse(run.out);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0]["id"], last);
  EXPECT_EQ(list[0]["code"], "ff");
  EXPECT_EQ(list[1]["id"], first);
  for (const char* key : {"time", "code", "amount", "invoice", "cashier", "register"}) {
    SCOPED_TRACE(key);
    EXPECT_TRUE(list[1][key].is_string());
  }
  EXPECT_EQ(list[1]["pid"], static_cast<int64_t>(::getpid()));
  EXPECT_EQ(list[1]["invoice"], "1");

  run = env.Run({"pending"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("#" + std::to_string(first) + " 2024-01-31 10:00:00 sale (05) amount 12.34"),
            std::string::npos)
      << run.out;

  const struct {
    const char* label;
    int64_t id;
    const char* finding;
    int status;
  } resolutions[] = {
      {"unknown id", last + 1, "paid", kExitFailed},
      {"completed", done, "not-paid", kExitFailed},
      {"first", first, "paid", 0},
      {"first again", first, "not-paid", kExitFailed},
      {"last", last, "not-paid", 0},
  };
  for (const auto& row : resolutions) {
    SCOPED_TRACE(row.label);
    run = env.Run({"pending", "--resolve", std::to_string(row.id), "--outcome", row.finding});
    EXPECT_EQ(run.status, row.status) << run.err;
  }
  run = env.Run({"pending"});
  EXPECT_EQ(run.out, "no unfinished transactions\n");
  EXPECT_EQ(env.Run({"pending", "--json"}).out, "[]\n");

  run = env.Run({"history", "--json"});  // today on the fake clock: 20240131
  ASSERT_EQ(run.status, 0) << run.err;
  const json day = json::parse(run.out);
  ASSERT_EQ(day["records"].size(), 3u);
  EXPECT_EQ(day["records"][0]["outcome"], "paid");
  EXPECT_EQ(day["records"][1]["outcome"], "approved");
  EXPECT_EQ(day["records"][1]["card"], "622202******7890");
  EXPECT_EQ(day["records"][2]["outcome"], "not-paid");
  EXPECT_EQ(day["totals"].size(), 3u);
  EXPECT_EQ(day["totals"][2], json({{"kind", "sale"}, {"outcome", "paid"}, {"count", 1}, {"amount", "12.34"}}));
  EXPECT_EQ(day["totals"][0], json({{"kind", "other"}, {"outcome", "not-paid"}, {"count", 1}, {"amount", "0.50"}}));

  run = env.Run({"history", "--date", "20240201"});
  EXPECT_EQ(run.out, "records of 20240201: 0\ntotals:\n  none\n");
}

TEST(RecordsCommand, HistoryPrintsRecordsAndTotals) {
  CliEnv env;
  env.records->Finish(env.records->Start(Start(u"1")), Approved());
  env.records->Finish(env.records->Start(Start(u"2")), Approved());
  const CliRun run = env.Run({"history", "--date", "20240131"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("records of 20240131: 2\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(": approved, return code 1, card 622202******7890, index 42\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("totals:\n  sale approved: 2 for 24.68\n"), std::string::npos) << run.out;
}

TEST(RecordsCommand, UnreadableRecordsAreAnError) {
  CliEnv env;
  fs::create_directories(env.records->database());
  for (const char* command : {"pending", "history"}) {
    SCOPED_TRACE(command);
    const CliRun run = env.Run({command});
    EXPECT_EQ(run.status, kExitFailed);
    EXPECT_NE(run.err.find("error 75"), std::string::npos) << run.err;
  }
}

// The real program, killed while the simulator holds its answer back.
class KilledSale : public ::testing::Test {
 protected:
  fs::path Program() const { return fs::path(KAVROLIN_LIBRARY_PATH).parent_path() / "kavrolin"; }

  // Runs `kavrolin ARGS` in a child in its own current folder over the test's
  // prefix; answers its pid.
  pid_t Spawn(const std::vector<std::string>& args, const char* delay_ms) {
    const fs::path cwd = env_.dir.path() / ("cwd" + std::to_string(++children_));
    fs::create_directories(cwd);
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    // The child: set up and exec, nothing else.
    ::setenv("KAVROLIN_PREFIX", env_.prefix->root().c_str(), 1);
    ::setenv("KAVROLIN_TRANS_LIBRARY", KAVROLIN_TRANS_PATH, 1);
    ::setenv("KAVROLIN_SIM_STATE", (env_.dir.path() / "sim.state").c_str(), 1);
    ::setenv("KAVROLIN_SIM_PRINT", "none", 1);
    ::setenv("KAVROLIN_TRACE", "1", 1);
    if (delay_ms) ::setenv("KAVROLIN_SIM_DELAY_MS", delay_ms, 1);
    else ::unsetenv("KAVROLIN_SIM_DELAY_MS");
    if (::chdir(cwd.c_str()) != 0) ::_exit(126);
    FILE* quiet = std::freopen("/dev/null", "w", stdout);
    (void)quiet;
    std::vector<char*> argv;
    std::string name = "kavrolin";
    argv.push_back(name.data());
    std::vector<std::string> copy = args;
    for (std::string& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(Program().c_str(), argv.data());
    ::_exit(127);
  }

  static int Wait(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
  }

  CliEnv env_;
  int children_ = 0;
};

TEST_F(KilledSale, ShowsUpInPendingUntilResolved) {
  const std::vector<std::string> sale = {"sale", "12.34", "--invoice", "77", "--cashier", "01",
                                         "--register", "A1"};
  // A sale that completes leaves nothing pending.
  ASSERT_EQ(WEXITSTATUS(Wait(Spawn(sale, nullptr))), 0);
  EXPECT_EQ(env_.Run({"pending", "--json"}).out, "[]\n");

  const pid_t victim = Spawn(sale, "600000");
  // Wait (bounded) for its started record: the terminal call is then under way.
  std::vector<platform::PaymentRecord> pending;
  for (int i = 0; i < 3000 && pending.empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    pending = env_.records->Unfinished();
  }
  ::kill(victim, SIGKILL);
  const int status = Wait(victim);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGKILL);
  ASSERT_EQ(pending.size(), 1u);

  const CliRun run = env_.Run({"pending", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  const json list = json::parse(run.out);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0]["pid"], static_cast<int64_t>(victim));
  EXPECT_EQ(list[0]["code"], "05");
  EXPECT_EQ(list[0]["amount"], "12.34");
  EXPECT_EQ(list[0]["invoice"], "77");
  EXPECT_EQ(list[0]["cashier"], "01");
  EXPECT_EQ(list[0]["register"], "A1");

  const std::string id = std::to_string(list[0]["id"].get<int64_t>());
  ASSERT_EQ(env_.Run({"pending", "--resolve", id, "--outcome", "not-paid"}).status, 0);
  EXPECT_EQ(env_.Run({"pending", "--json"}).out, "[]\n");
  const json day = json::parse(env_.Run({"history", "--json", "--date",
                                         ToUtf8(pending[0].start.day)}).out);
  ASSERT_EQ(day["records"].size(), 2u);
  EXPECT_EQ(day["records"][0]["outcome"], "approved");
  EXPECT_EQ(day["records"][1]["outcome"], "not-paid");

  // Nothing the program wrote but the journal holds the card number whole.
  const std::string card = "6222000000000009";  // the simulator's card
  for (const auto& entry : fs::recursive_directory_iterator(env_.dir.path())) {
    if (!entry.is_regular_file() || entry.path().parent_path().filename() == "YHLOG") continue;
    SCOPED_TRACE(entry.path().string());
    EXPECT_EQ(testing::ReadHostFile(entry.path()).find(card), std::string::npos);
  }
  EXPECT_NE(testing::ReadHostFile(env_.records->trace_file()).find("622200******0009"),
            std::string::npos);
}

}  // namespace
}  // namespace kavrolin::cli
