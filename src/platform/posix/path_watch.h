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

#include <string>

#include "platform/posix/file_identity.h"
#include "platform/posix/unique_fd.h"

namespace kavrolin::platform::posix {

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
  bool changed_ = true;
};

}  // namespace kavrolin::platform::posix
