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
#include <vector>

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

// How OpenBinary opens a file.
enum class BinaryAccess {
  kRead,         // an existing file, reading only: 53 / 76 when missing
  kReplacement,  // a new, empty file that takes the path's place on Commit
};

// An open file with byte access at a current position, which starts at 0 and
// moves by what is read or written. Closed when destroyed; a replacement that
// was never committed then vanishes and leaves the path as it was.
class BinaryFile {
 public:
  virtual ~BinaryFile() = default;
  // Reads up to `size` bytes into `buffer`; fewer only at the end of the file
  // (0 there). Never reads past the end.
  virtual size_t Read(char* buffer, size_t size) = 0;
  virtual void Write(std::string_view bytes) = 0;
  // kReplacement: puts the written file in the path's place in one step, so
  // the path names the old file or the whole new one, never a part. Nothing
  // for kRead.
  virtual void Commit() = 0;
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
  // True when both paths name one existing file (links included).
  virtual bool SameFile(TextView a, TextView b) = 0;

  // --- operations
  virtual FileFacts Stat(TextView path) = 0;
  // Sets read-only, hidden, system and archive; other bits are ignored.
  virtual void SetAttributes(TextView path, uint32_t attributes) = 0;
  // The whole file's bytes.
  virtual std::string ReadFile(TextView path) = 0;
  // Appends the bytes with one write under an exclusive lock, creating the
  // file; with sync, the data is on disk before this returns. On failure the
  // file keeps its earlier bytes only: a part-way write is undone.
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

  // Opens a file for byte access. Besides the failures above: 75 for a path
  // that names a folder or anything else that is no plain file (a device, a
  // pipe); 70 for a read-only file opened as kReplacement.
  virtual std::unique_ptr<BinaryFile> OpenBinary(TextView path, BinaryAccess access) = 0;

  // Directory search: the names (last component only) of the entries of the
  // pattern's folder that match its last component, which may hold the "*"
  // and "?" wildcards (win_wildcard.h), in the platform's name order. Files
  // come with or without read-only; hidden, system and folder entries only
  // when `attributes` holds their bit (kAttrHidden, kAttrSystem,
  // kAttrDirectory), as the platform's search attributes do. A folder that
  // does not exist, and an empty last component, give no names; a missing
  // drive or a network path throws 76, a folder part with wildcards 52.
  virtual std::vector<Text> FindFiles(TextView pattern, uint32_t attributes) = 0;
};

}  // namespace kavrolin::platform
