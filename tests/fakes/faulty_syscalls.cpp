#include "fakes/faulty_syscalls.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <optional>

namespace kavrolin::testing {
namespace {

FaultPlan* g_plan = nullptr;
// The descriptor whose next write fails after a torn write.
int g_torn_fd = -1;

// The failure planned for this call, recorded only while a plan is armed.
std::optional<int> Planned(const char* call) {
  if (g_plan == nullptr) return std::nullopt;
  return g_plan->Next(call);
}

// Calls on the standard streams are not the realisation's.
bool Watched(int fd) { return fd > 2; }

long Fail(int error) {
  errno = error;
  return -1;
}

}  // namespace

SyscallFaults::SyscallFaults() {
  g_plan = &plan_;
  g_torn_fd = -1;
}

SyscallFaults::~SyscallFaults() {
  g_plan = nullptr;
  g_torn_fd = -1;
}

std::vector<int> SyscallFaults::FailuresOf(const std::string& call) {
  if (call == "open") return {EACCES, ENOENT, ENOSPC, EMFILE, EROFS, EIO, EINTR};
  if (call == "read") return {EIO, EINTR};
  if (call == "write") return {EIO, ENOSPC, EDQUOT, EFBIG, EINTR, kShortWrite, kTornWrite};
  if (call == "fsync" || call == "fdatasync") return {EIO, ENOSPC, EDQUOT};
  if (call == "rename") return {EACCES, EBUSY, EIO, ENOSPC, EROFS, EXDEV};
  if (call == "flock") return {EINTR, ENOLCK};
  if (call == "ftruncate") return {EIO, EINTR};
  if (call == "close") return {EIO};
  if (call == "mkostemp") return {EACCES, EEXIST, ENOSPC, EMFILE, EROFS};
  return {EIO};
}

}  // namespace kavrolin::testing

using kavrolin::testing::kShortWrite;
using kavrolin::testing::kTornWrite;
namespace k = kavrolin::testing;

// The stand-ins. Each passes the call to the kernel directly, so none of
// them recurses into another.
extern "C" {

int open(const char* path, int flags, ...) {
  mode_t mode = 0;
  if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
    va_list args;
    va_start(args, flags);
    mode = static_cast<mode_t>(va_arg(args, int));
    va_end(args);
  }
  if (const auto failure = k::Planned("open")) return static_cast<int>(k::Fail(*failure));
  return static_cast<int>(::syscall(SYS_openat, AT_FDCWD, path, flags, mode));
}

ssize_t read(int fd, void* buffer, size_t size) {
  if (k::Watched(fd)) {
    if (const auto failure = k::Planned("read")) return k::Fail(*failure);
  }
  return ::syscall(SYS_read, fd, buffer, size);
}

ssize_t write(int fd, const void* bytes, size_t size) {
  if (k::Watched(fd)) {
    if (fd == k::g_torn_fd && k::g_plan != nullptr) {
      k::g_plan->Next("write");
      k::g_torn_fd = -1;
      return k::Fail(ENOSPC);
    }
    if (const auto failure = k::Planned("write")) {
      if (*failure != kShortWrite && *failure != kTornWrite) return k::Fail(*failure);
      if (*failure == kTornWrite) k::g_torn_fd = fd;
      // A partial write of a single byte is no partial write: write nothing.
      return ::syscall(SYS_write, fd, bytes, size / 2);
    }
  }
  return ::syscall(SYS_write, fd, bytes, size);
}

int fsync(int fd) {
  if (const auto failure = k::Planned("fsync")) return static_cast<int>(k::Fail(*failure));
  return static_cast<int>(::syscall(SYS_fsync, fd));
}

int fdatasync(int fd) {
  if (const auto failure = k::Planned("fdatasync")) return static_cast<int>(k::Fail(*failure));
  return static_cast<int>(::syscall(SYS_fdatasync, fd));
}

int rename(const char* from, const char* to) {
  if (const auto failure = k::Planned("rename")) return static_cast<int>(k::Fail(*failure));
  return static_cast<int>(::syscall(SYS_renameat, AT_FDCWD, from, AT_FDCWD, to));
}

int flock(int fd, int operation) {
  if (const auto failure = k::Planned("flock")) return static_cast<int>(k::Fail(*failure));
  return static_cast<int>(::syscall(SYS_flock, fd, operation));
}

int ftruncate(int fd, off_t length) {
  if (const auto failure = k::Planned("ftruncate")) return static_cast<int>(k::Fail(*failure));
  return static_cast<int>(::syscall(SYS_ftruncate, fd, length));
}

int close(int fd) {
  const int rc = static_cast<int>(::syscall(SYS_close, fd));
  if (k::Watched(fd)) {
    // The descriptor is gone whatever close answers, as on Linux.
    if (const auto failure = k::Planned("close")) return static_cast<int>(k::Fail(*failure));
  }
  return rc;
}

int mkostemp(char* name_template, int flags) {
  if (const auto failure = k::Planned("mkostemp")) return static_cast<int>(k::Fail(*failure));
  using Real = int (*)(char*, int);
  static const auto real = reinterpret_cast<Real>(::dlsym(RTLD_NEXT, "mkostemp"));
  return real(name_template, flags);
}

}  // extern "C"
