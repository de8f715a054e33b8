#include "platform/common/file_system_object.h"

#include "base/ansi.h"
#include "base/automation_error.h"
#include "rules/win_path.h"

namespace kavrolin::platform {

std::unique_ptr<FileSystemObject> FileSystem::CreateObject() {
  return std::make_unique<FileSystemObject>(*this);
}

void FileSystemObject::CreateFolder(TextView path) {
  if (files_.FolderExists(path) || files_.FileExists(path)) {
    throw AutomationError(ErrorNumber::kFileAlreadyExists);
  }
  files_.CreateDirectory(path);
}

Text FileSystemObject::GetBaseName(TextView path) { return rules::win_path::BaseName(path); }
Text FileSystemObject::GetExtensionName(TextView path) { return rules::win_path::ExtensionName(path); }
Text FileSystemObject::GetFileName(TextView path) { return rules::win_path::FileName(path); }
Text FileSystemObject::GetParentFolderName(TextView path) {
  return rules::win_path::ParentFolderName(path);
}
Text FileSystemObject::GetDriveName(TextView path) { return rules::win_path::DriveName(path); }

FileFacts FileSystemObject::GetFile(TextView path) {
  FileFacts facts = files_.Stat(path);
  if (facts.is_directory) throw AutomationError(ErrorNumber::kFileNotFound);
  return facts;
}

Text FileSystemObject::ReadAll(TextView path) {
  const std::string bytes = files_.ReadFile(path);
  if (bytes.empty()) throw AutomationError(ErrorNumber::kInputPastEnd);
  return FromAnsi(bytes);
}

void FileSystemObject::AppendText(TextView path, TextView text) {
  files_.AppendFile(path, ToAnsi(text), /*sync=*/false);
}

void FileSystemObject::CreateTextFile(TextView path, TextView text) {
  files_.ReplaceFile(path, ToAnsi(text));
}

}  // namespace kavrolin::platform
