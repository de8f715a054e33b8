// The names in host folders, kept between calls for the look-ups of path
// mapping that ignore letter case: without it, every such look-up reads the
// whole folder.
//
// A kept listing is used only while a stat of the folder's path shows the
// same folder (device, inode) with the same modification and change times
// (in ns), and only when its last change lay clearly before the reading: a
// change made in the same tick of the file system's clock as the reading
// leaves the times as they were, so such a listing serves the call that read
// it and is read again by the next. A name another process creates, removes
// or renames is therefore seen by the next look-up. Thread-safe.
//
// On a local file system a kept listing is then trusted to inotify instead
// (one instance for all listings): while no event has come for the folder's
// names, for the folder itself or for anything its path's look-up passes
// through, the listing is used with no stat at all. Any such event, or an
// overflow of the queue, sends the listing back to the stat.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/text.h"
#include "platform/posix/file_identity.h"
#include "platform/posix/unique_fd.h"

namespace kavrolin::platform::posix {

class FolderListings {
 public:
  // `now` reads the clock the file system stamps its times with; tests
  // replace it.
  using Clock = timespec (*)();
  explicit FolderListings(Clock now = RealTime);
  static timespec RealTime();

  // Whether a folder last changed at `change` and read at `read` changed
  // clearly before the reading: then a later change cannot carry the same
  // time, and the listing may be kept.
  static bool Settled(const timespec& change, const timespec& read);

  struct Listing {
    std::unordered_set<std::string> names;             // as on disk
    std::unordered_map<Text, std::string> by_fold;     // FoldName -> first such name read
  };

  enum class Status { kExact, kOtherCase, kMissing, kNoFolder };
  struct Match {
    Status status = Status::kMissing;
    std::string name;  // the name on disk, for kExact and kOtherCase
  };

  // The entry of `folder` named `name` ignoring letter case: the exact one
  // when there, else the first read that folds the same. kNoFolder when the
  // folder cannot be looked at. A folder that may be searched but not read
  // answers the exact name only. `utf8` is `name` in UTF-8.
  Match Find(const std::string& folder, TextView name, const std::string& utf8);

  // The folder's listing, read again when it may have changed; null when the
  // folder cannot be read.
  std::shared_ptr<const Listing> Get(const std::string& folder);

  // Without looking at the disk: whether the kept listing of `folder` holds
  // `name` as written; nullopt when no listing is kept. A hint only: it may be
  // out of date.
  std::optional<bool> KnownExact(const std::string& folder, const std::string& name) const;

  // Whether the kept listing of `folder` is trusted to watches now (for tests
  // and diagnostics; it reads no events).
  bool Watched(const std::string& folder) const;

 private:
  struct Kept {
    FileIdentity identity;
    struct timespec mtime, ctime;
    bool settled;  // its last change lay clearly before the reading
    std::shared_ptr<const Listing> listing;
    uint64_t watch = 0;        // the serial of the watches it is trusted to; 0: none
    bool watch_tried = false;  // since it was last looked at by stat

    // Whether `st` is the status of the folder as it was read.
    bool StillAsRead(const struct stat& st) const;
  };
  // A kept listing that an event on one watch concerns.
  struct Dependent {
    std::string folder;
    uint64_t serial;  // the listing's watch serial when it was made
    uint32_t events;  // the events it asked that watch for
  };

  // nullopt when the folder cannot be looked at; a null listing inside when
  // it can be looked at but not read.
  std::optional<std::shared_ptr<const Listing>> Current(const std::string& folder);

  // With mutex_ held: trusts the kept listing of `folder` to watches when its
  // folder is on a local file system and still as it was read.
  void Watch(const std::string& folder, Kept& kept);
  // With mutex_ held: reads what the watches tell, and ends the trust of each
  // listing an event concerns.
  void TakeEvents();
  // With mutex_ held: no listing is trusted to watches any more.
  void Unwatch();

  const Clock now_;
  mutable std::mutex mutex_;
  std::unordered_map<std::string, Kept> kept_;
  UniqueFd events_;
  uint64_t forks_ = 0;  // ForkCount() when events_ was made
  uint64_t next_watch_ = 1;
  std::unordered_map<int, std::vector<Dependent>> dependents_;
  size_t dependent_count_ = 0;
};

}  // namespace kavrolin::platform::posix
