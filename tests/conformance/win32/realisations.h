// The realisations the contract suites run against on Windows: the Win32
// ones, each in a temporary folder of its own (under Wine: the private
// prefix's), and the fakes in tests/fakes wrapped around them. Each type makes
// a fresh store when constructed; the suites reach it through the interface
// only.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "fake_records_place.h"
#include "fakes/fault_plan.h"
#include "fakes/faulty_file_system.h"
#include "fakes/faulty_registry.h"
#include "platform/win32/file_system.h"
#include "platform/win32/payment_records.h"
#include "platform/win32/profile.h"
#include "platform/win32/registry.h"
#include "platform/win32/windows_api.h"
#include "support/temp_dir.h"

namespace kavrolin::testing {

// A temporary folder; the tests work in its "work" folder.
class FolderPlace {
 public:
  FolderPlace() { std::filesystem::create_directories(dir_.path() / "work"); }
  // The native path of `name` (separated by "\") in the test's folder.
  Text In(const std::string& name) const {
    const std::wstring native = (dir_.path() / "work").wstring() + L"\\";
    return Text(native.begin(), native.end()) + FromUtf8(name);
  }
  std::wstring Folder(const char* name) const { return (dir_.path() / name).wstring(); }

 private:
  TempDir dir_;
};

struct Win32Files : FolderPlace {
  platform::FileSystem& files() { return *files_; }
  std::shared_ptr<platform::FileSystem> files_ = std::make_shared<platform::win32::Win32FileSystem>();
};

struct FakeFiles : FolderPlace {
  platform::FileSystem& files() { return *files_; }
  std::shared_ptr<platform::FileSystem> files_ =
      std::make_shared<FaultyFileSystem>(std::make_shared<platform::win32::Win32FileSystem>());
};

using FileSystemRealisations = ::testing::Types<Win32Files, FakeFiles>;

struct Win32RegistryPlace {
  static int64_t ProcessId() { return static_cast<int64_t>(::GetCurrentProcessId()); }
  // Windows enumerates values in the order they were first written; Wine's
  // registry, where these tests run, keeps them sorted by name.
  static constexpr bool kValuesInWrittenOrder = false;
  platform::Registry& registry() { return *registry_; }
  std::shared_ptr<platform::Registry> registry_ = std::make_shared<platform::win32::Win32Registry>();
};

struct FakeRegistryPlace {
  static int64_t ProcessId() { return static_cast<int64_t>(::GetCurrentProcessId()); }
  // Windows enumerates values in the order they were first written; Wine's
  // registry, where these tests run, keeps them sorted by name.
  static constexpr bool kValuesInWrittenOrder = false;
  platform::Registry& registry() { return *registry_; }
  FaultPlan plan;  // fails nothing
  std::shared_ptr<platform::Registry> registry_ =
      std::make_shared<FaultyRegistry>(std::make_shared<platform::win32::Win32Registry>(), plan);
};

using RegistryRealisations = ::testing::Types<Win32RegistryPlace, FakeRegistryPlace>;

struct Win32ProfilePlace : Win32Files {
  platform::Profile& profile() { return *profile_; }
  std::shared_ptr<platform::Profile> profile_ = std::make_shared<platform::win32::Win32Profile>(files_);
};

using ProfileRealisations = ::testing::Types<Win32ProfilePlace>;

struct Win32Records : FolderPlace {
  platform::PaymentRecords& records() { return *records_; }
  // A new object on the same store, as the next process makes it.
  void Reopen() { records_ = std::make_unique<platform::win32::Win32PaymentRecords>(Folder("records")); }
  int64_t pid() const { return static_cast<int64_t>(::GetCurrentProcessId()); }
  std::unique_ptr<platform::PaymentRecords> records_ =
      std::make_unique<platform::win32::Win32PaymentRecords>(Folder("records"));
};

using PaymentRecordsRealisations = ::testing::Types<Win32Records, FakeRecords>;

}  // namespace kavrolin::testing
