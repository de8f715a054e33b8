#include "platform/posix/path_watch.h"

#include <linux/magic.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <vector>

namespace kavrolin::platform::posix {
namespace {

// The kernel's own limit on links followed in one look-up.
constexpr int kMaxLinks = 40;

// Folders only for being moved or removed: their attribute events also come
// for every entry inside them, which would end the watch for nothing.
constexpr uint32_t kFolderEvents = IN_MOVE_SELF | IN_DELETE_SELF;
// A link or the end also for its attributes: a rename over it or an unlink
// changes its link count, a chmod its mode.
constexpr uint32_t kEntryEvents = IN_MOVE_SELF | IN_DELETE_SELF | IN_ATTRIB;

// File systems whose every change passes through this kernel, and so raises
// its events. Network and user-space file systems can change underneath.
bool ChangesAreAllLocal(const std::string& path) {
  struct statfs fs;
  if (::statfs(path.c_str(), &fs) != 0) return false;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case EXT4_SUPER_MAGIC:  // also ext2 and ext3
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
    case RAMFS_MAGIC:
    case F2FS_SUPER_MAGIC:
    case OVERLAYFS_SUPER_MAGIC:
      return true;
    default:
      return false;
  }
}

// The components of `path`, pushed so that the first comes off the back.
void PushComponents(std::string_view path, std::vector<std::string>& rest) {
  size_t end = path.size();
  while (end > 0) {
    const size_t slash = path.rfind('/', end - 1);
    const size_t start = slash == std::string_view::npos ? 0 : slash + 1;
    if (end > start) rest.emplace_back(path.substr(start, end - start));
    if (slash == std::string_view::npos) break;
    end = slash;
  }
}

}  // namespace

PathWatch PathWatch::Of(const std::string& path, FileIdentity expected) {
  PathWatch watch;
  if (path.empty() || path[0] != '/') return watch;
  UniqueFd events(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  if (!events.valid()) return watch;
  auto add = [&](const std::string& at, uint32_t mask) {
    return ::inotify_add_watch(events.get(), at.c_str(), mask) >= 0;
  };
  if (!ChangesAreAllLocal("/") || !add("/", kFolderEvents)) return watch;
  // The look-up as the kernel makes it, so that every link it follows and
  // every folder it ends up in is watched. `current` never holds a link, so
  // ".." is its lexical parent.
  std::vector<std::string> rest;
  PushComponents(path, rest);
  std::string current;
  struct stat st {};
  bool at_end = false;
  int links = 0;
  while (!rest.empty()) {
    const std::string name = std::move(rest.back());
    rest.pop_back();
    if (name == ".") continue;
    if (name == "..") {
      current.erase(current.empty() ? 0 : current.rfind('/'));
      at_end = false;
      continue;
    }
    std::string next = current + "/" + name;
    if (::lstat(next.c_str(), &st) != 0) return watch;
    if (S_ISLNK(st.st_mode)) {
      // The link lies in `current`, whose file system is checked already.
      if (++links > kMaxLinks || !add(next, kEntryEvents | IN_DONT_FOLLOW)) return watch;
      std::string target(static_cast<size_t>(st.st_size) + 1, '\0');
      const ssize_t n = ::readlink(next.c_str(), target.data(), target.size());
      if (n <= 0 || static_cast<size_t>(n) >= target.size()) return watch;
      target.resize(static_cast<size_t>(n));
      if (target[0] == '/') current.clear();
      PushComponents(target, rest);
      at_end = false;
      continue;
    }
    at_end = rest.empty();
    if (!ChangesAreAllLocal(next) || !add(next, at_end ? kEntryEvents : kFolderEvents)) {
      return watch;
    }
    current = std::move(next);
  }
  // The path may have changed while it was being watched: what the watches
  // now hold must be the entry the caller has.
  if (!at_end || FileIdentity::Of(st) != expected) return watch;
  watch.events_ = std::move(events);
  watch.changed_ = false;
  return watch;
}

bool PathWatch::Unchanged() {
  if (changed_) return false;
  // Any event at all (an overflow included) is a change; nothing to read is
  // the only "unchanged".
  alignas(inotify_event) char buffer[sizeof(inotify_event) + 256];
  const ssize_t n = ::read(events_.get(), buffer, sizeof buffer);
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
  changed_ = true;
  events_.Reset();
  return false;
}

}  // namespace kavrolin::platform::posix
