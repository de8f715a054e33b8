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
#pragma once

#include <sys/types.h>
#include <time.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "base/text.h"
#include "platform/posix/file_identity.h"

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

 private:
  struct Kept {
    FileIdentity identity;
    struct timespec mtime, ctime;
    bool settled;  // its last change lay clearly before the reading
    std::shared_ptr<const Listing> listing;
  };

  // nullopt when the folder cannot be looked at; a null listing inside when
  // it can be looked at but not read.
  std::optional<std::shared_ptr<const Listing>> Current(const std::string& folder);

  const Clock now_;
  mutable std::mutex mutex_;
  std::unordered_map<std::string, Kept> kept_;
};

}  // namespace kavrolin::platform::posix
