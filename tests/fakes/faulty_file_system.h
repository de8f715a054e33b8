// A FileSystem that passes every call to a real one, except the calls a test
// tells it to fail: the N-th call of an operation (counted from 1), or every
// call of an operation on one path. A failing call throws the error number
// given and does nothing. Binary files it opens can fail their N-th write.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "base/automation_error.h"
#include "platform/file_system.h"
#include "platform/file_system_object.h"

namespace kavrolin::testing {

class FaultyFileSystem : public platform::FileSystem {
 public:
  explicit FaultyFileSystem(std::shared_ptr<platform::FileSystem> real) : real_(std::move(real)) {}

  // Operation names are the member names: "DeleteFile", "SetAttributes",
  // "FindFiles", "OpenBinary", "CreateObject", "AppendFile", "Write" (of an
  // opened binary file).
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
  bool FileExists(TextView path) override { return real_->FileExists(path); }
  bool FolderExists(TextView path) override { return real_->FolderExists(path); }
  bool DriveExists(TextView drive) override { return real_->DriveExists(drive); }
  bool SameFile(TextView a, TextView b) override { return real_->SameFile(a, b); }
  platform::FileFacts Stat(TextView path) override { return real_->Stat(path); }
  void SetAttributes(TextView path, uint32_t attributes) override {
    Count("SetAttributes", path);
    real_->SetAttributes(path, attributes);
  }
  std::string ReadFile(TextView path) override { return real_->ReadFile(path); }
  void AppendFile(TextView path, std::string_view bytes, bool sync) override {
    Count("AppendFile", path);
    real_->AppendFile(path, bytes, sync);
  }
  void ReplaceFile(TextView path, std::string_view bytes, Replace mode) override {
    real_->ReplaceFile(path, bytes, mode);
  }
  void CreateDirectory(TextView path) override { real_->CreateDirectory(path); }
  void DeleteFile(TextView path, bool force) override {
    Count("DeleteFile", path);
    real_->DeleteFile(path, force);
  }
  void DeleteFolder(TextView path, bool force) override { real_->DeleteFolder(path, force); }
  Text GetSpecialFolder(int32_t which) override { return real_->GetSpecialFolder(which); }
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
    size_t Read(char* buffer, size_t size) override { return real_->Read(buffer, size); }
    void Write(std::string_view bytes) override {
      owner_.Count("Write", u"");
      real_->Write(bytes);
    }
    void Commit() override { real_->Commit(); }

   private:
    FaultyFileSystem& owner_;
    std::unique_ptr<platform::BinaryFile> real_;
  };

  void Count(const std::string& operation, TextView path) {
    const int n = ++calls_[operation];
    if (const auto it = fail_nth_.find(operation); it != fail_nth_.end() && it->second.first == n) {
      throw AutomationError(it->second.second, AutomationError::StandardText(it->second.second));
    }
    if (const auto it = fail_path_.find({operation, Text(path)}); it != fail_path_.end()) {
      throw AutomationError(it->second, AutomationError::StandardText(it->second));
    }
  }

  std::shared_ptr<platform::FileSystem> real_;
  std::map<std::string, int> calls_;
  std::map<std::string, std::pair<int, int>> fail_nth_;
  std::map<std::pair<std::string, Text>, int> fail_path_;
};

}  // namespace kavrolin::testing
