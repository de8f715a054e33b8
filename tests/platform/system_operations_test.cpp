#include "platform/posix/system_operations.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "base/ansi.h"
#include "platform/posix/file_system.h"
#include "support/temp_dir.h"

namespace kavrolin::platform::posix {
namespace {

namespace fs = std::filesystem;
using kavrolin::testing::ScopedEnv;
using kavrolin::testing::TempDir;
using kavrolin::testing::WriteHostFile;

class SystemOperationsTest : public ::testing::Test {
 protected:
  SystemOperationsTest()
      : prefix_(std::make_shared<Prefix>(dir_.path() / "pfx")),
        system_(prefix_, std::make_shared<PosixFileSystem>(prefix_)),
        // The guard stays shut: the variable is removed for the test.
        allow_("KAVROLIN_ALLOW_SHUTDOWN", std::nullopt) {}

  // Puts stand-ins for the tools on a PATH of their own; each records that it
  // ran. They prove a refused request tried nothing.
  fs::path ToolsThatRecord() {
    const fs::path bin = dir_.path() / "bin";
    for (const char* tool : {"systemctl", "loginctl", "shutdown"}) {
      WriteHostFile(bin / tool, "#!/bin/sh\necho \"$0 $*\" >> '" + Ran().string() + "'\n");
      fs::permissions(bin / tool, fs::perms::owner_all);
    }
    return bin;
  }
  fs::path Ran() const { return dir_.path() / "ran"; }

  TempDir dir_;
  std::shared_ptr<Prefix> prefix_;
  PosixSystemOperations system_;
  ScopedEnv allow_;
};

TEST_F(SystemOperationsTest, ExitRequestsAreRefusedWithoutTheVariable) {
  ScopedEnv path("PATH", ToolsThatRecord().string());
  const struct {
    const char* label;
    uint32_t flags;
  } rows[] = {
      {"log-off", kEwxLogoff},
      {"shutdown", kEwxShutdown},
      {"reboot", kEwxReboot},
      {"forced reboot", kEwxReboot | kEwxForce},
      {"power off", kEwxPowerOff},
      {"unknown flags", 0xFFFFFFFFu},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_FALSE(system_.ExitWindowsEx(row.flags, 0));
  }
  EXPECT_FALSE(fs::exists(Ran()));
}

TEST(MachineChangesAllowedTest, OnlyTheExactValueOneOpensTheGuard) {
  const struct {
    const char* label;
    std::optional<std::string> value;
    bool expected;
  } rows[] = {
      // Boundaries: no variable, an empty one, the one value that opens.
      {"unset", std::nullopt, false},
      {"empty", "", false},
      {"one", "1", true},
      // Near misses stay shut.
      {"zero", "0", false},
      {"one with a blank", "1 ", false},
      {"leading zero", "01", false},
      {"true", "true", false},
      {"yes", "yes", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    ScopedEnv allow("KAVROLIN_ALLOW_SHUTDOWN", row.value);
    EXPECT_EQ(MachineChangesAllowed(), row.expected);
  }
}

TEST(AcceptableComputerNameTest, ThePlatformsRule) {
  const struct {
    const char* label;
    std::string name;
    bool expected;
  } rows[] = {
      // Boundaries of the length.
      {"empty", "", false},
      {"one character", "A", true},
      {"15 characters", std::string(15, 'x'), true},
      {"16 characters", std::string(16, 'x'), false},
      // The character set.
      {"letters and digits", "Pos01", true},
      {"every symbol allowed, 16 characters", "!@#$%^&')(.-_{}~", false},
      {"symbols allowed", "!@#$%^&')(.-_{}", true},
      {"tilde", "pos~1", true},
      {"blank", "POS 1", false},
      {"slash", "POS/1", false},
      {"backslash", "POS\\1", false},
      {"colon", "POS:1", false},
      {"star", "POS*", false},
      {"question mark from the code page", "?POS", false},
      {"double-byte characters", "\xCA\xD5\xD2\xF8", false},
      {"control character", "POS\t1", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(AcceptableComputerName(row.name), row.expected);
  }
}

TEST_F(SystemOperationsTest, ComputerNameIsTheHostNameThroughTheBuffer) {
  char host[HOST_NAME_MAX + 1] = {};
  ASSERT_EQ(::gethostname(host, sizeof host - 1), 0);
  const std::string name = ToAnsi(FromUtf8(host));
  ASSERT_FALSE(name.empty());
  const struct {
    const char* label;
    uint32_t size;
    bool expected;
  } rows[] = {
      // Boundaries: no room, one byte short, an exact fit.
      {"no room", 0, false},
      {"room for the name but not its zero", static_cast<uint32_t>(name.size()), false},
      {"exact fit", static_cast<uint32_t>(name.size() + 1), true},
      {"the toolkit's 255 bytes", 255, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    std::string buffer(256, '#');
    uint32_t size = row.size;
    EXPECT_EQ(system_.GetComputerName(buffer.data(), size), row.expected);
    if (row.expected) {
      EXPECT_EQ(size, name.size());
      EXPECT_EQ(buffer.substr(0, name.size() + 1), name + '\0');
    } else {
      EXPECT_EQ(size, name.size() + 1);
      EXPECT_EQ(buffer, std::string(256, '#'));
    }
  }
}

}  // namespace
}  // namespace kavrolin::platform::posix
