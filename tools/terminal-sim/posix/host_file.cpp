// The simulator's host files on POSIX: open(2), and flock(2) on the whole
// file, the lock the component's own writers take.
#include "host_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/prefix.h"
#include "platform/posix/unique_fd.h"

namespace kavrolin::terminal_sim {
namespace fs = std::filesystem;
namespace {

using platform::posix::LockExclusive;
using platform::posix::OpenFd;
using platform::posix::ReadAll;
using platform::posix::TruncateTo;
using platform::posix::UniqueFd;
using platform::posix::WriteAll;

// The file opened (created when missing) with the writers' lock held; the
// lock goes with the descriptor.
UniqueFd OpenLocked(const fs::path& path, int flags, std::string& error) {
  UniqueFd fd = OpenFd(path.c_str(), flags | O_CREAT, 0644);
  if (!fd.valid() || !LockExclusive(fd.get())) {
    error = std::strerror(errno);
    return UniqueFd();
  }
  return fd;
}

}  // namespace

bool WriteHostFile(const fs::path& path, std::string_view bytes, bool append, std::string& error) {
  // A replacement is cut only once the lock is held: a reader under the lock
  // never sees the file emptied half-way through someone's update.
  UniqueFd fd = OpenLocked(path, O_WRONLY | (append ? O_APPEND : 0), error);
  if (!fd.valid()) return false;
  if ((!append && !TruncateTo(fd.get(), 0)) || !WriteAll(fd.get(), bytes)) {
    error = std::strerror(errno);
    return false;
  }
  return true;
}

bool UpdateHostFile(const fs::path& path, const std::function<std::string(const std::string&)>& edit,
                    std::string& error) {
  UniqueFd fd = OpenLocked(path, O_RDWR, error);
  if (!fd.valid()) return false;
  std::string content;
  if (!ReadAll(fd.get(), content)) {
    error = std::strerror(errno);
    return false;
  }
  const std::string updated = edit(content);
  if (::lseek(fd.get(), 0, SEEK_SET) < 0 || !WriteAll(fd.get(), updated) ||
      !TruncateTo(fd.get(), static_cast<off_t>(updated.size()))) {
    error = std::strerror(errno);
    return false;
  }
  return true;
}

fs::path StateHome() {
  const fs::path root = platform::posix::Prefix::DefaultRoot();
  std::error_code ec;
  fs::create_directories(root, ec);  // a failure shows when the file cannot be opened
  return root;
}

fs::path HostFolder(TextView windows_path) {
  return platform::posix::Prefix(platform::posix::Prefix::DefaultRoot()).ToHost(windows_path).path;
}

fs::path HostFileNamed(const std::string& utf8) { return fs::path(utf8); }

Text FromNativePath(const fs::path& path) { return FromUtf8(path.string()); }

}  // namespace kavrolin::terminal_sim
