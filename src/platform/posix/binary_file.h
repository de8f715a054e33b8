// BinaryFile on POSIX: one open descriptor; for a replacement, a hidden new
// file in the target's folder that a rename puts in the target's place.
// PosixFileSystem::OpenBinary makes these after its own checks.
#pragma once

#include <string>

#include "platform/file_system.h"
#include "platform/posix/unique_fd.h"

namespace kavrolin::platform::posix {

class PosixBinaryFile : public BinaryFile {
 public:
  // A file opened in place.
  explicit PosixBinaryFile(UniqueFd fd);
  // A replacement being written at `temp`, for `target`.
  PosixBinaryFile(UniqueFd fd, std::string temp, std::string target);
  // Removes an uncommitted replacement.
  ~PosixBinaryFile() override;

  size_t Read(char* buffer, size_t size) override;
  void Write(std::string_view bytes) override;
  // Syncs the new file's data, then renames it over the target, so a crash
  // leaves the old file or the whole new one.
  void Commit() override;

 private:
  UniqueFd fd_;
  std::string temp_;    // empty unless an uncommitted replacement
  std::string target_;
};

}  // namespace kavrolin::platform::posix
