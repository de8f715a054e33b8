// The screen-saver-running flag on POSIX, which has no such setting of its
// own: the file "screen-saver-running" in the prefix holds "1\n" while the
// flag is set and "0\n" once it is cleared; a missing or unreadable file reads
// as cleared. Each change replaces the file whole, so a reader in any process
// sees the old flag or the new one, never a torn file.
//
// One object may be used from one thread at a time; concurrent writers, in
// this process or another, simply overwrite each other, as callers of the
// platform's own setting do.
#pragma once

#include <memory>

#include "platform/file_system.h"
#include "platform/posix/prefix.h"

namespace kavrolin::platform::posix {

inline constexpr const char* kScreenSaverFlagFile = "screen-saver-running";

class ScreenSaverFlag {
 public:
  ScreenSaverFlag(std::shared_ptr<const Prefix> prefix, std::shared_ptr<FileSystem> files);

  bool Running() const;
  // True when the file now holds the new setting.
  bool Set(bool running);

 private:
  Text FlagPath() const;

  std::shared_ptr<const Prefix> prefix_;
  std::shared_ptr<FileSystem> files_;
};

}  // namespace kavrolin::platform::posix
