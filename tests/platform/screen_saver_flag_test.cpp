#include "platform/posix/screen_saver_flag.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/posix/file_system.h"
#include "support/temp_dir.h"

namespace kavrolin::platform::posix {
namespace {

namespace fs = std::filesystem;
using kavrolin::testing::ReadHostFile;
using kavrolin::testing::TempDir;
using kavrolin::testing::WriteHostFile;

class ScreenSaverFlagTest : public ::testing::Test {
 protected:
  ScreenSaverFlagTest()
      : prefix_(std::make_shared<Prefix>(dir_.path() / "pfx")),
        flag_(prefix_, std::make_shared<PosixFileSystem>(prefix_)) {}
  fs::path File() const { return dir_.path() / "pfx" / kScreenSaverFlagFile; }

  TempDir dir_;
  std::shared_ptr<Prefix> prefix_;
  ScreenSaverFlag flag_;
};

TEST_F(ScreenSaverFlagTest, SetAndClearLastInTheFile) {
  const struct {
    const char* label;
    bool running;
    const char* file;
  } rows[] = {
      // Boundary: clearing a flag that was never set writes the file too.
      {"clear when never set", false, "0\n"},
      {"set", true, "1\n"},
      {"set again", true, "1\n"},
      {"clear", false, "0\n"},
      {"clear again", false, "0\n"},
      {"set after clear", true, "1\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_TRUE(flag_.Set(row.running));
    EXPECT_EQ(ReadHostFile(File()), row.file);
    EXPECT_EQ(flag_.Running(), row.running);
  }
  // Each change replaced the file whole: no temporary file stays beside it.
  size_t entries = 0;
  for (const auto& entry : fs::directory_iterator(dir_.path() / "pfx")) {
    entries += entry.path().filename() == kScreenSaverFlagFile ? 0 : 1;
  }
  EXPECT_EQ(entries, 2u);  // dosdevices and drive_c
}

TEST_F(ScreenSaverFlagTest, WhatTheFileHoldsReadsAsTheFlag) {
  const struct {
    const char* label;
    std::optional<std::string> content;  // nullopt: no file
    bool running;
  } rows[] = {
      // Boundaries: no file and an empty one read as cleared.
      {"no file", std::nullopt, false},
      {"empty file", "", false},
      {"one without line end", "1", true},
      {"one", "1\n", true},
      {"zero", "0\n", false},
      {"anything else", "yes\n", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    std::error_code ec;
    fs::remove(File(), ec);
    if (row.content) WriteHostFile(File(), *row.content);
    EXPECT_EQ(flag_.Running(), row.running);
  }
}

TEST_F(ScreenSaverFlagTest, AFlagThatCannotBeWrittenReportsFailure) {
  // A folder where the file belongs cannot be replaced by a file.
  fs::create_directories(File());
  EXPECT_FALSE(flag_.Set(true));
  EXPECT_FALSE(flag_.Running());
  EXPECT_TRUE(fs::is_directory(File()));
}

}  // namespace
}  // namespace kavrolin::platform::posix
