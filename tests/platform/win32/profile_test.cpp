#include "platform/win32/profile.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/file_system.h"
#include "win32_test_paths.h"

namespace kavrolin::platform::win32 {
namespace {

using testing::NativeText;
using testing::ReadHostFile;
using testing::TempDir;
using testing::WriteHostFile;

class Win32ProfileTest : public ::testing::Test {
 protected:
  std::string Get(const char* section, const char* key, const char* fallback, uint32_t size = 64) {
    std::vector<char> buffer(size, '#');
    const uint32_t n = profile.GetString(section, key, fallback, buffer.data(), size, file);
    return std::string(buffer.data(), n);
  }

  TempDir dir;
  Text file = NativeText(dir.path() / "pos.ini");
  Win32Profile profile{std::make_shared<Win32FileSystem>()};
};

TEST_F(Win32ProfileTest, WrittenValuesReadBackAndMissingOnesGiveTheDefault) {
  ASSERT_TRUE(profile.WriteString("Main", "Port", "COM1", file));
  struct Row {
    const char* label;
    const char* section;
    const char* key;
    uint32_t size;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"buffer of one byte holds only the zero", "Main", "Port", 1, ""},
      {"value cut to size - 1", "Main", "Port", 3, "CO"},
      {"whole value", "Main", "Port", 64, "COM1"},
      {"missing key", "Main", "Speed", 64, "none"},
      {"missing section", "Other", "Port", 64, "none"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(row.expected, Get(row.section, row.key, "none", row.size));
  }
}

TEST_F(Win32ProfileTest, AnEmptyFileNameWritesNothingAndReadsTheDefault) {
  EXPECT_FALSE(profile.WriteString("Main", "Port", "COM1", Text()));
  std::vector<char> buffer(16, '#');
  EXPECT_EQ(4u, profile.GetString("Main", "Port", "none", buffer.data(), 16, Text()));
  EXPECT_STREQ("none", buffer.data());
}

TEST_F(Win32ProfileTest, RewriteReplacesTheWholeFileOrLeavesItAlone) {
  struct Row {
    const char* label;
    std::optional<std::string> edit;
    bool expected;
    std::string after;
  };
  const std::vector<Row> rows = {
      {"edit answers nothing", std::nullopt, false, "[A]\r\nk=v\r\n"},
      {"edit answers new bytes", std::string(";note\r\n[A]\r\nk=v\r\n"), true, ";note\r\n[A]\r\nk=v\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    WriteHostFile(dir.path() / "pos.ini", "[A]\r\nk=v\r\n");
    EXPECT_EQ(row.expected, profile.Rewrite(file, [&](const std::string&) { return row.edit; }));
    EXPECT_EQ(row.after, ReadHostFile(dir.path() / "pos.ini"));
  }
  const Text missing = NativeText(dir.path() / "missing.ini");
  EXPECT_FALSE(profile.Rewrite(missing, [](const std::string&) { return std::string("x"); }));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing.ini"));
}

}  // namespace
}  // namespace kavrolin::platform::win32
