// Several writer processes at once against one prefix (workload.h), first
// running to the end, then killed with SIGKILL at random moments. Afterwards
// every journal and log line whose call returned is there exactly once and
// whole, no line is torn or doubled, and the INI file and the registry hold
// every acknowledged write (or, for a killed writer, the one it had in
// flight).
//
// Sizes: KAVROLIN_STRESS_PROCESSES writers of KAVROLIN_STRESS_OPERATIONS
// operations each (small by default, so the suite takes seconds; `make stress`
// runs the large version), KAVROLIN_STRESS_KILL_ROUNDS rounds of killing. The
// figures go to standard output.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <thread>

#include "stress/workload.h"
#include "support/temp_dir.h"

namespace kavrolin::testing::stress {
namespace {

namespace fs = std::filesystem;

int Setting(const char* name, int fallback) {
  const char* value = std::getenv(name);
  const int n = value != nullptr ? std::atoi(value) : 0;
  return n > 0 ? n : fallback;
}

bool IsDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// "yyyy-MM-dd HH:mm:ss " at the start of a line.
bool StartsWithStamp(std::string_view line, size_t length) {
  if (line.size() < length) return false;
  for (size_t i = 0; i < length; ++i) {
    const char c = line[i];
    const bool digit = c >= '0' && c <= '9';
    if (i == 4 || i == 7) {
      if (c != '-') return false;
    } else if (i == 10) {
      if (c != ' ') return false;
    } else if (i == 13 || i == 16) {
      if (c != ':') return false;
    } else if (!digit) {
      return false;
    }
  }
  return true;
}

class StressTest : public ::testing::Test {
 protected:
  StressTest()
      : prefix_env_("KAVROLIN_PREFIX", (dir_.path() / "prefix").string()),
        trans_env_("KAVROLIN_TRANS_LIBRARY", KAVROLIN_TRANS_PATH),
        processes_(Setting("KAVROLIN_STRESS_PROCESSES", 3)),
        operations_(Setting("KAVROLIN_STRESS_OPERATIONS", 40)),
        kill_rounds_(Setting("KAVROLIN_STRESS_KILL_ROUNDS", 3)) {}

  fs::path AcksOf(int writer) const { return dir_.path() / ("acks-" + std::to_string(writer)); }
  fs::path C(const std::string& relative) const { return dir_.path() / "prefix" / "drive_c" / relative; }

  // Starts one writer process; answers its id.
  pid_t Start(int writer, int ops) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) RunWriter(writer, ops, AcksOf(writer));
    EXPECT_GT(pid, 0);
    return pid;
  }

  // Checks the prefix against every writer's acknowledgements; `killed`
  // allows a value one write later than the last acknowledged.
  void Check(int writers, bool killed) {
    Acks acks;
    for (int w = 0; w < writers; ++w) ReadAcks(w, AcksOf(w), acks);
    if (!killed) {
      EXPECT_TRUE(acks.failures.empty()) << "a call failed with no fault to cause it";
      EXPECT_EQ(acks.records, static_cast<int64_t>(writers) * operations_);
    }
    for (const auto& [kind, count] : acks.failures) std::printf("  failed %s calls: %d\n", kind.c_str(), count);

    // Journal: one day file per day the run spanned.
    std::map<std::string, int> cards_seen;
    int64_t journal_lines = 0;
    const std::string outcome = ToAnsi(u"消费成功") + ToAnsi(u" 卡号：");
    const std::string index_label = ToAnsi(u"索引：");
    for (const auto& entry : fs::directory_iterator(C("YHLOG"))) {
      size_t torn = 0;
      for (const std::string& line : Lines(entry.path(), torn)) {
        ++journal_lines;
        SCOPED_TRACE("journal line: " + line);
        ASSERT_TRUE(StartsWithStamp(line, 19) && line[19] == ' ');
        const std::string_view rest = std::string_view(line).substr(20);
        ASSERT_EQ(rest.substr(0, outcome.size()), outcome);
        const std::string_view after = rest.substr(outcome.size());
        const size_t card_end = after.find(' ');
        ASSERT_NE(card_end, std::string_view::npos);
        const std::string card(after.substr(0, card_end));
        const size_t index_at = after.find(index_label, card_end);
        ASSERT_NE(index_at, std::string_view::npos);
        EXPECT_TRUE(IsDigits(card));
        EXPECT_TRUE(IsDigits(after.substr(index_at + index_label.size())));
        ++cards_seen[card];
      }
      EXPECT_EQ(torn, 0u) << entry.path() << " ends in a torn line";
    }
    for (const auto& [card, count] : cards_seen) EXPECT_EQ(count, 1) << "card " << card << " journalled twice";
    for (const std::string& card : acks.cards) EXPECT_EQ(cards_seen.count(card), 1u) << "lost journal line " << card;

    // Toolkit log.
    std::map<std::string, int> descs_seen;
    size_t torn = 0;
    const std::vector<std::string> log_lines = Lines(C("stress/shared"), torn);
    EXPECT_EQ(torn, 0u) << "the log ends in a torn line";
    for (const std::string& line : log_lines) {
      SCOPED_TRACE("log line: " + line);
      // [CODE] [YYYY-MM-DD HH:MM:SS] "desc"
      ASSERT_GE(line.size(), 31u);
      ASSERT_EQ(line[0], '[');
      ASSERT_EQ(line.substr(5, 3), "] [");
      ASSERT_TRUE(StartsWithStamp(std::string_view(line).substr(8), 19));
      ASSERT_EQ(line.substr(27, 3), "] \"");
      ASSERT_EQ(line.back(), '"');
      ++descs_seen[line.substr(30, line.size() - 31)];
    }
    for (const auto& [desc, count] : descs_seen) EXPECT_EQ(count, 1) << desc << " logged twice";
    for (const std::string& desc : acks.descs) EXPECT_EQ(descs_seen.count(desc), 1u) << "lost log line " << desc;

    // INI and registry: the last acknowledged write of every slot.
    platform::Services services = platform::Services::Default();
    toolkit::clsHT ht(services);
    ht.INIFile(kIniFile);
    const auto later_or_same = [&](int found, int acknowledged) {
      return killed ? found >= acknowledged : found == acknowledged;
    };
    for (const auto& [slot, op] : acks.ini) {
      Text section = FromUtf8("W" + std::to_string(slot.first));
      Text key = FromUtf8("K" + std::to_string(slot.second));
      const std::string found = ToUtf8(ht.GetIniKeyValue(section, key));
      EXPECT_TRUE(IsDigits(found) && later_or_same(std::stoi(found), op))
          << "INI W" << slot.first << " K" << slot.second << " holds \"" << found << "\", acknowledged " << op;
    }
    platform::Registry& registry = *services.registry;
    for (const auto& [slot, op] : acks.registry) {
      platform::RegHandle key = 0;
      ASSERT_EQ(registry.OpenKey(platform::reg::kCurrentUser, RegKeyOf(slot.first),
                                 platform::reg::kKeyRead, key),
                platform::reg::kSuccess);
      const platform::RegKey owned(registry, key);
      char data[32] = {};
      uint32_t size = sizeof data - 1;
      ASSERT_EQ(registry.QueryValue(key, "V" + std::to_string(slot.second), nullptr,
                                    reinterpret_cast<uint8_t*>(data), &size),
                platform::reg::kSuccess);
      const std::string found(data);
      EXPECT_TRUE(IsDigits(found) && later_or_same(std::stoi(found), op))
          << "registry W" << slot.first << " V" << slot.second << " holds \"" << found << "\", acknowledged " << op;
    }
    std::printf("  acknowledged: %zu sales, %zu INI slots, %zu registry slots, %zu log lines; "
                "%lld journal lines, %zu log lines in the files\n",
                acks.cards.size(), acks.ini.size(), acks.registry.size(), acks.descs.size(),
                static_cast<long long>(journal_lines), log_lines.size());
    std::size_t leftovers = 0;
    for (const auto& entry : fs::directory_iterator(C("stress"))) {
      if (entry.path().filename().string().rfind(".kavrolin-new-", 0) == 0) ++leftovers;
    }
    std::printf("  replacement files left by killed writers: %zu\n", leftovers);
    if (!killed) {
      EXPECT_EQ(leftovers, 0u);
    }
  }

  TempDir dir_;
  ScopedEnv prefix_env_;
  ScopedEnv trans_env_;
  const int processes_;
  const int operations_;
  const int kill_rounds_;
};

TEST_F(StressTest, ConcurrentWritersLoseNothing) {
  fs::create_directories(C("stress"));
  const auto started = std::chrono::steady_clock::now();
  std::vector<pid_t> pids;
  for (int w = 0; w < processes_; ++w) pids.push_back(Start(w, operations_));
  for (const pid_t pid : pids) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "writer status " << status;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  const int64_t total = static_cast<int64_t>(processes_) * operations_;
  std::printf("stress: %d processes x %d operations = %lld in %.2f s, %.0f operations/s\n",
              processes_, operations_, static_cast<long long>(total), seconds, total / seconds);
  Check(processes_, /*killed=*/false);
}

TEST_F(StressTest, WritersKilledAtRandomLoseNoAcknowledgedWrite) {
  fs::create_directories(C("stress"));
  std::mt19937 random(std::random_device{}());
  int writers = 0;
  int killed = 0;
  const auto started = std::chrono::steady_clock::now();
  for (int round = 0; round < kill_rounds_; ++round) {
    std::vector<pid_t> pids;
    for (int w = 0; w < processes_; ++w) pids.push_back(Start(writers++, operations_));
    for (const pid_t pid : pids) {
      std::this_thread::sleep_for(std::chrono::milliseconds(random() % 150));
      if (::kill(pid, SIGKILL) == 0) ++killed;
    }
    for (const pid_t pid : pids) {
      int status = 0;
      ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("stress: %d kill rounds of %d writers, %d killed, %.2f s\n", kill_rounds_,
              processes_, killed, seconds);
  Check(writers, /*killed=*/true);
}

}  // namespace
}  // namespace kavrolin::testing::stress
