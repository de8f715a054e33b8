// FileSystem on Windows: the Win32 wide-character file functions on native
// paths. Attributes are the file system's own.
//
// Appending opens the file for appending, takes an exclusive LockFileEx lock
// on one byte far past any data (so readers are never blocked), writes the
// bytes with one write and, with sync, flushes them before unlocking; a
// write cut short or a flush refused is undone back to the old size. Whole
// files are replaced through a hidden new file in the same folder, flushed
// and moved over the old one with MoveFileExW(MOVEFILE_REPLACE_EXISTING |
// MOVEFILE_WRITE_THROUGH), keeping the old file's attributes.
#pragma once

#include "platform/file_system.h"

namespace kavrolin::platform::win32 {

class Win32FileSystem : public FileSystem {
 public:
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
  // Every entry of the folder (FindFirstFileW on "folder\*") is matched with
  // the portable wildcard rules; names come in the order of their upper-case
  // form.
  std::vector<Text> FindFiles(TextView pattern, uint32_t attributes) override;
};

}  // namespace kavrolin::platform::win32
