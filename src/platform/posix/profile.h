// Profile on POSIX: the profile functions over files in the prefix, with the
// text rules of platform/ini_text.h.
//
// Paths: the Windows-form file name maps through the prefix; a bare name (no
// folder, no drive) lies in C:\windows, which a write makes when it is
// missing, as the platform always has it. An empty name, a missing drive or a
// name the platform cannot hold: the readers answer the default or an empty
// list, the writers false.
//
// Reading goes through a ProfileCache (one per process unless a caller gives
// its own). Writing takes an exclusive flock(2) on the file (creating it when
// the write adds something, so there is something to lock), makes sure the
// path still names the locked file (another writer may have renamed a new
// one over it; then it starts again), edits the bytes read under the lock
// and replaces the file through FileSystem::ReplaceFile: a new file in the
// same folder, synced, renamed over the old one with its permissions and
// attributes (the folder is not synced: like the platform's own writers, a
// write is atomic, not durable). So a crash leaves the old file or the new
// one whole, and writers in any number of processes lose no update. A write
// that changes nothing leaves the file alone. A read-only file (no write
// bits) is never written, even by a privileged process; a missing folder is
// never made (bare names aside).
//
// Thread-safe; any thread may call.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "rules/ini_text.h"
#include "platform/posix/prefix.h"
#include "platform/profile.h"

namespace kavrolin::platform::posix {

// Parsed profile files, kept between reads and checked on every read against
// the file's identity: device, inode, size, modification and change times in
// nanoseconds. A file is kept only when it was last modified at least two
// seconds before it was read: a change within the same clock tick as the one
// before it could otherwise look like the same file. Holds the `capacity`
// files used most recently, each of at most 16 MiB. Beside them, for the
// writers, the text of each of the last `capacity` files this process wrote.
// Thread-safe.
class ProfileCache {
 public:
  explicit ProfileCache(size_t capacity = 8);

  // The parsed file at `host_path`, remembered under the Windows `name` it was
  // asked for; null when it is missing, not a regular file, unreadable or
  // 4 GiB or more.
  std::shared_ptr<const rules::ini::IniText> Load(const std::string& host_path, int code_page,
                                           TextView name = {});

  // The file kept under the Windows `name`, when the host file it was mapped
  // to is still the one read: a read that skips mapping the path again. Null
  // when nothing current is kept.
  std::shared_ptr<const rules::ini::IniText> Find(TextView name, int code_page);

  // The parsed form of `bytes`, read at `host_path` under a writer's lock:
  // the text this process last kept for that path (read or written) when it
  // holds exactly these bytes, else a new parse. So a write that follows a
  // write of this process parses nothing, and a file whose bytes changed in
  // between, whoever changed them, is parsed afresh: bytes, not identity,
  // decide, as the writer has read them under its lock anyway.
  std::shared_ptr<const rules::ini::IniText> ForWrite(const std::string& host_path,
                                                      std::string bytes, int code_page);
  // Keeps `text` as what this process has just written at `host_path`.
  void Wrote(const std::string& host_path, std::shared_ptr<const rules::ini::IniText> text);

  // How many reads parsed the file rather than use the cache (for tests).
  uint64_t parses() const;
  // How many writes parsed the file they edit (for tests).
  uint64_t write_parses() const;

 private:
  struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    int64_t modified_ns = 0;
    int64_t changed_ns = 0;
    bool operator==(const Identity&) const = default;
  };
  struct Entry {
    std::string path;
    Text name;  // the Windows path it was asked for
    int code_page = 0;
    Identity identity;
    std::shared_ptr<const rules::ini::IniText> text;
    uint64_t last_use = 0;
  };
  struct Written {
    std::string path;
    std::shared_ptr<const rules::ini::IniText> text;
    uint64_t last_use = 0;
  };
  static Identity IdentityOf(const struct stat& st);

  const size_t capacity_;
  mutable std::mutex mutex_;
  std::vector<Entry> entries_;
  std::vector<Written> written_;  // at most capacity_, each of at most 16 MiB
  uint64_t uses_ = 0;
  uint64_t parses_ = 0;
  uint64_t write_parses_ = 0;
};

// The process's cache, shared by every PosixProfile made without one.
std::shared_ptr<ProfileCache> ProcessProfileCache();

class PosixProfile : public Profile {
 public:
  PosixProfile(std::shared_ptr<const Prefix> prefix, std::shared_ptr<FileSystem> files,
               std::shared_ptr<ProfileCache> cache = ProcessProfileCache());

  uint32_t GetString(const char* section, const char* key, const char* default_value,
                     char* buffer, uint32_t size, TextView file) override;
  bool WriteString(const char* section, const char* key, const char* value,
                   TextView file) override;
  bool WriteSection(const char* section, const char* entries, TextView file) override;
  bool Rewrite(TextView file, const RewriteEdit& edit) override;

 private:
  template <typename MakeEdit>
  bool Modify(TextView file, const MakeEdit& make_edit);

  std::shared_ptr<const Prefix> prefix_;
  std::shared_ptr<FileSystem> files_;
  std::shared_ptr<ProfileCache> cache_;
};

}  // namespace kavrolin::platform::posix
