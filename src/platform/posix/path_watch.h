// A watch over what the lookup of one absolute path passes through: each
// folder on the way, each symbolic link followed, and the entry it ends at.
// It tells, with no look-up of the path, that none of them has been moved,
// removed or replaced since the watch was made, and that the entry's own
// attributes (mode, owner, link count) are unchanged: then the path still
// names the entry it named, with the status it had.
//
// It errs only towards "changed": when inotify is not there, when its queue
// overflows, or when a part lies on a file system whose changes can come from
// another machine (a network share), it never answers "unchanged". It does
// not see a file system mounted over a folder on the way, nor rights taken
// away from a folder (the entry is still where it was).
#pragma once

#include <sys/inotify.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/posix/file_identity.h"
#include "platform/posix/unique_fd.h"

namespace kavrolin::platform::posix {

// What the watch of the entry a look-up ends at asks for: its moves, its
// removal and its attributes (a rename over it or an unlink changes its link
// count, a chmod its mode). A folder whose names are kept asks for the
// changes of its entries' names as well.
inline constexpr uint32_t kEntryChanges = IN_MOVE_SELF | IN_DELETE_SELF | IN_ATTRIB;
inline constexpr uint32_t kNameChanges = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;

// One watch a look-up added: its descriptor and the events it asked for.
struct AddedWatch {
  int wd;
  uint32_t events;
};

// Adds to the inotify instance `events` the watches of everything the
// look-up of the absolute `path` passes through: the folders on the way (for
// being moved or removed), each link followed, and the entry it ends at, with
// `end_events`; `end` receives that entry's status. False when a part cannot
// be watched or lies on a file system whose changes can come from another
// machine: then nothing may be trusted to the watches. Masks are added to
// what the instance watches already, so it may be shared; `added`, when
// given, lists each watch with the events this look-up asked for.
bool WatchLookup(int events, const std::string& path, uint32_t end_events, struct stat& end,
                 std::vector<AddedWatch>* added = nullptr);

// How many times this process has started as a fork's child, counted from
// the first call. A watch made before a fork is not trusted after it: the
// child shares the parent's inotify instances, and an event one of them reads
// the other never sees. kForksUncounted when forks cannot be counted: then no
// watch is trusted.
inline constexpr uint64_t kForksUncounted = UINT64_MAX;
uint64_t ForkCount();

class PathWatch {
 public:
  // Watches nothing: never unchanged.
  PathWatch() = default;
  // The watch of `path`, which must end at the entry `expected` (else, or when
  // any part cannot be watched, a watch that is never unchanged). A few
  // system calls per part: made once, and again after a change.
  static PathWatch Of(const std::string& path, FileIdentity expected);

  // Whether nothing watched has changed since the watch was made. One system
  // call; once changed, always changed.
  bool Unchanged();

 private:
  UniqueFd events_;
  uint64_t forks_ = 0;  // ForkCount() when the watch was made
  bool changed_ = true;
};

}  // namespace kavrolin::platform::posix
