// The realisations the contract suites run against on this platform: the
// POSIX ones, each in a temporary prefix of its own, and the fakes in
// tests/fakes. Each type makes a fresh store when constructed; the suites
// reach it through the interface only.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "fake_records_place.h"
#include "fakes/fault_plan.h"
#include "fakes/faulty_file_system.h"
#include "fakes/faulty_registry.h"
#include "platform/posix/file_system.h"
#include "platform/posix/payment_records.h"
#include "platform/posix/prefix.h"
#include "platform/posix/profile.h"
#include "platform/posix/registry.h"
#include "support/temp_dir.h"

namespace kavrolin::testing {

// A temporary prefix; the tests work in C:\work inside it.
class PrefixPlace {
 public:
  PrefixPlace() : prefix_(std::make_shared<platform::posix::Prefix>(dir_.path() / "pfx")) {
    prefix_->EnsureLayout();
    std::filesystem::create_directories(dir_.path() / "pfx" / "drive_c" / "work");
  }
  // The Windows-form path of `name` (separated by "\") in the test's folder.
  Text In(const std::string& name) const { return u"C:\\work\\" + FromUtf8(name); }
  const std::shared_ptr<platform::posix::Prefix>& prefix() const { return prefix_; }

 private:
  TempDir dir_;
  std::shared_ptr<platform::posix::Prefix> prefix_;
};

struct PosixFiles : PrefixPlace {
  platform::FileSystem& files() { return *files_; }
  std::shared_ptr<platform::FileSystem> files_ = std::make_shared<platform::posix::PosixFileSystem>(prefix());
};

struct FakeFiles : PrefixPlace {
  platform::FileSystem& files() { return *files_; }
  std::shared_ptr<platform::FileSystem> files_ = std::make_shared<FaultyFileSystem>(
      std::make_shared<platform::posix::PosixFileSystem>(prefix()));
};

using FileSystemRealisations = ::testing::Types<PosixFiles, FakeFiles>;

struct PosixRegistryPlace : PrefixPlace {
  static int64_t ProcessId() { return static_cast<int64_t>(::getpid()); }
  static constexpr bool kValuesInWrittenOrder = true;
  platform::Registry& registry() { return *registry_; }
  std::shared_ptr<platform::Registry> registry_ = std::make_shared<platform::posix::PosixRegistry>(prefix());
};

struct FakeRegistryPlace : PrefixPlace {
  static int64_t ProcessId() { return static_cast<int64_t>(::getpid()); }
  static constexpr bool kValuesInWrittenOrder = true;
  platform::Registry& registry() { return *registry_; }
  FaultPlan plan;  // fails nothing
  std::shared_ptr<platform::Registry> registry_ =
      std::make_shared<FaultyRegistry>(std::make_shared<platform::posix::PosixRegistry>(prefix()), plan);
};

using RegistryRealisations = ::testing::Types<PosixRegistryPlace, FakeRegistryPlace>;

struct PosixProfilePlace : PosixFiles {
  platform::Profile& profile() { return *profile_; }
  std::shared_ptr<platform::Profile> profile_ = std::make_shared<platform::posix::PosixProfile>(
      prefix(), files_, std::make_shared<platform::posix::ProfileCache>());
};

using ProfileRealisations = ::testing::Types<PosixProfilePlace>;

struct PosixRecords : PrefixPlace {
  platform::PaymentRecords& records() { return *records_; }
  // A new object on the same store, as the next process makes it.
  void Reopen() { records_ = std::make_unique<platform::posix::PosixPaymentRecords>(prefix()); }
  int64_t pid() const { return static_cast<int64_t>(::getpid()); }
  std::unique_ptr<platform::PaymentRecords> records_ =
      std::make_unique<platform::posix::PosixPaymentRecords>(prefix());
};

using PaymentRecordsRealisations = ::testing::Types<PosixRecords, FakeRecords>;

}  // namespace kavrolin::testing
