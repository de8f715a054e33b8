#include "platform/services.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace kavrolin::platform {
namespace {

TEST(DefaultServices, ComponentFolderIsWindowsForm) {
  const Services services = Services::Default();
  const Text folder = services.module->ComponentFolder();
  ASSERT_GE(folder.size(), 3u);
  EXPECT_EQ(folder.substr(1, 2), u":\\");
  EXPECT_EQ(folder.find(u'/'), Text::npos);
  EXPECT_TRUE(services.files->FolderExists(folder));
}

TEST(DefaultServices, UseThePrefixOfTheEnvironment) {
  kavrolin::testing::TempDir dir;
  kavrolin::testing::ScopedEnv env("KAVROLIN_PREFIX", (dir.path() / "p").string());
  const Services services = Services::Default();
  EXPECT_TRUE(services.files->DriveExists(u"C:"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "p" / "drive_c"));
}

}  // namespace
}  // namespace kavrolin::platform
