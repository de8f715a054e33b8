// FileSystem on POSIX: Windows-form paths through the prefix's drives.
//
// Attributes: read-only is the absence of every write bit; hidden, system and
// archive live in the extended attribute user.DOSATTRIB as hexadecimal text
// ("0x22"), and a name starting with "." counts as hidden. A file without
// that attribute reads as archive.
//
// A replacement (OpenBinary kReplacement) is written to a hidden new file in
// the target's folder and renamed over the target on Commit; the new file has
// the default permissions and no stored attributes, as a file made afresh.
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
  bool SameFile(TextView a, TextView b) override;
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
  std::unique_ptr<BinaryFile> OpenBinary(TextView path, BinaryAccess access) override;
  // Names come in the order of their upper-case form; names a Windows path
  // cannot address (holding \ : * ? " < > | or a control character, or
  // ending in "." or a blank) are left out.
  std::vector<Text> FindFiles(TextView pattern, uint32_t attributes) override;

 private:
  std::shared_ptr<const Prefix> prefix_;
};

}  // namespace kavrolin::platform::posix
