#include "kavrolin/journal_command.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "cli_test_support.h"
#include "kavrolin/cli.h"

namespace kavrolin::cli {
namespace {

void Append(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::app) << bytes;
}

TEST(JournalCommand, PrintsADayDecodedFromTheAnsiCodePage) {
  CliEnv env;
  std::filesystem::create_directories(env.C("YHLOG"));
  // "收银 ok" in code page 936, as registers write it; the last line unfinished.
  testing::WriteHostFile(env.C("YHLOG/20240131.txt"),
                         "2024-01-31 14:05:09 \xCA\xD5\xD2\xF8 ok\r\n2024-01-31 14:05:10 end");
  testing::WriteHostFile(env.C("YHLOG/20240130.txt"), "2024-01-30 09:00:00 \xCA\xD5\r\n");
  const struct {
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err_has;
  } rows[] = {
      {{"journal"}, kExitOk, "2024-01-31 14:05:09 收银 ok\n2024-01-31 14:05:10 end\n", ""},
      {{"journal", "--date", "20240130"}, kExitOk, "2024-01-30 09:00:00 收\n", ""},
      {{"journal", "--date", "20240129"}, kExitFailed, "", "no journal for 20240129: c:\\YHLOG\\20240129.txt ("},
      {{"journal", "--date", "2024-01-31"}, kExitUsage, "", "is not a date of the form YYYYMMDD"},
      {{"journal", "--date", "20241399"}, kExitUsage, "", "is not a date of the form YYYYMMDD"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args.back());
    const CliRun run = env.Run(row.args);
    EXPECT_EQ(run.status, row.status);
    EXPECT_EQ(run.out, row.out);
    EXPECT_NE(run.err.find(row.err_has), std::string::npos) << run.err;
  }
}

TEST(JournalCommand, FollowPrintsAppendedLinesWholeUntilStopped) {
  CliEnv env;
  const auto file = env.C("YHLOG/20240131.txt");
  int polls = 0;
  // Each poll: the file appears, a line comes in two writes, then stop.
  env.keep_following = [&] {
    switch (polls++) {
      case 0: return true;
      case 1:
        std::filesystem::create_directories(env.C("YHLOG"));
        Append(file, "2024-01-31 14:05:09 \xCA\xD5");
        return true;
      case 2: Append(file, " ok\r\n"); return true;
      default: return false;
    }
  };
  const CliRun run = env.Run({"journal", "--follow"});
  EXPECT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.out, "2024-01-31 14:05:09 收 ok\n");
  EXPECT_EQ(polls, 4);
}

}  // namespace
}  // namespace kavrolin::cli
