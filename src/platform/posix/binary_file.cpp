#include "platform/posix/binary_file.h"

#include <unistd.h>

#include <cerrno>

#include "base/automation_error.h"
#include "platform/posix/posix_error.h"

namespace kavrolin::platform::posix {

PosixBinaryFile::PosixBinaryFile(UniqueFd fd) : fd_(std::move(fd)) {}

PosixBinaryFile::PosixBinaryFile(UniqueFd fd, std::string temp, std::string target)
    : fd_(std::move(fd)), temp_(std::move(temp)), target_(std::move(target)) {}

PosixBinaryFile::~PosixBinaryFile() {
  if (!temp_.empty()) ::unlink(temp_.c_str());
}

size_t PosixBinaryFile::Read(char* buffer, size_t size) {
  const ssize_t n = ReadUpTo(fd_.get(), buffer, size);
  if (n < 0) ThrowErrno(errno);
  return static_cast<size_t>(n);
}

void PosixBinaryFile::Write(std::string_view bytes) {
  if (!WriteAll(fd_.get(), bytes)) ThrowErrno(errno);
}

void PosixBinaryFile::Commit() {
  if (temp_.empty()) return;
  if (::fsync(fd_.get()) != 0) ThrowErrno(errno);
  if (::rename(temp_.c_str(), target_.c_str()) != 0) ThrowErrno(errno);
  temp_.clear();
}

}  // namespace kavrolin::platform::posix
