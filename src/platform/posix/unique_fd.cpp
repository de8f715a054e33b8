#include "platform/posix/unique_fd.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace kavrolin::platform::posix {

void UniqueFd::Reset() {
  if (fd_ >= 0) ::close(fd_);  // no retry on EINTR: the descriptor is gone either way
  fd_ = -1;
}

UniqueFd OpenFd(const char* path, int flags, int mode) {
  int fd;
  do {
    fd = ::open(path, flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return UniqueFd(fd);
}

bool WriteAll(int fd, std::string_view bytes) {
  size_t written = 0;
  return WriteAll(fd, bytes, written);
}

bool WriteAll(int fd, std::string_view bytes, size_t& written) {
  written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    written += static_cast<size_t>(n);
  }
  return true;
}

bool ReadAll(int fd, std::string& out, size_t size) {
  // Straight into the string.
  constexpr size_t kChunk = 65536;
  if (size > 0) out.reserve(out.size() + size + 1);
  for (;;) {
    const size_t at = out.size();
    const size_t room = out.capacity() > at ? out.capacity() - at : std::max(at, kChunk);
    out.resize(at + room);
    const ssize_t n = ReadUpTo(fd, out.data() + at, room);
    out.resize(at + (n > 0 ? static_cast<size_t>(n) : 0));
    if (n < 0) return false;
    if (static_cast<size_t>(n) < room) return true;
  }
}

ssize_t ReadUpTo(int fd, char* buffer, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd, buffer + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<ssize_t>(done);
}

bool LockExclusive(int fd) {
  int rc;
  do {
    rc = ::flock(fd, LOCK_EX);
  } while (rc < 0 && errno == EINTR);
  return rc == 0;
}

void Unlocked(int fd) {
  const int saved = errno;  // callers read errno after this
  while (::flock(fd, LOCK_UN) < 0 && errno == EINTR) {
  }
  errno = saved;
}

bool TruncateTo(int fd, off_t size) {
  int rc;
  do {
    rc = ::ftruncate(fd, size);
  } while (rc < 0 && errno == EINTR);
  return rc == 0;
}

}  // namespace kavrolin::platform::posix
