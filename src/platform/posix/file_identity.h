// Which file a status names: its device and inode. Two paths, or a path and
// an open handle, are the same file when their identities are equal.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

namespace kavrolin::platform::posix {

struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;

  static FileIdentity Of(const struct stat& st) { return {st.st_dev, st.st_ino}; }
  bool operator==(const FileIdentity&) const = default;
};

}  // namespace kavrolin::platform::posix
