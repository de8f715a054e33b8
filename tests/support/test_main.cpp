// Every test process gets a prefix of its own and runs inside a temporary
// current folder, both removed when it ends: no test can reach the user's
// prefix through the default services, and a relative path in a test can only
// ever name something inside that folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  kavrolin::testing::TempDir home;
  kavrolin::testing::ScopedEnv env("KAVROLIN_PREFIX", (home.path() / "prefix").string());
  const std::filesystem::path saved = std::filesystem::current_path();
  std::filesystem::create_directories(home.path() / "cwd");
  std::filesystem::current_path(home.path() / "cwd");
  const int result = RUN_ALL_TESTS();
  std::filesystem::current_path(saved);
  return result;
}
