// Ordinary file services on Windows-form paths ("C:\POS\a.txt"), with the
// platform's semantics enforced by our own checks, whoever runs the process:
// a read-only file is not deleted or written without force, a drive root is
// never deleted.
//
// Failures throw AutomationError with the number the platform would give:
// 53 a missing file, 76 a missing folder (or drive, or network path, or an
// empty path), 70 a read-only or otherwise refused item, 52 a name the
// platform cannot hold, 61 a full disk, 75 anything else. Queries never throw.
//
// One object may be used from one thread at a time; separate objects, and
// separate processes, may work on the same files at once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/local_time.h"
#include "base/text.h"

namespace kavrolin::platform {

class FileSystemObject;

// File attribute bits, the platform's own values.
enum FileAttribute : uint32_t {
  kAttrReadOnly = 0x01,
  kAttrHidden = 0x02,
  kAttrSystem = 0x04,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
};

struct FileFacts {
  bool is_directory = false;
  int64_t size = 0;           // bytes; 0 for a folder
  LocalTime last_modified;    // local time, whole seconds
  uint32_t attributes = 0;    // FileAttribute bits
};

// Folders GetSpecialFolder knows.
enum class SpecialFolder : int32_t { kWindows = 0, kSystem = 1, kTemporary = 2 };

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The file-system object of the toolkit and transaction logic. Overridable
  // so that a fake can refuse to create it.
  virtual std::unique_ptr<FileSystemObject> CreateObject();

  // --- queries: never throw
  virtual bool FileExists(TextView path) = 0;
  virtual bool FolderExists(TextView path) = 0;
  // "C", "C:", "C:\" and paths starting with a drive: the drive is there.
  virtual bool DriveExists(TextView drive) = 0;

  // --- operations
  virtual FileFacts Stat(TextView path) = 0;
  // Sets read-only, hidden, system and archive; other bits are ignored.
  virtual void SetAttributes(TextView path, uint32_t attributes) = 0;
  // The whole file's bytes.
  virtual std::string ReadFile(TextView path) = 0;
  // Appends the bytes with one write under an exclusive lock, creating the
  // file; with sync, the data is on disk before this returns.
  virtual void AppendFile(TextView path, std::string_view bytes, bool sync) = 0;
  // Writes a new file, syncs it and renames it over the old one, so a crash
  // leaves the old file or the new one whole. Keeps the old file's attributes.
  // kDurable also syncs the folder, so the new file survives a power loss
  // once this returns; kAtomic leaves that to the system's own flush.
  enum class Replace { kDurable, kAtomic };
  virtual void ReplaceFile(TextView path, std::string_view bytes,
                           Replace mode = Replace::kDurable) = 0;
  // Creates one folder. 75 when it exists already or is a drive root, 76 when
  // its parent is missing.
  virtual void CreateDirectory(TextView path) = 0;
  // 53 when no such file; 70 when read-only and not force.
  virtual void DeleteFile(TextView path, bool force) = 0;
  // Deletes the folder with everything in it. Without force, a read-only item
  // anywhere inside refuses the whole deletion (70) before anything goes.
  // Refused (70): a drive root, the current folder or a folder holding it,
  // and a folder holding the prefix.
  virtual void DeleteFolder(TextView path, bool force) = 0;
  // The Windows, system or temporary folder (made on first use); 5 for
  // another value.
  virtual Text GetSpecialFolder(int32_t which) = 0;
};

}  // namespace kavrolin::platform
