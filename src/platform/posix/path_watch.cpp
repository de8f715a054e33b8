#include "platform/posix/path_watch.h"

#include <linux/magic.h>
#include <pthread.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <atomic>
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

std::atomic<uint64_t> forks{0};

void CountFork() { forks.fetch_add(1, std::memory_order_relaxed); }

// Whether the non-blocking instance has nothing to tell; what it had is read
// away. Any event at all (an overflow included) counts.
bool NoEvents(int events) {
  alignas(inotify_event) char buffer[sizeof(inotify_event) + 256];
  const ssize_t n = ::read(events, buffer, sizeof buffer);
  return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
}

}  // namespace

uint64_t ForkCount() {
  static const bool counted = ::pthread_atfork(nullptr, nullptr, CountFork) == 0;
  return counted ? forks.load(std::memory_order_relaxed) : kForksUncounted;
}

bool WatchLookup(int events, const std::string& path, uint32_t end_events, struct stat& end,
                 std::vector<AddedWatch>* added) {
  if (path.empty() || path[0] != '/') return false;
  auto add = [&](const std::string& at, uint32_t mask) {
    // Another look-up (or another part of this one) may watch the same entry
    // for other events: the masks are joined, never narrowed.
    const int wd = ::inotify_add_watch(events, at.c_str(), mask | IN_MASK_ADD);
    if (wd < 0) return false;
    if (added) added->push_back({wd, mask & ~static_cast<uint32_t>(IN_DONT_FOLLOW)});
    return true;
  };
  if (!ChangesAreAllLocal("/") || !add("/", kFolderEvents)) return false;
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
    if (::lstat(next.c_str(), &st) != 0) return false;
    if (S_ISLNK(st.st_mode)) {
      // The link lies in `current`, whose file system is checked already.
      if (++links > kMaxLinks || !add(next, kEntryChanges | IN_DONT_FOLLOW)) return false;
      std::string target(static_cast<size_t>(st.st_size) + 1, '\0');
      const ssize_t n = ::readlink(next.c_str(), target.data(), target.size());
      if (n <= 0 || static_cast<size_t>(n) >= target.size()) return false;
      target.resize(static_cast<size_t>(n));
      if (target[0] == '/') current.clear();
      PushComponents(target, rest);
      at_end = false;
      continue;
    }
    at_end = rest.empty();
    if (!ChangesAreAllLocal(next) || !add(next, at_end ? end_events : kFolderEvents)) {
      return false;
    }
    current = std::move(next);
  }
  if (!at_end) return false;
  end = st;
  return true;
}

PathWatch PathWatch::Of(const std::string& path, FileIdentity expected) {
  PathWatch watch;
  const uint64_t forks = ForkCount();
  if (forks == kForksUncounted) return watch;
  UniqueFd events(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  if (!events.valid()) return watch;
  struct stat end;
  // The path may have changed while it was being watched: what the watches
  // now hold must be the entry the caller has.
  if (!WatchLookup(events.get(), path, kEntryChanges, end) || FileIdentity::Of(end) != expected) {
    return watch;
  }
  watch.events_ = std::move(events);
  watch.forks_ = forks;
  watch.changed_ = false;
  return watch;
}

bool PathWatch::Unchanged() {
  if (changed_) return false;
  if (ForkCount() == forks_ && NoEvents(events_.get())) return true;
  changed_ = true;
  events_.Reset();
  return false;
}

}  // namespace kavrolin::platform::posix
