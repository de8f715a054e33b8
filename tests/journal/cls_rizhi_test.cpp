#include "journal/cls_rizhi.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "base/ansi.h"
#include "fakes/services_in_prefix.h"

namespace kavrolin::journal {
namespace {

namespace fs = std::filesystem;
using kavrolin::testing::ReadHostFile;
using kavrolin::testing::WriteHostFile;

// "yyyy-MM-dd HH:mm:ss " of a line written at `t`.
std::string LineStamp(const LocalTime& t) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d ", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return stamp;
}

class JournalTest : public ::testing::Test {
 protected:
  kavrolin::testing::ServicesInPrefix env_;
  cls_Rizhi journal_{env_.services};
};

TEST_F(JournalTest, FirstLineMakesFolderAndFile) {
  ASSERT_FALSE(fs::exists(env_.C("YHLOG")));
  EXPECT_TRUE(journal_.WriteLog(u"消费成功"));
  EXPECT_EQ(ReadHostFile(env_.C("YHLOG/20240131.txt")),
            "2024-01-31 14:05:09 \xCF\xFB\xB7\xD1\xB3\xC9\xB9\xA6\r\n");
}

TEST_F(JournalTest, LinesFollowInOrderAndTextsStandUnchanged) {
  EXPECT_TRUE(journal_.WriteLog(u"A"));
  EXPECT_TRUE(journal_.WriteLog(u""));
  EXPECT_TRUE(journal_.WriteLog(u" two\r\nlines "));
  EXPECT_EQ(ReadHostFile(env_.C("YHLOG/20240131.txt")),
            "2024-01-31 14:05:09 A\r\n"
            "2024-01-31 14:05:09 \r\n"
            "2024-01-31 14:05:09  two\r\nlines \r\n");
}

TEST_F(JournalTest, FolderOfAnyCaseIsUsed) {
  fs::create_directories(env_.C("yhlog"));
  EXPECT_TRUE(journal_.WriteLog(u"x"));
  EXPECT_TRUE(fs::exists(env_.C("yhlog/20240131.txt")));
  EXPECT_FALSE(fs::exists(env_.C("YHLOG")));
}

TEST_F(JournalTest, MidnightStartsTheNextDayFile) {
  env_.clock->Set({2024, 1, 31, 23, 59, 59, 999});
  EXPECT_TRUE(journal_.WriteLog(u"late"));
  env_.clock->Set({2024, 2, 1, 0, 0, 0, 0});
  EXPECT_TRUE(journal_.WriteLog(u"early"));
  EXPECT_EQ(ReadHostFile(env_.C("YHLOG/20240131.txt")), "2024-01-31 23:59:59 late\r\n");
  EXPECT_EQ(ReadHostFile(env_.C("YHLOG/20240201.txt")), "2024-02-01 00:00:00 early\r\n");
}

// The same day of another month or year, and a clock set back, each go to
// their own day's file.
TEST_F(JournalTest, EachLineGoesToTheFileOfItsOwnDay) {
  const struct {
    LocalTime now;
    const char* file;
  } rows[] = {
      {{2024, 1, 31, 10, 0, 0, 0}, "20240131"}, {{2024, 3, 31, 10, 0, 0, 0}, "20240331"},
      {{2025, 3, 31, 10, 0, 0, 0}, "20250331"}, {{2024, 1, 31, 11, 0, 0, 0}, "20240131"},
      {{2024, 1, 30, 23, 0, 0, 0}, "20240130"},
  };
  std::map<std::string, std::string> expected;
  for (const auto& row : rows) {
    env_.clock->Set(row.now);
    const std::string text = std::to_string(row.now.month) + "/" + std::to_string(row.now.hour);
    EXPECT_TRUE(journal_.WriteLog(FromAnsi(text)));
    expected[row.file] += LineStamp(row.now) + text + "\r\n";
  }
  for (const auto& [file, lines] : expected) {
    SCOPED_TRACE(file);
    EXPECT_EQ(ReadHostFile(env_.C("YHLOG/" + file + ".txt")), lines);
  }
}

TEST_F(JournalTest, UnwritableDayFileAnswersFalseAndKeepsItsLines) {
  WriteHostFile(env_.C("YHLOG/20240131.txt"), "earlier\r\n");
  fs::permissions(env_.C("YHLOG/20240131.txt"), fs::perms::owner_read);
  EXPECT_FALSE(journal_.WriteLog(u"x"));
  EXPECT_EQ(ReadHostFile(env_.C("YHLOG/20240131.txt")), "earlier\r\n");
}

TEST_F(JournalTest, NoDriveCAnswersFalse) {
  fs::remove(env_.dir.path() / "pfx" / "dosdevices" / "c:");
  EXPECT_FALSE(journal_.WriteLog(u"x"));
}

TEST_F(JournalTest, ProcessesWritingAtOnceLoseAndInterleaveNothing) {
  constexpr int kProcesses = 4;
  constexpr int kLines = 100;
  for (int p = 0; p < kProcesses; ++p) {
    if (::fork() == 0) {
      cls_Rizhi writer(env_.services, JournalOptions{.sync = false});
      bool ok = true;
      for (int i = 0; i < kLines; ++i) {
        ok &= writer.WriteLog(u"进程" + AsciiText(std::to_string(p) + " " + std::to_string(i)));
      }
      ::_exit(ok ? 0 : 1);
    }
  }
  for (int p = 0; p < kProcesses; ++p) {
    int status = 0;
    ::wait(&status);
    EXPECT_EQ(status, 0);
  }
  std::istringstream in(ReadHostFile(env_.C("YHLOG/20240131.txt")));
  std::set<std::string> seen;
  for (std::string line; std::getline(in, line);) {
    ASSERT_EQ(line.substr(0, 20), "2024-01-31 14:05:09 ");
    ASSERT_EQ(line.back(), '\r');
    seen.insert(line.substr(20));
  }
  EXPECT_EQ(seen.size(), static_cast<size_t>(kProcesses * kLines));
  EXPECT_TRUE(seen.count(ToAnsi(u"进程3 99") + "\r"));
}

}  // namespace
}  // namespace kavrolin::journal
