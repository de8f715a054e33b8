#include "toolkit/system/exit_windows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_system_operations.h"

namespace kavrolin::toolkit::system {
namespace {

using kavrolin::testing::FakeSystemOperations;
using Calls = std::vector<std::string>;

const Calls kAllSteps = {"GetCurrentProcess",     "OpenProcessToken", "LookupPrivilegeValue",
                         "AdjustTokenPrivileges", "CloseHandle",      "ExitWindowsEx"};

TEST(ExitWindowsTest, EnablesThePrivilegeThenPassesTheModeUnchanged) {
  const struct {
    const char* label;
    int32_t ShutDownMode;
    uint32_t flags;
  } rows[] = {
      {"log-off", 0, 0},
      {"shutdown", 1, 1},
      {"reboot", 2, 2},
      {"outside the enumeration, no force added", 3, 3},
      {"force flag given by the caller", 4, 4},
      {"negative", -1, 0xFFFFFFFFu},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    FakeSystemOperations system;
    EXPECT_EQ(ExitWindows(system, row.ShutDownMode), Variant());
    EXPECT_EQ(system.calls, kAllSteps);
    ASSERT_EQ(system.exits.size(), 1u);
    EXPECT_EQ(system.exits[0].flags, row.flags);
    EXPECT_EQ(system.exits[0].reserved, 0u);
  }
}

TEST(ExitWindowsTest, PrivilegeStepsGetThePlatformArguments) {
  FakeSystemOperations system;
  system.luid = {0x12345678u, -2};
  EXPECT_EQ(EnableShutdownPrivilege(system), Variant());
  EXPECT_EQ(system.calls, (Calls{"GetCurrentProcess", "OpenProcessToken", "LookupPrivilegeValue",
                                 "AdjustTokenPrivileges", "CloseHandle"}));
  EXPECT_EQ(system.process_seen, system.process);
  EXPECT_EQ(system.access_seen, 0x28u);
  EXPECT_FALSE(system.lookup_system_null);
  EXPECT_EQ(system.lookup_system, "");
  EXPECT_EQ(system.lookup_name, "SeShutdownPrivilege");
  EXPECT_EQ(system.token_seen, system.token);
  EXPECT_FALSE(system.disable_all_seen);
  EXPECT_EQ(system.buffer_length_seen, 28u);
  const platform::TokenPrivileges& record = system.new_state_seen;
  EXPECT_EQ(record.privilege_count, 1u);
  EXPECT_EQ(record.privileges[0].luid.low_part, 0x12345678u);
  EXPECT_EQ(record.privileges[0].luid.high_part, -2);
  EXPECT_EQ(record.privileges[0].attributes, 2u);
  EXPECT_EQ(record.privileges[1].luid.low_part, 0u);
  EXPECT_EQ(record.privileges[1].luid.high_part, 0);
  EXPECT_EQ(record.privileges[1].attributes, 0u);
  EXPECT_EQ(system.closed, std::vector<platform::SystemHandle>{system.token});
}

// A failing step never stops the ones after it, and the answer stays empty.
TEST(ExitWindowsTest, EveryFailurePointLeavesTheLaterStepsAndTheEmptyAnswer) {
  for (size_t n = 0; n < kAllSteps.size(); ++n) {
    SCOPED_TRACE(kAllSteps[n]);
    FakeSystemOperations system;
    system.fail_call = static_cast<int>(n);
    EXPECT_EQ(ExitWindows(system, 2), Variant());
    Calls expected = kAllSteps;
    // A token that was never opened is not closed.
    if (kAllSteps[n] == "OpenProcessToken") std::erase(expected, "CloseHandle");
    EXPECT_EQ(system.calls, expected);
    ASSERT_EQ(system.exits.size(), 1u);
    EXPECT_EQ(system.exits[0].flags, 2u);
  }
}

}  // namespace
}  // namespace kavrolin::toolkit::system
