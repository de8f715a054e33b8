// BinaryFile on Windows: one open file handle; for a replacement, a hidden
// new file in the target's folder that MoveFileExW puts in the target's
// place. Win32FileSystem::OpenBinary makes these after its own checks.
#pragma once

#include <string>

#include "platform/file_system.h"
#include "platform/win32/unique_handle.h"

namespace kavrolin::platform::win32 {

class Win32BinaryFile : public BinaryFile {
 public:
  // A file opened in place.
  explicit Win32BinaryFile(UniqueHandle file);
  // A replacement being written at `temp`, for `target`.
  Win32BinaryFile(UniqueHandle file, std::wstring temp, std::wstring target);
  // Removes an uncommitted replacement.
  ~Win32BinaryFile() override;

  size_t Read(char* buffer, size_t size) override;
  void Write(std::string_view bytes) override;
  // Flushes the new file's data, then moves it over the target with
  // MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH, so a crash leaves
  // the old file or the whole new one.
  void Commit() override;

 private:
  UniqueHandle file_;
  std::wstring temp_;  // empty unless an uncommitted replacement
  std::wstring target_;
};

// A new, empty, hidden file in `folder` for content that a move then puts in
// place (the move stays within one volume). `temp` receives its path.
UniqueHandle NewFileIn(const std::wstring& folder, std::wstring& temp);

// Flushes and closes `temp_file` (an open file cannot be moved), then moves
// `temp` over `target`; throws on failure (the caller removes `temp`).
void MoveIntoPlace(UniqueHandle& temp_file, const std::wstring& temp, const std::wstring& target);

}  // namespace kavrolin::platform::win32
