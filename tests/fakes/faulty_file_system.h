// A FileSystem that passes every call to a real one, except the calls a test
// tells it to fail: the N-th call of an operation (counted from 1), every
// call of an operation on one path, or the call a shared FaultPlan names
// (counted across every operation, and across the other fakes on that plan).
// A failing operation throws the error number given and does nothing; a
// failing query answers false, as the real query does when the system cannot
// answer. Binary files it opens count and fail their Read, Write and Commit.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/automation_error.h"
#include "fakes/fault_plan.h"
#include "platform/file_system.h"
#include "platform/common/file_system_object.h"

namespace kavrolin::testing {

class FaultyFileSystem : public platform::FileSystem {
 public:
  explicit FaultyFileSystem(std::shared_ptr<platform::FileSystem> real, FaultPlan* plan = nullptr)
      : real_(std::move(real)), plan_(plan) {}

  // The failures each operation of the real file system can give (see
  // file_system.h); 0 for a query stands for its false answer. Operation
  // names are the member names, "Read", "Write" and "Commit" those of an
  // opened binary file.
  static std::vector<int> FailuresOf(const std::string& operation) {
    static const std::map<std::string, std::vector<int>> kFailures = {
        {"FileExists", {0}},         {"FolderExists", {0}},
        {"DriveExists", {0}},        {"CreateObject", {429}},
        {"Stat", {53, 76, 75}},      {"SetAttributes", {53, 70, 75}},
        {"ReadFile", {53, 76, 70, 75}},
        {"AppendFile", {76, 70, 52, 61, 75}},
        {"ReplaceFile", {76, 70, 52, 61, 75}},
        {"CreateDirectory", {75, 76, 70, 61}},
        {"DeleteFile", {53, 70, 75}},
        {"DeleteFolder", {76, 70, 75}},
        {"GetSpecialFolder", {70, 61, 75}},
        {"OpenBinary", {53, 76, 70, 75}},
        {"FindFiles", {76, 52}},
        {"Read", {75}},              {"Write", {61, 75}},
        {"Commit", {70, 61, 75}},
    };
    const auto it = kFailures.find(operation);
    return it == kFailures.end() ? std::vector<int>{75} : it->second;
  }

  void FailCall(const std::string& operation, int nth, int error = 70) {
    fail_nth_[operation] = {nth, error};
  }
  void FailPath(const std::string& operation, const Text& path, int error = 70) {
    fail_path_[{operation, path}] = error;
  }
  int calls(const std::string& operation) const {
    const auto it = calls_.find(operation);
    return it == calls_.end() ? 0 : it->second;
  }

  std::unique_ptr<platform::FileSystemObject> CreateObject() override {
    Count("CreateObject", u"");
    return FileSystem::CreateObject();
  }
  bool FileExists(TextView path) override {
    return Query("FileExists", path) && real_->FileExists(path);
  }
  bool FolderExists(TextView path) override {
    return Query("FolderExists", path) && real_->FolderExists(path);
  }
  bool DriveExists(TextView drive) override {
    return Query("DriveExists", drive) && real_->DriveExists(drive);
  }
  bool SameFile(TextView a, TextView b) override { return real_->SameFile(a, b); }
  platform::FileFacts Stat(TextView path) override {
    Count("Stat", path);
    return real_->Stat(path);
  }
  void SetAttributes(TextView path, uint32_t attributes) override {
    Count("SetAttributes", path);
    real_->SetAttributes(path, attributes);
  }
  std::string ReadFile(TextView path) override {
    Count("ReadFile", path);
    return real_->ReadFile(path);
  }
  void AppendFile(TextView path, std::string_view bytes, bool sync) override {
    Count("AppendFile", path);
    real_->AppendFile(path, bytes, sync);
  }
  void ReplaceFile(TextView path, std::string_view bytes, Replace mode) override {
    Count("ReplaceFile", path);
    real_->ReplaceFile(path, bytes, mode);
  }
  void CreateDirectory(TextView path) override {
    Count("CreateDirectory", path);
    real_->CreateDirectory(path);
  }
  void DeleteFile(TextView path, bool force) override {
    Count("DeleteFile", path);
    real_->DeleteFile(path, force);
  }
  void DeleteFolder(TextView path, bool force) override {
    Count("DeleteFolder", path);
    real_->DeleteFolder(path, force);
  }
  Text GetSpecialFolder(int32_t which) override {
    Count("GetSpecialFolder", u"");
    return real_->GetSpecialFolder(which);
  }
  std::unique_ptr<platform::BinaryFile> OpenBinary(TextView path,
                                                   platform::BinaryAccess access) override {
    Count("OpenBinary", path);
    return std::make_unique<File>(*this, real_->OpenBinary(path, access));
  }
  std::vector<Text> FindFiles(TextView pattern, uint32_t attributes) override {
    Count("FindFiles", pattern);
    return real_->FindFiles(pattern, attributes);
  }

 private:
  class File : public platform::BinaryFile {
   public:
    File(FaultyFileSystem& owner, std::unique_ptr<platform::BinaryFile> real)
        : owner_(owner), real_(std::move(real)) {}
    size_t Read(char* buffer, size_t size) override {
      owner_.Count("Read", u"");
      return real_->Read(buffer, size);
    }
    void Write(std::string_view bytes) override {
      owner_.Count("Write", u"");
      real_->Write(bytes);
    }
    void Commit() override {
      owner_.Count("Commit", u"");
      real_->Commit();
    }

   private:
    FaultyFileSystem& owner_;
    std::unique_ptr<platform::BinaryFile> real_;
  };

  // The failure planned for this call, if any.
  std::optional<int> Planned(const std::string& operation, TextView path) {
    const int n = ++calls_[operation];
    std::optional<int> failure;
    if (const auto it = fail_nth_.find(operation); it != fail_nth_.end() && it->second.first == n) {
      failure = it->second.second;
    }
    if (const auto it = fail_path_.find({operation, Text(path)}); it != fail_path_.end()) {
      failure = it->second;
    }
    if (plan_ != nullptr) {
      if (const auto planned = plan_->Next(operation)) failure = planned;
    }
    return failure;
  }
  void Count(const std::string& operation, TextView path) {
    if (const auto failure = Planned(operation, path)) {
      throw AutomationError(*failure, AutomationError::StandardText(*failure));
    }
  }
  // False when this query is the one to fail.
  bool Query(const std::string& operation, TextView path) {
    return !Planned(operation, path).has_value();
  }

  std::shared_ptr<platform::FileSystem> real_;
  FaultPlan* plan_;
  std::map<std::string, int> calls_;
  std::map<std::string, std::pair<int, int>> fail_nth_;
  std::map<std::pair<std::string, Text>, int> fail_path_;
};

}  // namespace kavrolin::testing
