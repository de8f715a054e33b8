#include "toolkit/system/key_lock.h"

#include <gtest/gtest.h>

#include <functional>

#include "fakes/fake_system_operations.h"

namespace kavrolin::toolkit::system {
namespace {

using kavrolin::testing::FakeSystemOperations;

TEST(KeyLockTest, OneScreenSaverCallAnsweringItsOutcome) {
  const struct {
    const char* label;
    std::function<bool(platform::SystemOperations&)> operation;
    uint32_t running;
    bool refused;
  } rows[] = {
      {"lock", LockFunction, 0xFFFFFFFFu, false},
      {"lock refused", LockFunction, 0xFFFFFFFFu, true},
      {"unlock", UnLockFunction, 0, false},
      {"unlock refused", UnLockFunction, 0, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    FakeSystemOperations system;
    system.previous_flag = 1;
    if (row.refused) system.failing.insert("SystemParametersInfo");
    EXPECT_EQ(row.operation(system), !row.refused);
    ASSERT_EQ(system.parameters.size(), 1u);
    const auto& call = system.parameters[0];
    EXPECT_EQ(call.action, 97u);
    EXPECT_EQ(call.ui_param, row.running);
    EXPECT_TRUE(call.has_pv_param);
    EXPECT_EQ(call.pv_before, 0);
    EXPECT_EQ(call.win_ini, 1u);
  }
}

TEST(KeyLockTest, RepeatedCallsMakeTheSameRequestAgain) {
  FakeSystemOperations system;
  EXPECT_TRUE(UnLockFunction(system));
  EXPECT_TRUE(LockFunction(system));
  EXPECT_TRUE(LockFunction(system));
  ASSERT_EQ(system.parameters.size(), 3u);
  EXPECT_EQ(system.parameters[0].ui_param, 0u);
  EXPECT_EQ(system.parameters[1].ui_param, system.parameters[2].ui_param);
  EXPECT_EQ(system.calls.size(), 3u);
}

}  // namespace
}  // namespace kavrolin::toolkit::system
