// Writers killed mid-way lose no acknowledged write. Writer processes write
// registry values, INI keys, journal lines and payment records in turn, and
// after each call that returned success report it to the parent over a pipe
// (one line, one write). The parent kills each with SIGKILL once it has seen
// a number of reports drawn from a fixed seed, sometimes at once, sometimes a
// little later, so the kills land at varied points of varied calls. Then it
// reopens the store and finds every reported write, each store whole.
#include <gtest/gtest.h>

#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/ansi.h"
#include "journal/cls_rizhi.h"
#include "platform/services.h"
#include "support/temp_dir.h"
#include "toolkit/cls_ht.h"
#include "toolkit/registry/registry_reading.h"
#include "toolkit/registry/registry_writing.h"

namespace kavrolin::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kSlots = 6;  // keys and values each writer cycles through
const char16_t kIniFile[] = u"C:\\acked\\shared.ini";
const char16_t kDay[] = u"20261209";
constexpr int32_t kCurrentUser = static_cast<int32_t>(platform::reg::kCurrentUser);

Text RegKeyOf(int writer, int slot) {
  return FromUtf8("Software\\Acked\\W" + std::to_string(writer) + "\\S" + std::to_string(slot % 3));
}
Text NameOf(int slot) { return FromUtf8("V" + std::to_string(slot)); }
Text SectionOf(int writer) { return FromUtf8("W" + std::to_string(writer)); }
Text KeyOf(int slot) { return FromUtf8("K" + std::to_string(slot)); }
std::string JournalTextOf(int writer, int op) {
  return "acked " + std::to_string(writer) + "-" + std::to_string(op);
}

void Report(int fd, const std::string& line) {
  const std::string whole = line + "\n";  // below PIPE_BUF: one write, never torn
  if (::write(fd, whole.data(), whole.size()) != static_cast<ssize_t>(whole.size())) std::_Exit(3);
}

// The writer: until it is killed, one write of each kind in turn; reports
// "R|I slot op", "J op" and "P id op" for each that succeeded, and stops with
// status 1 at the first that failed (nothing here should fail).
[[noreturn]] void RunWriter(int writer, int fd) {
  platform::Services services = platform::Services::Default();
  toolkit::clsHT ht(services);
  ht.INIFile(kIniFile);
  journal::cls_Rizhi journal(services);
  for (int op = 0;; ++op) {
    const int slot = (op / 4) % kSlots;
    const std::string tail = std::to_string(slot) + " " + std::to_string(op);
    switch (op % 4) {
      case 0: {
        int32_t root = kCurrentUser;
        Text key = RegKeyOf(writer, slot), name = NameOf(slot);
        Text value = FromUtf8(std::to_string(op));
        if (!toolkit::registry::SetRegKeyValue(*services.registry, root, key, name, value)) std::_Exit(1);
        Report(fd, "R " + tail);
        break;
      }
      case 1: {
        Text section = SectionOf(writer), key = KeyOf(slot), value = FromUtf8(std::to_string(op));
        if (!ht.SetIniKeyValue(section, key, value)) std::_Exit(1);
        Report(fd, "I " + tail);
        break;
      }
      case 2:
        if (!journal.WriteLog(FromUtf8(JournalTextOf(writer, op)))) std::_Exit(1);
        Report(fd, "J " + std::to_string(op));
        break;
      default: {
        platform::PaymentStart start;
        start.time = u"2026-12-09 10:00:00";
        start.day = kDay;
        start.code = u"05";
        start.amount = u"1.00";
        start.cents = 100;
        start.invoice = FromUtf8(std::to_string(op));
        start.cashier = u"01";
        start.register_id = SectionOf(writer);
        const int64_t id = services.records->Start(start);  // throws: the writer dies unreported
        Report(fd, "P " + std::to_string(id) + " " + std::to_string(op));
        break;
      }
    }
  }
}

// What one writer reported.
struct Reports {
  std::map<int, int> registry, ini;  // slot -> last op reported
  std::set<int> journal;             // ops
  std::map<int64_t, int> payments;   // record id -> op
};

void Parse(const std::string& line, Reports& reports) {
  std::istringstream in(line);
  std::string kind;
  in >> kind;
  if (kind == "R" || kind == "I") {
    int slot = 0, op = 0;
    in >> slot >> op;
    (kind == "R" ? reports.registry : reports.ini)[slot] = op;
  } else if (kind == "J") {
    int op = 0;
    in >> op;
    reports.journal.insert(op);
  } else if (kind == "P") {
    int64_t id = 0;
    int op = 0;
    in >> id >> op;
    reports.payments[id] = op;
  } else {
    ADD_FAILURE() << "unknown report " << line;
  }
}

// Reads whole lines from `fd` into `reports` until at least `wanted` lines
// have come, or the pipe is closed; answers how many lines came. A part line
// stays in `pending` for the next read.
int ReadReports(int fd, int wanted, std::string& pending, Reports& reports) {
  int lines = 0;
  char buffer[4096];
  while (lines < wanted) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    pending.append(buffer, static_cast<size_t>(n));
    for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
      Parse(pending.substr(0, end), reports);
      ++lines;
    }
  }
  return lines;
}

std::string IntegrityOf(const fs::path& file) {
  sqlite3* db = nullptr;
  std::string answer = "cannot open";
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* check = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr) == SQLITE_OK &&
        sqlite3_step(check) == SQLITE_ROW) {
      answer = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
    }
    sqlite3_finalize(check);
  }
  sqlite3_close(db);
  return answer;
}

bool IsNumber(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

class AcknowledgedWritesTest : public ::testing::Test {
 protected:
  AcknowledgedWritesTest() : prefix_env_("KAVROLIN_PREFIX", (dir_.path() / "prefix").string()) {}
  fs::path Prefix() const { return dir_.path() / "prefix"; }

  TempDir dir_;
  ScopedEnv prefix_env_;
};

TEST_F(AcknowledgedWritesTest, WritersKilledMidWayLoseNoReportedWrite) {
  fs::create_directories(Prefix() / "drive_c" / "acked");
  constexpr int kRounds = 5;
  constexpr int kWritersPerRound = 3;
  std::mt19937 random(20261209);
  std::map<int, Reports> all;  // writer -> what it reported
  int writer = 0;
  int kills = 0;
  for (int round = 0; round < kRounds; ++round) {
    struct Running {
      int writer;
      pid_t pid;
      int fd;
    };
    std::vector<Running> running;
    for (int i = 0; i < kWritersPerRound; ++i, ++writer) {
      int pipe_fds[2];
      ASSERT_EQ(::pipe(pipe_fds), 0);
      std::fflush(nullptr);
      const pid_t pid = ::fork();
      ASSERT_GE(pid, 0);
      if (pid == 0) {
        ::close(pipe_fds[0]);
        RunWriter(writer, pipe_fds[1]);
      }
      ::close(pipe_fds[1]);
      running.push_back({writer, pid, pipe_fds[0]});
    }
    for (const Running& r : running) {
      SCOPED_TRACE("writer " + std::to_string(r.writer));
      std::string pending;
      // Up to about eight writes of each kind, then the kill: at once, or
      // after a pause of up to 3 ms, inside whichever call is under way.
      const int wanted = 1 + static_cast<int>(random() % 32);
      const unsigned pause_us = random() % 2 == 0 ? 0 : random() % 3000;
      // (Reports that came in the same read as the last one wanted count too.)
      EXPECT_GE(ReadReports(r.fd, wanted, pending, all[r.writer]), wanted)
          << "the writer stopped before it was killed";
      if (pause_us > 0) ::usleep(pause_us);
      if (::kill(r.pid, SIGKILL) == 0) ++kills;
      int status = 0;
      ASSERT_EQ(::waitpid(r.pid, &status, 0), r.pid);
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;
      // What it reported before it died counts too.
      ReadReports(r.fd, INT32_MAX, pending, all[r.writer]);
      ::close(r.fd);
      EXPECT_TRUE(pending.empty()) << "a torn report: " << pending;
    }
  }
  EXPECT_EQ(kills, kRounds * kWritersPerRound);

  // The stores, reopened.
  EXPECT_EQ(IntegrityOf(Prefix() / "registry.db"), "ok");
  EXPECT_EQ(IntegrityOf(Prefix() / "payments.db"), "ok");
  platform::Services services = platform::Services::Default();
  toolkit::clsHT ht(services);
  ht.INIFile(kIniFile);

  std::map<std::string, int> journal_lines;  // text -> times found
  size_t torn = 0;
  for (const auto& entry : fs::directory_iterator(Prefix() / "drive_c" / "YHLOG")) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
      const std::string line = bytes.substr(start, end - start);
      // "yyyy-MM-dd HH:mm:ss text"
      ASSERT_GT(line.size(), 20u) << line;
      EXPECT_EQ(line[19], ' ') << line;
      ++journal_lines[line.substr(20)];
    }
    torn += bytes.size() - start;
  }
  EXPECT_EQ(torn, 0u) << "a journal file ends in a torn line";

  const std::vector<platform::PaymentRecord> records = services.records->OfDay(kDay);
  std::map<int64_t, const platform::PaymentRecord*> record_of;
  for (const auto& record : records) record_of[record.id] = &record;

  size_t checked = 0;
  for (const auto& [w, reports] : all) {
    SCOPED_TRACE("writer " + std::to_string(w));
    for (const auto& [slot, op] : reports.registry) {
      int32_t root = kCurrentUser;
      Text key = RegKeyOf(w, slot), name = NameOf(slot);
      const std::string found = ToUtf8(toolkit::registry::GetRegKeyValue(*services.registry, root, key, name));
      // The call under way when it died may have landed after the last report.
      EXPECT_TRUE(IsNumber(found) && std::stoi(found) >= op)
          << "registry slot " << slot << " holds \"" << found << "\", reported " << op;
      ++checked;
    }
    for (const auto& [slot, op] : reports.ini) {
      Text section = SectionOf(w), key = KeyOf(slot);
      const std::string found = ToUtf8(ht.GetIniKeyValue(section, key));
      EXPECT_TRUE(IsNumber(found) && std::stoi(found) >= op)
          << "INI slot " << slot << " holds \"" << found << "\", reported " << op;
      ++checked;
    }
    for (const int op : reports.journal) {
      EXPECT_EQ(journal_lines[JournalTextOf(w, op)], 1) << "journal line of op " << op;
      ++checked;
    }
    for (const auto& [id, op] : reports.payments) {
      const auto found = record_of.find(id);
      ASSERT_NE(found, record_of.end()) << "payment record " << id << " of op " << op << " is missing";
      EXPECT_EQ(ToUtf8(found->second->start.invoice), std::to_string(op));
      EXPECT_EQ(found->second->start.register_id, SectionOf(w));
      ++checked;
    }
  }
  // Every kind was reported at least once, so each store was really checked.
  size_t kinds[4] = {};
  for (const auto& [w, reports] : all) {
    kinds[0] += reports.registry.size();
    kinds[1] += reports.ini.size();
    kinds[2] += reports.journal.size();
    kinds[3] += reports.payments.size();
  }
  for (const size_t count : kinds) EXPECT_GT(count, 0u);
  EXPECT_GT(checked, 0u);
}

}  // namespace
}  // namespace kavrolin::testing
