#include "platform/posix/folder_listings.h"

#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "base/upper_case.h"
#include "platform/posix/path_watch.h"

namespace kavrolin::platform::posix {
namespace {

// Kept listings are few (the folders a register's paths pass through); past
// this many the oldest go all at once rather than one by one.
constexpr size_t kMaxKept = 128;
// Watches of listings read again stay listed until this many, then all go.
constexpr size_t kMaxDependents = 4096;

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

struct Read {
  struct stat st;
  std::shared_ptr<FolderListings::Listing> listing;
};

// Reads the folder's names and the identity of the folder read.
std::optional<Read> ReadFolder(const std::string& folder) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) return std::nullopt;
  Read read;
  if (::fstat(::dirfd(dir.get()), &read.st) != 0) return std::nullopt;
  read.listing = std::make_shared<FolderListings::Listing>();
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const Text text = FromUtf8(name);
    // A name that is not UTF-8 has no Windows form that leads back to it.
    if (ToUtf8(text) == name) read.listing->by_fold.emplace(FoldName(text), name);
    read.listing->names.insert(name);
  }
  return read;
}

}  // namespace

// File systems stamp with a clock that advances in ticks (a few ms); those
// that keep whole seconds only (or two, as FAT does) show no nanoseconds and
// get seconds of margin.
bool FolderListings::Settled(const timespec& change, const timespec& read) {
  const int64_t margin_ns = change.tv_nsec == 0 ? 3'000'000'000 : 50'000'000;
  const int64_t gap_ns = (static_cast<int64_t>(read.tv_sec) - change.tv_sec) * 1'000'000'000 +
                         (read.tv_nsec - change.tv_nsec);
  return gap_ns > margin_ns;
}

FolderListings::FolderListings(Clock now) : now_(now) {}

bool FolderListings::Kept::StillAsRead(const struct stat& st) const {
  return identity == FileIdentity::Of(st) && SameTime(mtime, st.st_mtim) &&
         SameTime(ctime, st.st_ctim);
}

timespec FolderListings::RealTime() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return now;
}

std::optional<std::shared_ptr<const FolderListings::Listing>> FolderListings::Current(
    const std::string& folder) {
  {
    const std::lock_guard lock(mutex_);
    const auto it = kept_.find(folder);
    if (it != kept_.end() && it->second.watch != 0) {
      TakeEvents();
      if (it->second.watch != 0) return it->second.listing;
    }
  }
  struct stat st;
  if (::stat(folder.c_str(), &st) != 0) return std::nullopt;
  {
    const std::lock_guard lock(mutex_);
    const auto it = kept_.find(folder);
    if (it != kept_.end()) {
      Kept& k = it->second;
      if (k.settled && k.StillAsRead(st)) {
        Watch(folder, k);
        return k.listing;
      }
    }
  }
  const timespec now = now_();
  std::optional<Read> read = ReadFolder(folder);
  if (!read) return std::shared_ptr<const Listing>();
  const std::lock_guard lock(mutex_);
  if (kept_.size() >= kMaxKept) {
    kept_.clear();
    Unwatch();
  }
  Kept& k = kept_[folder] = Kept{FileIdentity::Of(read->st),
                                 read->st.st_mtim,
                                 read->st.st_ctim,
                                 Settled(read->st.st_ctim, now) && Settled(read->st.st_mtim, now),
                                 read->listing};
  Watch(folder, k);
  return read->listing;
}

void FolderListings::Watch(const std::string& folder, Kept& kept) {
  // Only a settled listing: a later change shows in the folder's times, so
  // one made before the watches were in place is seen below.
  if (!kept.settled || kept.watch != 0 || kept.watch_tried) return;
  if (dependent_count_ > kMaxDependents || (events_.valid() && ForkCount() != forks_)) Unwatch();
  kept.watch_tried = true;
  if (!events_.valid()) {
    forks_ = ForkCount();
    if (forks_ == kForksUncounted) return;
    events_ = UniqueFd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (!events_.valid()) return;
  }
  std::vector<AddedWatch> added;
  struct stat end;
  if (!WatchLookup(events_.get(), folder, kEntryChanges | kNameChanges, end, &added)) return;
  if (!kept.StillAsRead(end)) return;
  const uint64_t serial = next_watch_++;
  for (const AddedWatch& watch : added) {
    dependents_[watch.wd].push_back({folder, serial, watch.events});
  }
  dependent_count_ += added.size();
  kept.watch = serial;
}

void FolderListings::TakeEvents() {
  // A fork's child shares the instance: it reads nothing of it.
  if (ForkCount() != forks_) {
    Unwatch();
    return;
  }
  alignas(inotify_event) char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(events_.get(), buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    if (n <= 0) break;  // the instance itself failed: nothing it told holds
    for (ssize_t at = 0; at < n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      if (event->mask & IN_Q_OVERFLOW) {
        Unwatch();
        return;
      }
      const auto it = dependents_.find(event->wd);
      if (it == dependents_.end()) continue;
      // A watch taken away (its entry gone, its file system unmounted)
      // concerns every listing that used it.
      const uint32_t always = IN_IGNORED | IN_UNMOUNT;
      for (const Dependent& dependent : it->second) {
        if ((event->mask & (dependent.events | always)) == 0) continue;
        const auto kept = kept_.find(dependent.folder);
        if (kept != kept_.end() && kept->second.watch == dependent.serial) {
          kept->second.watch = 0;
          kept->second.watch_tried = false;
        }
      }
    }
  }
  Unwatch();
}

void FolderListings::Unwatch() {
  events_.Reset();
  dependents_.clear();
  dependent_count_ = 0;
  for (auto& [folder, kept] : kept_) {
    kept.watch = 0;
    kept.watch_tried = false;
  }
}

std::shared_ptr<const FolderListings::Listing> FolderListings::Get(const std::string& folder) {
  auto current = Current(folder);
  return current ? *current : nullptr;
}

FolderListings::Match FolderListings::Find(const std::string& folder, TextView name,
                                           const std::string& utf8) {
  const auto current = Current(folder);
  if (!current) return {Status::kNoFolder, {}};
  const std::shared_ptr<const Listing>& listing = *current;
  if (!listing) {
    struct stat st;
    if (::lstat((folder + "/" + utf8).c_str(), &st) == 0) return {Status::kExact, utf8};
    return {};
  }
  if (listing->names.count(utf8) != 0) return {Status::kExact, utf8};
  const auto it = listing->by_fold.find(FoldName(name));
  if (it != listing->by_fold.end()) return {Status::kOtherCase, it->second};
  return {};
}

std::optional<bool> FolderListings::KnownExact(const std::string& folder,
                                               const std::string& name) const {
  const std::lock_guard lock(mutex_);
  const auto it = kept_.find(folder);
  if (it == kept_.end() || !it->second.listing) return std::nullopt;
  return it->second.listing->names.count(name) != 0;
}

bool FolderListings::Watched(const std::string& folder) const {
  const std::lock_guard lock(mutex_);
  const auto it = kept_.find(folder);
  return it != kept_.end() && it->second.watch != 0;
}

}  // namespace kavrolin::platform::posix
