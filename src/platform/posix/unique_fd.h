// A move-only owner of a file descriptor, and the one place that deals with
// EINTR and short reads and writes.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <utility>

namespace kavrolin::platform::posix {

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  void Reset();

 private:
  int fd_ = -1;
};

// open(2) retried on EINTR; an invalid UniqueFd with errno set on failure.
UniqueFd OpenFd(const char* path, int flags, int mode = 0);
// Writes every byte; false with errno set on failure. `written` counts the
// bytes written, failure or not.
bool WriteAll(int fd, std::string_view bytes);
bool WriteAll(int fd, std::string_view bytes, size_t& written);
// Reads to the end; false with errno set on failure. `size` (a file's size,
// when known) is made room for first, with the byte that shows the end, so
// such a file is read in one pass.
bool ReadAll(int fd, std::string& out, size_t size = 0);
// Reads until `size` bytes or the end of the file; the count read, or -1 with
// errno set on failure.
ssize_t ReadUpTo(int fd, char* buffer, size_t size);
// flock(2) retried on EINTR.
bool LockExclusive(int fd);
// Gives back a lock LockExclusive took on a handle that stays open.
void Unlocked(int fd);
// ftruncate(2) retried on EINTR.
bool TruncateTo(int fd, off_t size);

}  // namespace kavrolin::platform::posix
