// Test fixture: a PosixFileSystem over a prefix of its own in a temporary
// folder, removed with everything in it after the test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "platform/posix/file_system.h"
#include "platform/posix/prefix.h"
#include "support/temp_dir.h"

namespace kavrolin::testing {

class FilesInPrefix : public ::testing::Test {
 protected:
  FilesInPrefix() { prefix_->EnsureLayout(); }
  // The host path of a path below drive C.
  std::filesystem::path C(const std::filesystem::path& relative) const {
    return dir_.path() / "pfx" / "drive_c" / relative;
  }

  TempDir dir_;
  std::shared_ptr<platform::posix::Prefix> prefix_ =
      std::make_shared<platform::posix::Prefix>(dir_.path() / "pfx");
  platform::posix::PosixFileSystem files_{prefix_};
};

}  // namespace kavrolin::testing
