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
//
// The file of the last append stays open for the next one to the same path
// (a journal appends to one day file all day). Before each use its host path
// is checked to still name that file, so a file deleted, renamed away or
// replaced is opened afresh, as it would be without the kept handle.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/file_system.h"
#include "platform/posix/file_identity.h"
#include "platform/posix/path_watch.h"
#include "platform/posix/prefix.h"
#include "platform/posix/unique_fd.h"

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
  struct KeptAppend {
    Text path;         // the Windows path as the caller gave it
    std::string host;  // where it mapped to
    UniqueFd fd;
    FileIdentity identity;
    bool read_only = false;
    PathWatch watch;  // tells that `host` still names `fd`'s file
  };
  // The kept handle of `path`, or an invalid one. Taken out of the cache, so
  // that threads appending at once never share one.
  KeptAppend TakeKeptAppend(TextView path);

  std::shared_ptr<const Prefix> prefix_;
  std::mutex kept_mutex_;
  KeptAppend kept_append_;
};

}  // namespace kavrolin::platform::posix
