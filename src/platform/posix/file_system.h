// FileSystem on POSIX: Windows-form paths through the prefix's drives.
//
// Attributes: read-only is the absence of every write bit; hidden, system and
// archive live in the extended attribute user.DOSATTRIB as hexadecimal text
// ("0x22"), and a name starting with "." counts as hidden. A file without
// that attribute reads as archive.
#pragma once

#include <memory>

#include "platform/file_system.h"
#include "platform/posix/prefix.h"

namespace kavrolin::platform::posix {

class PosixFileSystem : public FileSystem {
 public:
  explicit PosixFileSystem(std::shared_ptr<const Prefix> prefix);

  bool FileExists(TextView path) override;
  bool FolderExists(TextView path) override;
  bool DriveExists(TextView drive) override;
  FileFacts Stat(TextView path) override;
  void SetAttributes(TextView path, uint32_t attributes) override;
  std::string ReadFile(TextView path) override;
  void AppendFile(TextView path, std::string_view bytes, bool sync) override;
  void ReplaceFile(TextView path, std::string_view bytes,
                   Replace mode = Replace::kDurable) override;
  void CreateDirectory(TextView path) override;
  void DeleteFile(TextView path, bool force) override;
  void DeleteFolder(TextView path, bool force) override;
  Text GetSpecialFolder(int32_t which) override;

 private:
  std::shared_ptr<const Prefix> prefix_;
};

}  // namespace kavrolin::platform::posix
