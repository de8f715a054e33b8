// FileSystemObject: the file-system automation object the logic reaches
// files through, with exactly the operations it calls and the failures each
// gives. Built on a FileSystem, so it behaves the same on every platform and
// under every fake.
//
// Text files are read and written in the ANSI form. Failures throw
// AutomationError (see file_system.h); the path-part operations work on the
// text alone and never fail.
#pragma once

#include "base/text.h"
#include "platform/file_system.h"

namespace kavrolin::platform {

class FileSystemObject {
 public:
  explicit FileSystemObject(FileSystem& files) : files_(files) {}

  bool FileExists(TextView path) { return files_.FileExists(path); }
  bool FolderExists(TextView path) { return files_.FolderExists(path); }
  bool DriveExists(TextView drive) { return files_.DriveExists(drive); }

  // Creates one folder whose parent exists: 58 when a file or folder of that
  // name exists, 76 when the parent is missing.
  void CreateFolder(TextView path);
  void DeleteFile(TextView path, bool force = false) { files_.DeleteFile(path, force); }
  void DeleteFolder(TextView path, bool force = false) { files_.DeleteFolder(path, force); }

  static Text GetBaseName(TextView path);
  static Text GetExtensionName(TextView path);
  static Text GetFileName(TextView path);
  static Text GetParentFolderName(TextView path);
  static Text GetDriveName(TextView path);

  Text GetSpecialFolder(int32_t which) { return files_.GetSpecialFolder(which); }

  // GetFile: the facts of an existing file (Size, DateLastModified); 53 for
  // a missing file or a folder.
  FileFacts GetFile(TextView path);

  // OpenTextFile(path, ForReading).ReadAll: 53 when missing, 62 when empty.
  Text ReadAll(TextView path);
  // OpenTextFile(path, ForAppending, create).Write(text): the text unchanged,
  // no line end added.
  void AppendText(TextView path, TextView text);
  // CreateTextFile(path, overwrite).Write(text): replaces the file whole.
  void CreateTextFile(TextView path, TextView text);

 private:
  FileSystem& files_;
};

}  // namespace kavrolin::platform
